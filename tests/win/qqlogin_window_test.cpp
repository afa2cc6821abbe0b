// The QQ (OAuth) login window on a real window: how it is built, centred and
// laid out, its close button and drag, and its keyboard filter.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/global_module.h"
#include "browser_events.h"
#include "form_test_support.h"
#include "test_support.h"
#include "windows/form_qqlogin.h"

namespace {

using formtest::ModalDriver;

using formtest::Text;
using formtest::WorkArea;

class QQLoginWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    formtest::FormRoute::Form() = &form_;

    // As the client opens it: 880 x 420, built on the OAuth address, centred.
    const RECT frame{0, 0, 880, 420};
    form_.SetRect(&frame);
    ASSERT_TRUE(form_.Initialize(L"about:blank"));
    hwnd_ = form_.GetHwnd();
    ASSERT_NE(hwnd_, nullptr);
    formtest::EnsurePicture(form_.m_background.m_image, 1500, 27);
    formtest::EnsureButtonPictures(form_.m_closeButton, 27, 27);
    ASSERT_TRUE(form_.CenterAndShow());
    PumpMessages(300);
  }

  void TearDown() override {
    if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    PumpMessages(100);
    ::OleUninitialize();
  }

  // The controls and the view, one line each; the title label narrows to its
  // text when drawn, so only its limit is shown.
  std::vector<std::string> LayoutTable() {
    return formtest::LayoutTable(hwnd_,
                                 {{"background", &form_.m_background},
                                  {"left", &form_.m_leftBorder},
                                  {"right", &form_.m_rightBorder},
                                  {"bottom", &form_.m_bottomBorder},
                                  {"close", &form_.m_closeButton}},
                                 form_.m_titleLabel, 205, form_.m_view.GetHwnd());
  }

  formtest::ModuleForForms module_;
  CFormQQLogin form_;
  HWND hwnd_ = nullptr;
};

TEST_F(QQLoginWindowTest, OpensCentredOnTheWorkAreaAsAnOrdinaryTopLevelWindow) {
  const RECT work = WorkArea();
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  const int x = (work.right - 880) / 2, y = (work.bottom - 420) / 2;
  EXPECT_EQ(Text(r), Text(RECT{x, y, x + 880, y + 420}));
  EXPECT_TRUE(::IsWindowVisible(hwnd_));
  EXPECT_EQ(::GetWindow(hwnd_, GW_OWNER), nullptr) << "own taskbar button";
  EXPECT_EQ(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

  const LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX),
            WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_MAXIMIZEBOX), 0);

  EXPECT_EQ(form_.m_titleLabel.GetText(), L"账号安全登录");
  EXPECT_EQ(form_.m_titleLabel.m_color, COLORREF{0x0000FFFF});
  EXPECT_EQ(::GetParent(form_.m_view.GetHwnd()), hwnd_);
  EXPECT_TRUE(form_.m_view.m_blockNewWindows);

  const std::vector<std::string> at880 = {
      "background 0,0,880,27", "left 0,27,3,420",    "right 697,27,880,420", "bottom 0,416,880,420",
      "close 853,0,880,27",    "title 5,2,<=205,22", "view 3,27,877,416"};
  EXPECT_EQ(LayoutTable(), at880);
}

TEST_F(QQLoginWindowTest, LayoutFollowsTheClientSize) {
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 600, 300, SWP_NOMOVE | SWP_NOZORDER);
  form_.Layout();
  // The frame pieces keep their places; bar, close button and view follow.
  const std::vector<std::string> at600 = {
      "background 0,0,600,27", "left 0,27,3,420",    "right 697,27,880,420", "bottom 0,416,880,420",
      "close 573,0,600,27",    "title 5,2,<=205,22", "view 3,27,597,296"};
  EXPECT_EQ(LayoutTable(), at600);
}

TEST_F(QQLoginWindowTest, CloseButtonEndsTheWindowWithoutQuestion) {
  struct Case {
    const char* how;
    bool open;
  } cases[] = {{"click beside the close button", true}, {"press only", true}, {"click", false}};
  const POINT close = formtest::CentreOf(formtest::RectOf(form_.m_closeButton));
  ModalDriver driver(::GetCurrentThreadId(), {});
  for (const Case& c : cases) {
    const std::string how = c.how;
    if (how == "click beside the close button") {
      formtest::Click(hwnd_, POINT{close.x - 30, close.y});
    } else if (how == "press only") {
      ::SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close.x, close.y));
    } else {
      formtest::Click(hwnd_, close);
    }
    EXPECT_EQ(::IsWindow(hwnd_) != FALSE, c.open) << c.how;
  }
  EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{});
}

TEST_F(QQLoginWindowTest, SystemCloseEndsTheWindowWithoutQuestion) {
  ModalDriver driver(::GetCurrentThreadId(), {});
  ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  PumpMessages(1000, [&] { return !::IsWindow(hwnd_); });
  EXPECT_FALSE(::IsWindow(hwnd_));
  EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{});
}

TEST_F(QQLoginWindowTest, TitleBarAndTitleDragTheWindow) {
  struct Case {
    const char* where;
    POINT at;
    size_t drags;
  } cases[] = {{"title bar", {400, 12}, 1},
               {"title text", {10, 10}, 1},
               {"close button", {866, 13}, 0},
               {"left frame", {1, 200}, 0},
               {"bottom frame", {100, 418}, 0}};
  for (const Case& c : cases) {
    formtest::FormRoute::Drags().clear();
    ::SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.at.x, c.at.y));
    ::SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(c.at.x + 200, c.at.y + 200));  // elsewhere
    EXPECT_EQ(formtest::FormRoute::Drags(), std::vector<WPARAM>(c.drags, 0xF011)) << c.where;
  }
  EXPECT_TRUE(::IsWindow(hwnd_));
}

TEST_F(QQLoginWindowTest, OutsideLinksOpenInTheBrowserAndTheWindowStays) {
  const std::wstring log = ModuleFolder() + L"qq_window_browser.txt";
  InstallRecorderBrowser(log);
  struct Case {
    const char* what;
    const wchar_t* url;
    bool newWindow;
  } cases[] = {
      {"new-window link", L"http://127.0.0.1:1/oauth/help?lang=zh", true},
      {"download in the page", L"http://127.0.0.1:1/client/setup.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ::DeleteFileW(log.c_str());
    if (c.newWindow) {
      EXPECT_EQ(DeliverNewWindow3(form_.m_view, c.url), VARIANT_TRUE);
    } else {
      EXPECT_EQ(DeliverBeforeNavigate2(form_.m_view, c.url), VARIANT_TRUE);
    }
    // The control may ask for the page on a later message.
    PumpMessages(10000, [&] { return !ReadFileBytes(log).empty(); });
    const auto records = RecorderRecords(log, 1000);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].back(), Narrow(c.url));
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
  }
  ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", nullptr);
}

// Records what the keyboard filter hands to the browser.
class FilterProbe : public CFormQQLogin {
 public:
  std::vector<std::string> forwarded;

 protected:
  BOOL ForwardToBrowser(MSG* msg) override {
    forwarded.push_back(std::to_string(msg->message) + ":" + std::to_string(msg->wParam));
    return TRUE;
  }
};

// Sets the Ctrl key's state as the thread's messages see it.
void SetCtrl(bool down) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  keys[VK_LCONTROL] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

TEST(QQLoginWindowFilter, OnlyEditingKeysAndKeyUpsReachTheBrowser) {
  FilterProbe probe;
  struct Case {
    UINT message;
    WPARAM key;
    bool ctrl;
    bool forwarded;
  } cases[] = {
      {WM_KEYDOWN, 'C', true, true},         {WM_KEYDOWN, 'V', true, true},
      {WM_KEYDOWN, 'X', true, true},         {WM_KEYDOWN, 'Z', true, true},
      {WM_KEYDOWN, 'C', false, false},       {WM_KEYDOWN, 'A', true, false},
      {WM_KEYDOWN, VK_TAB, false, true},     {WM_KEYDOWN, VK_RETURN, false, true},
      {WM_KEYDOWN, VK_DELETE, false, true},  {WM_KEYDOWN, VK_BACK, false, false},
      {WM_KEYUP, 'A', false, true},          {WM_SYSKEYDOWN, 'V', true, true},
      {WM_CHAR, VK_RETURN, false, true},     {WM_CHAR, 'a', false, false},
      {0x109, VK_TAB, false, true},          {0x10A, VK_TAB, false, false},
      {WM_LBUTTONDOWN, VK_TAB, true, false}, {WM_MOUSEWHEEL, 0, false, false},
      {WM_MOUSEMOVE, 'C', true, false},      {WM_TIMER, VK_TAB, false, false},
  };
  for (const Case& c : cases) {
    SetCtrl(c.ctrl);
    probe.forwarded.clear();
    MSG msg{};
    msg.message = c.message;
    msg.wParam = c.key;
    const BOOL answered = probe.PreTranslateMessage(&msg);
    const std::vector<std::string> expected =
        c.forwarded
            ? std::vector<std::string>{std::to_string(c.message) + ":" + std::to_string(c.key)}
            : std::vector<std::string>{};
    EXPECT_EQ(probe.forwarded, expected) << c.message << " key " << c.key << " ctrl " << c.ctrl;
    EXPECT_EQ(answered != FALSE, c.forwarded);
  }
  SetCtrl(false);
}

}  // namespace
