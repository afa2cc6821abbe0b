// The browser view with the real WebBrowser control and a loopback server,
// plus the events the control cannot raise here delivered to its sink.
#include <winsock2.h>
#include <windows.h>

#include <exdispid.h>
#include <gtest/gtest.h>
#include <mshtmhst.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "browser/browser_view.h"
#include "browser_events.h"
#include "loopback_server.h"
#include "test_support.h"

namespace {

// The hosting window's side: records notifications, may cancel.
struct Recorder {
  CBrowserView* view = nullptr;
  std::vector<unsigned> ids;
  std::vector<std::wstring> urls;
  std::wstring title;
  bool cancelBefore = false;
  void OnWebNotify(unsigned id, std::uintptr_t, std::intptr_t lparam) {
    ids.push_back(id);
    if (id == WN_TITLE_CHANGE) {
      title = reinterpret_cast<const wchar_t*>(lparam);
      return;
    }
    EXPECT_EQ(lparam, reinterpret_cast<std::intptr_t>(view));
    urls.push_back(view->GetLocationURL());
    if (id == WN_BEFORE_NAVIGATE && cancelBefore) view->m_cancelNavigation = true;
  }
};

class BrowserViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    parent_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    recorder_.view = &view_;
    SubscribeWebNotify(view_.m_notify, &recorder_, &Recorder::OnWebNotify);
  }
  void TearDown() override {
    if (view_.GetHwnd()) ::DestroyWindow(view_.GetHwnd());
    ::DestroyWindow(parent_);
    ::OleUninitialize();
  }
  bool CreateView() {
    const RECT rect{0, 0, 400, 300};
    if (!view_.Create(parent_, rect, L"about:blank") || !view_.Browser()) return false;
    PumpMessages(400);  // Wine ends the start page in NavigateError; not what a test looks at
    recorder_.ids.clear();
    recorder_.urls.clear();
    return true;
  }

  HWND parent_ = nullptr;
  CBrowserView view_;
  Recorder recorder_;
};

TEST_F(BrowserViewTest, CreatesTheControlInATabBrowserChildWindow) {
  ASSERT_TRUE(CreateView());
  wchar_t name[64] = {};
  ::GetClassNameW(view_.GetHwnd(), name, 64);
  EXPECT_STREQ(name, L"TabBrowser");
  const LONG_PTR style = ::GetWindowLongPtrW(view_.GetHwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & WS_CLIPCHILDREN);
  EXPECT_EQ(::GetParent(view_.GetHwnd()), parent_);
  VARIANT_BOOL drop = VARIANT_TRUE;
  view_.Browser()->get_RegisterAsDropTarget(&drop);
  EXPECT_EQ(drop, VARIANT_FALSE);
}

TEST_F(BrowserViewTest, NavigationThroughTheRealControlReachesTheServerAndIsFiltered) {
  LoopbackServer server;
  ASSERT_TRUE(CreateView());
  PumpMessages(500);
  recorder_.ids.clear();
  recorder_.urls.clear();

  // An ordinary page: notified before, requested, and its error (no HTML engine here)
  // reported once and cancelled.
  const std::wstring page = server.Url("/login");
  ASSERT_TRUE(view_.Navigate(page.c_str()));
  PumpMessages(8000, [&] { return !server.Paths().empty() && recorder_.ids.size() >= 2; });
  ASSERT_EQ(server.Paths(), std::vector<std::string>{"/login"});
  ASSERT_GE(recorder_.ids.size(), 1u);
  EXPECT_EQ(recorder_.ids[0], WN_BEFORE_NAVIGATE);
  EXPECT_EQ(recorder_.urls[0], page);
  const size_t errors = std::count(recorder_.ids.begin(), recorder_.ids.end(), WN_NAVIGATE_ERROR);
  EXPECT_EQ(errors, 1u);  // no HTML engine here: every page ends in NavigateError

  // ".exe" anywhere: handed to the window and never requested.
  recorder_.ids.clear();
  const std::wstring download = server.Url("/get?file=setup.exe");
  view_.Navigate(download.c_str());
  PumpMessages(1500);
  EXPECT_EQ(recorder_.ids, std::vector<unsigned>{WN_NAVIGATE_OUTSIDE});
  EXPECT_EQ(view_.GetLocationURL(), download);

  // Cancelled by the window inside WN_BEFORE_NAVIGATE: never requested.
  recorder_.ids.clear();
  recorder_.cancelBefore = true;
  view_.Navigate(server.Url("/cancelled").c_str());
  PumpMessages(1500);
  recorder_.cancelBefore = false;
  EXPECT_EQ(recorder_.ids, std::vector<unsigned>{WN_BEFORE_NAVIGATE});

  // about:blank and javascript pass without a notification.
  recorder_.ids.clear();
  view_.Navigate(L"about:blank");
  view_.Navigate(L"javascript:void(0)");
  PumpMessages(1000);
  // Wine may report these pages as errors; the filter itself stays silent.
  EXPECT_EQ(std::count(recorder_.ids.begin(), recorder_.ids.end(), WN_BEFORE_NAVIGATE), 0);
  EXPECT_EQ(std::count(recorder_.ids.begin(), recorder_.ids.end(), WN_NAVIGATE_OUTSIDE), 0);
  EXPECT_EQ(server.Paths(), std::vector<std::string>{"/login"});
}

TEST_F(BrowserViewTest, NavigateErrorReportsOnceAndCancelsExceptForAbort) {
  ASSERT_TRUE(CreateView());
  IDispatch* sink = view_.EventSinkDispatch();
  struct Case {
    LONG status;
    std::vector<unsigned> ids;
    VARIANT_BOOL cancel;
  } cases[] = {
      {static_cast<LONG>(0x800C0005L), {WN_NAVIGATE_ERROR}, VARIANT_TRUE},
      {404, {WN_NAVIGATE_ERROR}, VARIANT_TRUE},
      {static_cast<LONG>(0x80004004L), {}, VARIANT_FALSE},
  };
  for (const Case& c : cases) {
    recorder_.ids.clear();
    VARIANT url = BstrVariant(::SysAllocString(L"http://127.0.0.1:1/x"));
    VARIANT frame = BstrVariant(nullptr);
    VARIANT status;
    ::VariantInit(&status);
    status.vt = VT_I4;
    status.lVal = c.status;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EventCall call{{Dispatch(view_.Browser().Get()), ByRefVariant(&url), ByRefVariant(&frame),
                    ByRefVariant(&status), ByRefBool(&cancel)}};
    EXPECT_EQ(call.Send(sink, DISPID_NAVIGATEERROR), S_OK);
    EXPECT_EQ(recorder_.ids, c.ids) << c.status;
    EXPECT_EQ(cancel, c.cancel) << c.status;
    ::VariantClear(&url);
  }
}

TEST_F(BrowserViewTest, NavigateCompleteAndDocumentCompleteFollowTheLastNavigate) {
  ASSERT_TRUE(CreateView());
  IDispatch* sink = view_.EventSinkDispatch();
  IDispatch* top = view_.Browser().Get();
  IDispatch* frameObject = sink;  // any other object: a frame's browser
  PumpMessages(500);              // the control's own about:blank start is over
  recorder_.ids.clear();
  auto complete = [&](DISPID id, IDispatch* who, const wchar_t* address) {
    VARIANT url = BstrVariant(::SysAllocString(address));
    EventCall call{{Dispatch(who), ByRefVariant(&url)}};
    call.Send(sink, id);
    ::VariantClear(&url);
  };

  // Before any Navigate: nothing recorded, nothing raised.
  complete(DISPID_NAVIGATECOMPLETE2, top, L"http://127.0.0.1:1/");
  complete(DISPID_DOCUMENTCOMPLETE, top, L"http://127.0.0.1:1/");
  EXPECT_TRUE(recorder_.ids.empty());
  EXPECT_EQ(view_.m_topDispatch, nullptr);

  view_.Navigate(L"about:blank#armed");
  PumpMessages(300);
  recorder_.ids.clear();
  complete(DISPID_NAVIGATECOMPLETE2, top, L"about:blank");  // does not consume it
  EXPECT_TRUE(recorder_.ids.empty());
  complete(DISPID_NAVIGATECOMPLETE2, top, L"http://127.0.0.1:1/game");
  complete(DISPID_NAVIGATECOMPLETE2, top, L"http://127.0.0.1:1/again");  // already consumed
  EXPECT_EQ(view_.m_topDispatch, top);
  complete(DISPID_DOCUMENTCOMPLETE, frameObject, L"http://127.0.0.1:1/frame");
  complete(DISPID_DOCUMENTCOMPLETE, top, L"http://127.0.0.1:1/game");
  EXPECT_EQ(recorder_.ids, (std::vector<unsigned>{WN_NAVIGATE_COMPLETE, WN_DOCUMENT_COMPLETE}));
}

TEST_F(BrowserViewTest, NewWindowsAreCancelledAndHandedToTheWindow) {
  ASSERT_TRUE(CreateView());
  PumpMessages(300);
  IDispatch* sink = view_.EventSinkDispatch();
  view_.m_blockNewWindows = true;
  view_.m_url = L"http://127.0.0.1:1/current";
  recorder_.ids.clear();

  IDispatch* newBrowser = nullptr;
  VARIANT_BOOL cancel2 = VARIANT_FALSE;
  VARIANT pp;
  ::VariantInit(&pp);
  pp.vt = VT_BYREF | VT_DISPATCH;
  pp.ppdispVal = &newBrowser;
  EventCall{{pp, ByRefBool(&cancel2)}}.Send(sink, DISPID_NEWWINDOW2);
  EXPECT_EQ(cancel2, VARIANT_TRUE);
  EXPECT_TRUE(recorder_.ids.empty());

  const wchar_t* target = L"http://127.0.0.1:1/popup";
  VARIANT_BOOL cancel3 = VARIANT_FALSE;
  VARIANT flags;
  ::VariantInit(&flags);
  flags.vt = VT_UI4;
  VARIANT context = BstrVariant(::SysAllocString(L"http://127.0.0.1:1/current"));
  VARIANT url = BstrVariant(::SysAllocString(target));
  EventCall{{pp, ByRefBool(&cancel3), flags, context, url}}.Send(sink, DISPID_NEWWINDOW3);
  PumpMessages(1000, [&] { return !recorder_.ids.empty(); });
  EXPECT_EQ(cancel3, VARIANT_TRUE);
  EXPECT_EQ(recorder_.ids, std::vector<unsigned>{WN_NAVIGATE_OUTSIDE});
  EXPECT_EQ(recorder_.urls, std::vector<std::wstring>{target});
  EXPECT_FALSE(view_.m_newWindowPending);
  EXPECT_EQ(newBrowser, nullptr);
  ::VariantClear(&context);
  ::VariantClear(&url);
}

TEST_F(BrowserViewTest, TitleChangePassesTheText) {
  ASSERT_TRUE(CreateView());
  VARIANT text = BstrVariant(::SysAllocString(L"Ostrevane - realm 3"));
  EventCall{{text}}.Send(view_.EventSinkDispatch(), DISPID_TITLECHANGE);
  EXPECT_EQ(recorder_.ids, std::vector<unsigned>{WN_TITLE_CHANGE});
  EXPECT_EQ(recorder_.title, L"Ostrevane - realm 3");
  ::VariantClear(&text);
}

TEST_F(BrowserViewTest, DocumentUiHandlerAnswers) {
  IUnknown* viewUnknown = nullptr;
  ASSERT_EQ(view_.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viewUnknown)), S_OK);
  IDocHostUIHandler* handler = nullptr;
  ASSERT_EQ(viewUnknown->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler)),
            S_OK);
  IUnknown* again = nullptr;
  handler->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again));
  EXPECT_EQ(again, viewUnknown);  // one identity
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(handler->QueryInterface(IID_IOleClientSite, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(handler->QueryInterface(IID_IDispatch, nullptr), E_INVALIDARG);

  DOCHOSTUIINFO info{};
  info.dwFlags = DOCHOSTUIFLAG_DIALOG;
  info.dwDoubleClick = 7;
  EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
  EXPECT_EQ(info.cbSize, sizeof(DOCHOSTUIINFO));
  EXPECT_EQ(info.dwFlags, 0x20000Eu | DOCHOSTUIFLAG_DIALOG);
  EXPECT_EQ(info.dwDoubleClick, 0u);
  view_.m_noScroll = false;
  info.dwFlags = 0;
  handler->GetHostInfo(&info);
  EXPECT_EQ(info.dwFlags, 0x200006u);

  MSG msg{};
  LPOLESTR key = reinterpret_cast<LPOLESTR>(1);
  IDataObject* data = nullptr;
  struct {
    HRESULT got, want;
  } answers[] = {
      {handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE},
      {handler->ShowUI(0, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL},
      {handler->HideUI(), S_OK},
      {handler->UpdateUI(), S_OK},
      {handler->EnableModeless(TRUE), E_NOTIMPL},
      {handler->OnDocWindowActivate(TRUE), E_NOTIMPL},
      {handler->OnFrameWindowActivate(TRUE), E_NOTIMPL},
      {handler->ResizeBorder(nullptr, nullptr, TRUE), E_NOTIMPL},
      {handler->TranslateAccelerator(&msg, nullptr, 0), E_NOTIMPL},
      {handler->GetOptionKeyPath(&key, 0), S_OK},
      {handler->GetDropTarget(nullptr, nullptr), E_NOTIMPL},
      {handler->TranslateUrl(0, nullptr, nullptr), E_NOTIMPL},
      {handler->FilterDataObject(nullptr, &data), E_NOTIMPL},
  };
  for (size_t i = 0; i < sizeof(answers) / sizeof(answers[0]); ++i)
    EXPECT_EQ(answers[i].got, answers[i].want) << "answer " << i;
  EXPECT_EQ(key, nullptr);

  IDispatch* external = nullptr;
  EXPECT_EQ(handler->GetExternal(&external), S_OK);
  EXPECT_EQ(recorder_.ids, std::vector<unsigned>{WN_GET_EXTERNAL});
  EXPECT_EQ(external, nullptr);

  again->Release();
  handler->Release();
  viewUnknown->Release();
  EXPECT_EQ(view_.m_refs, 0u);
}

TEST_F(BrowserViewTest, FiftyViewsLeaveHandleAndGdiCountsFlatAndReleaseTheControl) {
  auto cycle = [&] {
    CBrowserView view;
    const RECT rect{0, 0, 200, 100};
    EXPECT_NE(view.Create(parent_, rect, L"about:blank"), nullptr);
    PumpMessages(20);
    ::DestroyWindow(view.GetHwnd());
    EXPECT_EQ(view.LastControlReleaseCount(), 0u);
    EXPECT_EQ(view.m_refs, 0u);
  };
  cycle();  // first use loads the control's libraries
  PumpMessages(200);
  const ResourceCounts before = CountResources();
  for (int i = 0; i < 50; ++i) cycle();
  PumpMessages(200);
  const ResourceCounts after = CountResources();
  EXPECT_LE(after.handles, before.handles + 5);
  EXPECT_LE(after.gdi, before.gdi + 5);
  EXPECT_EQ(after.windows, before.windows);
}

}  // namespace
