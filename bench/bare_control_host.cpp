// Baseline for the browser view benchmark: the least a program does to show a
// page with the WebBrowser control (create it in place in a window, navigate).
// Usage: qb_bench_bare_host.exe URL. Pumps messages until ended (20 s at most).
#include <windows.h>

#include <exdisp.h>
#include <ole2.h>

namespace {

HWND g_window = nullptr;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Site final : public IOleClientSite, public IOleInPlaceSite {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
      *out = static_cast<IOleInPlaceSite*>(this);
    return *out ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** c) override {
    *c = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  STDMETHODIMP GetWindow(HWND* w) override {
    *w = g_window;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** f, IOleInPlaceUIWindow** d, LPRECT pos,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *f = nullptr;
    *d = nullptr;
    ::GetClientRect(g_window, pos);
    *clip = *pos;
    info->fMDIApp = FALSE;
    info->hwndFrame = g_window;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
};
#pragma GCC diagnostic pop

}  // namespace

int wmain(int argc, wchar_t** argv);
int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  ::OleInitialize(nullptr);
  g_window = ::CreateWindowExW(0, L"STATIC", L"bare", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                               nullptr, nullptr, nullptr, nullptr);
  Site site;
  IOleObject* control = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&control))))
    return 3;
  control->SetClientSite(&site);
  RECT rect{0, 0, 800, 600};
  control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, g_window, &rect);
  IWebBrowser2* browser = nullptr;
  control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
  VARIANT url;
  ::VariantInit(&url);
  url.vt = VT_BSTR;
  url.bstrVal = ::SysAllocString(argv[1]);
  browser->Navigate2(&url, nullptr, nullptr, nullptr, nullptr);
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < 20000) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(1);
  }
  return 0;
}
