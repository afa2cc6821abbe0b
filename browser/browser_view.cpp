// CBrowserView: window, ActiveX host, event sink and navigation filter.
//
// Teardown order (WM_DESTROY): unadvise the event sink, deactivate the control
// in place, clear its client site, close it, then release our references.
#include "browser/browser_view.h"

#include <exdispid.h>
#include <idispids.h>
#include <mshtml.h>
#include <olectl.h>

#include "app/global_module.h"
#include "browser/core/navigation_filter.h"

namespace {

constexpr wchar_t kClassName[] = L"TabBrowser";
constexpr HRESULT kAbort = static_cast<HRESULT>(0x80004004L);

// A by-value or by-reference variant argument, looked through.
const VARIANT* Deref(const VARIANT* v) {
  if (v && v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) return v->pvarVal;
  return v;
}

// Argument `index` in declaration order; the control passes them reversed.
const VARIANT* Arg(const DISPPARAMS* params, UINT index) {
  if (!params || index >= params->cArgs) return nullptr;
  return &params->rgvarg[params->cArgs - 1 - index];
}

VARIANT_BOOL* CancelOf(const VARIANT* v) {
  return v && v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
}

IDispatch* DispatchOf(const VARIANT* v) {
  v = Deref(v);
  return v && v->vt == VT_DISPATCH ? v->pdispVal : nullptr;
}

const wchar_t* TextOf(const VARIANT* v) {
  v = Deref(v);
  if (!v) return nullptr;
  if (v->vt == VT_BSTR) return v->bstrVal;
  if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal) return *v->pbstrVal;
  return nullptr;
}

template <class T>
HRESULT Hand(T* object, void** out) {
  *out = object;
  object->AddRef();
  return S_OK;
}

// COM may hand us any pointer; refuse one we cannot write through.
bool Writable(void** out) { return out && !::IsBadWritePtr(out, sizeof(void*)); }

}  // namespace

namespace browser {

STDMETHODIMP HostSite::QueryInterface(REFIID iid, void** out) {
  if (!Writable(out)) return E_INVALIDARG;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    return Hand(static_cast<IOleClientSite*>(this), out);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
    return Hand(static_cast<IOleInPlaceSite*>(this), out);
  if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
    return Hand(static_cast<IOleInPlaceFrame*>(this), out);
  if (iid == IID_IDispatch) return Hand(static_cast<IDispatch*>(this), out);
  if (iid == IID_IDocHostUIHandler) return Hand(static_cast<IDocHostUIHandler*>(this), out);
  return E_NOINTERFACE;
}

STDMETHODIMP HostSite::GetContainer(IOleContainer** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP HostSite::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = view_->m_hwnd;
  return view_->m_hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP HostSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                        LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *doc = nullptr;
  ::GetClientRect(view_->m_hwnd, pos);
  *clip = *pos;
  info->fMDIApp = FALSE;
  info->hwndFrame = ::GetAncestor(view_->m_hwnd, GA_ROOT);
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP HostSite::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

STDMETHODIMP HostSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                              EXCEPINFO*, UINT*) {
  // Ambient properties the control asks for: running, not designing; no dialogs.
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_SILENT:
      if (!result) return E_POINTER;
      ::VariantInit(result);
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_TRUE;
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

STDMETHODIMP HostSite::GetOptionKeyPath(LPOLESTR* key, DWORD) {
  if (key) *key = nullptr;
  return S_OK;
}

STDMETHODIMP HostSite::GetDropTarget(IDropTarget*, IDropTarget** out) {
  if (out) *out = nullptr;
  return S_OK;
}

STDMETHODIMP HostSite::GetExternal(IDispatch** slot) {
  view_->m_notify.Fire(WN_GET_EXTERNAL, reinterpret_cast<std::uintptr_t>(slot),
                       reinterpret_cast<std::intptr_t>(view_));
  return S_OK;
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
  if (!Writable(out)) return E_INVALIDARG;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
    return Hand(static_cast<IDispatch*>(this), out);
  return E_NOINTERFACE;
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
  CBrowserView& view = *view_;
  switch (id) {
    case DISPID_DOCUMENTCOMPLETE:  // (pDisp, URL)
      view.OnDocumentComplete(DispatchOf(Arg(params, 0)));
      break;
    case DISPID_TITLECHANGE: {  // (Text)
      const wchar_t* text = TextOf(Arg(params, 0));
      view.m_notify.Fire(WN_TITLE_CHANGE, 0, reinterpret_cast<std::intptr_t>(text ? text : L""));
      break;
    }
    case DISPID_BEFORENAVIGATE2:  // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
      view.OnBeforeNavigate2(Arg(params, 1), CancelOf(Arg(params, 6)));
      break;
    case DISPID_NEWWINDOW2:  // (ppDisp, Cancel)
      if (VARIANT_BOOL* cancel = CancelOf(Arg(params, 1)))
        *cancel = view.m_blockNewWindows ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case DISPID_NEWWINDOW3: {  // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
      view.OnNewWindow3(CancelOf(Arg(params, 1)), const_cast<BSTR>(TextOf(Arg(params, 4))));
      break;
    }
    case DISPID_NAVIGATEERROR:  // (pDisp, URL, Frame, StatusCode, Cancel)
      view.OnNavigateError(Arg(params, 3), CancelOf(Arg(params, 4)));
      break;
    case DISPID_NAVIGATECOMPLETE2:  // (pDisp, URL)
      view.OnNavigateComplete2(DispatchOf(Arg(params, 0)), Arg(params, 1));
      break;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
  return S_OK;
}

}  // namespace browser

CBrowserView::CBrowserView() = default;

CBrowserView::~CBrowserView() {
  if (m_hwnd) ::DestroyWindow(m_hwnd);
}

HWND CBrowserView::Create(HWND parent, const RECT& rect, const wchar_t* initialUrl) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CBrowserView::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  if (!registered || m_hwnd) return nullptr;
  ::CreateWindowExW(0, kClassName, initialUrl ? initialUrl : L"about:blank", WS_CHILD | WS_VISIBLE,
                    rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                    nullptr, ::GetModuleHandleW(nullptr), this);
  if (m_hwnd && m_browser) m_browser->put_RegisterAsDropTarget(VARIANT_FALSE);
  return m_hwnd;
}

LRESULT CALLBACK CBrowserView::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* view = static_cast<CBrowserView*>(create->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    view->m_hwnd = hwnd;
  }
  auto* view = reinterpret_cast<CBrowserView*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!view) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = view->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    view->m_hwnd = nullptr;
  }
  return result;
}

LRESULT CBrowserView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const LONG_PTR style = ::GetWindowLongPtrW(m_hwnd, GWL_STYLE);
      if (!(style & WS_CLIPCHILDREN))
        ::SetWindowLongPtrW(m_hwnd, GWL_STYLE, style | WS_CLIPCHILDREN);
      CreateControl();  // a view without a control stays an empty window
      return 0;
    }
    case WM_SIZE:
      if (ComPtr<IOleInPlaceObject> inPlace; m_control && SUCCEEDED(m_control.As(&inPlace))) {
        RECT rect;
        ::GetClientRect(m_hwnd, &rect);
        inPlace->SetObjectRects(&rect, &rect);
      }
      return 0;
    case WM_SETFOCUS:
      FocusDocument();
      return 0;
    case WM_ERASEBKGND:
      return m_control ? 1 : ::DefWindowProcW(m_hwnd, message, wParam, lParam);
    case WM_DESTROY:
      Teardown();
      break;
    default:
      break;
  }
  return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}

bool CBrowserView::CreateControl() {
  ComPtr<IOleObject> control;
  if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                control.ReceiveVoid())))
    return false;
  m_control = control;
  control->SetClientSite(&m_site);
  RECT rect;
  ::GetClientRect(m_hwnd, &rect);
  if (FAILED(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &m_site, 0, m_hwnd, &rect))) {
    Teardown();
    return false;
  }
  if (FAILED(control.As(&m_browser))) {
    Teardown();
    return false;
  }
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  if (SUCCEEDED(m_browser.As(&container)) &&
      SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Receive())) &&
      SUCCEEDED(point->Advise(&m_sink, &m_cookie))) {
    m_advised = true;
  }
  wchar_t text[2048] = {};
  ::GetWindowTextW(m_hwnd, text, static_cast<int>(sizeof(text) / sizeof(text[0])));
  Variant url;
  url.Get()->vt = VT_BSTR;
  url.Get()->bstrVal = ::SysAllocString(text[0] ? text : L"about:blank");
  m_browser->Navigate2(url.Get(), nullptr, nullptr, nullptr, nullptr);
  return true;
}

void CBrowserView::Teardown() {
  if (m_advised && m_browser) {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(m_browser.As(&container)) &&
        SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Receive())))
      point->Unadvise(m_cookie);
  }
  m_advised = false;
  m_cookie = 0;
  if (m_control) {
    if (ComPtr<IOleInPlaceObject> inPlace; SUCCEEDED(m_control.As(&inPlace)))
      inPlace->InPlaceDeactivate();
    m_control->SetClientSite(nullptr);
    m_control->Close(OLECLOSE_NOSAVE);
  }
  m_browser.Reset();
  if (IOleObject* last = m_control.Detach()) m_lastControlRelease = last->Release();
  m_topDispatch = nullptr;
}

ComPtr<IWebBrowser2> CBrowserView::Browser() const { return m_browser; }

bool CBrowserView::Navigate(const wchar_t* url) {
  m_url = url ? url : L"";
  if (!m_browser) return false;
  Variant target;
  target.Get()->vt = VT_BSTR;
  target.Get()->bstrVal = ::SysAllocString(m_url.c_str());
  Variant empty;
  // Keep the browser alive across Navigate2: events inside it may destroy the window.
  ComPtr<IWebBrowser2> browser = m_browser;
  if (FAILED(browser->Navigate2(target.Get(), empty.Get(), empty.Get(), empty.Get(), empty.Get())))
    return false;
  browser->put_Silent(VARIANT_TRUE);
  m_navigating = true;
  m_topDispatch = nullptr;
  return true;
}

void CBrowserView::FocusDocument() {
  if (!m_browser) return;
  ComPtr<IDispatch> document;
  ComPtr<IHTMLDocument2> html;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(m_browser->get_Document(document.Receive())) || !document) return;
  if (FAILED(document.As(&html)) || FAILED(html->get_parentWindow(window.Receive())) || !window)
    return;
  window->focus();
}

void CBrowserView::Refresh() {
  if (m_browser) m_browser->Refresh();
}

BOOL CBrowserView::PreTranslateMessage(MSG* msg) {
  if (!msg || !m_hwnd || !m_control) return FALSE;
  const bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
  const bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= 0x020E;
  if (!keyboard && !mouse) return FALSE;
  if (msg->hwnd != m_hwnd && !::IsChild(m_hwnd, msg->hwnd)) return FALSE;
  ComPtr<IOleInPlaceActiveObject> active;
  if (FAILED(m_control.As(&active))) return FALSE;
  return active->TranslateAccelerator(msg) == S_OK;
}

void CBrowserView::FireForView(unsigned id) {
  m_notify.Fire(id, 0, reinterpret_cast<std::intptr_t>(this));
}

void CBrowserView::OnBeforeNavigate2(const VARIANT* url, VARIANT_BOOL* cancel) {
  m_cancelNavigation = false;
  const wchar_t* text = TextOf(url);
  const std::wstring address = text ? text : L"";
  switch (browser::ClassifyNavigation(address, m_newWindowPending)) {
    case browser::NavigationVerdict::kPassSilently:
      break;
    case browser::NavigationVerdict::kOutside:
      m_url = address;
      m_cancelNavigation = true;
      m_newWindowPending = false;
      FireForView(WN_NAVIGATE_OUTSIDE);
      break;
    case browser::NavigationVerdict::kBeforeNavigate:
      m_url = address;
      FireForView(WN_BEFORE_NAVIGATE);
      break;
  }
  if (m_cancelNavigation && cancel) *cancel = VARIANT_TRUE;
}

void CBrowserView::OnNavigateComplete2(IDispatch* disp, const VARIANT* url) {
  const wchar_t* text = TextOf(url);
  if (m_navigating && !(text && std::wstring_view(text) == L"about:blank")) {
    m_navigating = false;
    m_topDispatch = disp;
    FireForView(WN_NAVIGATE_COMPLETE);
  }
  InstallDocumentHandler();
}

void CBrowserView::InstallDocumentHandler() {
  if (!m_browser) return;
  ComPtr<IDispatch> document;
  ComPtr<IHTMLDocument2> html;
  ComPtr<ICustomDoc> custom;
  if (FAILED(m_browser->get_Document(document.Receive())) || !document) return;
  if (FAILED(document.As(&html)) || FAILED(html.As(&custom))) return;
  custom->SetUIHandler(this);
}

void CBrowserView::OnDocumentComplete(IDispatch* disp) {
  if (disp && disp == m_topDispatch) FireForView(WN_DOCUMENT_COMPLETE);
  if (!m_noScroll || !disp) return;
  ComPtr<IWebBrowser2> frame;
  ComPtr<IDispatch> document;
  ComPtr<IHTMLDocument2> html;
  ComPtr<IHTMLElement> body;
  ComPtr<IHTMLBodyElement> bodyElement;
  // QueryInterface through a raw pointer: the event's pDisp is borrowed.
  if (FAILED(disp->QueryInterface(IID_IWebBrowser2, frame.ReceiveVoid()))) return;
  if (FAILED(frame->get_Document(document.Receive())) || !document) return;
  if (FAILED(document.As(&html)) || FAILED(html->get_body(body.Receive())) || !body) return;
  if (FAILED(body.As(&bodyElement))) return;
  Bstr no(L"no");
  bodyElement->put_scroll(no.Get());
}

void CBrowserView::OnNavigateError(const VARIANT* status, VARIANT_BOOL* cancel) {
  const VARIANT* code = Deref(status);
  HRESULT hr = S_OK;
  if (code && (code->vt == VT_I4 || code->vt == VT_INT)) hr = static_cast<HRESULT>(code->lVal);
  if (hr == kAbort) return;
  FireForView(WN_NAVIGATE_ERROR);
  if (cancel) *cancel = VARIANT_TRUE;
}

void CBrowserView::OnNewWindow3(VARIANT_BOOL* cancel, BSTR url) {
  if (cancel) *cancel = m_blockNewWindows ? VARIANT_TRUE : VARIANT_FALSE;
  m_newWindowPending = true;
  Navigate(url ? url : L"");
}

STDMETHODIMP CBrowserView::QueryInterface(REFIID iid, void** out) {
  if (!Writable(out)) return E_INVALIDARG;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDocHostUIHandler)
    return Hand(static_cast<IDocHostUIHandler*>(this), out);
  return E_NOINTERFACE;
}

STDMETHODIMP CBrowserView::GetHostInfo(DOCHOSTUIINFO* info) {
  if (!info) return E_POINTER;
  info->cbSize = sizeof(DOCHOSTUIINFO);
  info->dwFlags |=
      DOCHOSTUIFLAG_DISABLE_HELP_MENU | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER;
  if (m_noScroll) info->dwFlags |= DOCHOSTUIFLAG_SCROLL_NO;
  info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
  info->pchHostCss = nullptr;
  info->pchHostNS = nullptr;
  return S_OK;
}

STDMETHODIMP CBrowserView::GetOptionKeyPath(LPOLESTR* key, DWORD) {
  if (key) *key = nullptr;
  return S_OK;
}

STDMETHODIMP CBrowserView::GetExternal(IDispatch** slot) { return m_site.GetExternal(slot); }
