// CBrowserView: a child window of class "TabBrowser" hosting the system's
// WebBrowser control in place, with a small ActiveX host of its own.
#pragma once

#include <windows.h>

#include <exdisp.h>
#include <mshtmhst.h>
#include <ole2.h>

#include <string>

#include "app/com_ptr.h"
#include "browser/core/web_notify.h"

class CBrowserView;

// COM interfaces are destroyed through Release, never through a base pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace browser {

// The control's client site: in-place site and frame, ambient properties and
// the host-level document UI answers. Lives inside the view; never self-frees.
class HostSite final : public IOleClientSite,
                       public IOleInPlaceSite,
                       public IOleInPlaceFrame,
                       public IDispatch,
                       public IDocHostUIHandler {
 public:
  explicit HostSite(CBrowserView* view) : view_(view) {}
  ULONG References() const { return refs_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** out) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow / IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* out) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow / IOleInPlaceFrame: no menus, no tool space.
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDispatch: ambient properties only.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

  // IDocHostUIHandler, host level: no context menu, flags as the control has them.
  STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO*) override { return S_OK; }
  STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                      IOleInPlaceUIWindow*) override {
    return S_FALSE;  // the host shows no UI of its own
  }
  STDMETHODIMP HideUI() override { return S_OK; }
  STDMETHODIMP UpdateUI() override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
  STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** out) override;
  STDMETHODIMP GetExternal(IDispatch** slot) override;
  STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP FilterDataObject(IDataObject*, IDataObject**) override { return E_NOTIMPL; }

 private:
  CBrowserView* view_;
  ULONG refs_ = 0;
};

// DWebBrowserEvents2 sink advised on the control's connection point.
class EventSink final : public IDispatch {
 public:
  explicit EventSink(CBrowserView* view) : view_(view) {}
  ULONG References() const { return refs_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override;

 private:
  CBrowserView* view_;
  ULONG refs_ = 0;
};

}  // namespace browser

class CBrowserView final : public IDocHostUIHandler {
 public:
  CBrowserView();
  ~CBrowserView();
  CBrowserView(const CBrowserView&) = delete;
  CBrowserView& operator=(const CBrowserView&) = delete;

  HWND Create(HWND parent, const RECT& rect, const wchar_t* initialUrl);
  bool Navigate(const wchar_t* url);
  std::wstring GetLocationURL() const { return m_url; }
  void FocusDocument();
  void Refresh();
  BOOL PreTranslateMessage(MSG* msg);
  HWND GetHwnd() const { return m_hwnd; }
  ComPtr<IWebBrowser2> Browser() const;

  // The sink the control calls; exposed so callers can see exactly what it receives.
  IDispatch* EventSinkDispatch() { return &m_sink; }
  // What the control's last Release returned at teardown (0: the control is gone).
  ULONG LastControlReleaseCount() const { return m_lastControlRelease; }

  // IUnknown / IDocHostUIHandler, document level. The view is not freed by Release.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override { return --m_refs; }
  STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
  STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                      IOleInPlaceUIWindow*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP HideUI() override { return S_OK; }
  STDMETHODIMP UpdateUI() override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
  STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
  STDMETHODIMP GetExternal(IDispatch** slot) override;
  STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP FilterDataObject(IDataObject*, IDataObject**) override { return E_NOTIMPL; }

  CWebNotify m_notify;
  bool m_navigating = false;
  IDispatch* m_topDispatch = nullptr;  // compared only, never dereferenced
  ULONG m_refs = 0;
  std::wstring m_url;
  bool m_noScroll = true;
  bool m_cancelNavigation = false;
  bool m_blockNewWindows = false;
  bool m_newWindowPending = false;

 private:
  friend class browser::HostSite;
  friend class browser::EventSink;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateControl();
  void Teardown();
  void FireForView(unsigned id);

  // Events, arguments in declaration order.
  void OnBeforeNavigate2(const VARIANT* url, VARIANT_BOOL* cancel);
  void OnNavigateComplete2(IDispatch* disp, const VARIANT* url);
  void OnDocumentComplete(IDispatch* disp);
  void OnNavigateError(const VARIANT* status, VARIANT_BOOL* cancel);
  void OnNewWindow3(VARIANT_BOOL* cancel, BSTR url);
  void InstallDocumentHandler();

  HWND m_hwnd = nullptr;
  browser::HostSite m_site{this};
  browser::EventSink m_sink{this};
  ComPtr<IOleObject> m_control;
  ComPtr<IWebBrowser2> m_browser;
  DWORD m_cookie = 0;
  bool m_advised = false;
  ULONG m_lastControlRelease = 0;
};

#pragma GCC diagnostic pop
