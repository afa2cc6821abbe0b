// The game window on a real window: its title-bar layout, the page title, the
// settings and tray menus and their questions (answered by a driver thread),
// the tray icon, maximise/restore and dragging, and its keyboard filter.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/autorun.h"
#include "app/build_config.h"
#include "app/global_module.h"
#include "app/handles.h"
#include "app/messages.h"
#include "browser_events.h"
#include "form_test_support.h"
#include "test_support.h"
#include "windows/form_game.h"

namespace {

using formtest::ModalDriver;

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

using formtest::Text;
using formtest::WorkArea;

class GameWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    formtest::FormRoute::Form() = &form_;

    // As the client opens it: 1250 x 700, built, then spread over the work area.
    const RECT frame{0, 0, 1250, 700};
    form_.SetRect(&frame);
    ASSERT_TRUE(form_.Initialize(L"about:blank"));
    hwnd_ = form_.GetHwnd();
    ASSERT_NE(hwnd_, nullptr);
    formtest::EnsurePicture(form_.m_background.m_image, 1500, 27);
    formtest::EnsurePicture(form_.m_icon.m_image, 24, 24);
    formtest::EnsureButtonPictures(form_.m_closeButton, 28, 27);
    formtest::EnsureButtonPictures(form_.m_minimizeButton, 28, 27);
    formtest::EnsureButtonPictures(form_.m_restoreButton, 27, 27);
    formtest::EnsureButtonPictures(form_.m_trayButton, 27, 27);
    for (CKVButton* b : TextButtons()) formtest::EnsureButtonPictures(*b, 38, 18);
    ASSERT_TRUE(form_.Maximize());
    PumpMessages(300);  // Wine ends the start page in NavigateError; not looked at here
  }

  void TearDown() override {
    if (formtest::TrayIconExists(hwnd_, 156)) {
      NOTIFYICONDATAW nid{};
      nid.cbSize = sizeof(nid);
      nid.hWnd = hwnd_;
      nid.uID = 156;
      ::Shell_NotifyIconW(NIM_DELETE, &nid);
    }
    if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    PumpMessages(100);
    ::OleUninitialize();
  }

  std::vector<CKVButton*> TextButtons() {
    return {&form_.m_settingsButton, &form_.m_serviceButton, &form_.m_forumButton,
            &form_.m_officialButton, &form_.m_rechargeButton};
  }

  // The title-bar controls and the view, one line each. The title label
  // narrows to its text when drawn, so only its limit is shown.
  std::vector<std::string> LayoutTable() {
    return formtest::LayoutTable(hwnd_,
                                 {{"background", &form_.m_background},
                                  {"close", &form_.m_closeButton},
                                  {"restore", &form_.m_restoreButton},
                                  {"minimize", &form_.m_minimizeButton},
                                  {"tray", &form_.m_trayButton},
                                  {"settings", &form_.m_settingsButton},
                                  {"service", &form_.m_serviceButton},
                                  {"forum", &form_.m_forumButton},
                                  {"official", &form_.m_officialButton},
                                  {"recharge", &form_.m_rechargeButton},
                                  {"icon", &form_.m_icon}},
                                 form_.m_titleLabel, 339, form_.m_view.GetHwnd());
  }

  static std::vector<std::string> ExpectedTable(int w, int h) {
    auto line = [](const char* name, int l, int t, int r, int b) {
      return std::string(name) + " " + Text(RECT{l, t, r, b});
    };
    return {line("background", 0, 0, w, 27),
            line("close", w - 28, 1, w, 28),
            line("restore", w - 55, 1, w - 28, 28),
            line("minimize", w - 83, 1, w - 55, 28),
            line("tray", w - 110, 1, w - 83, 28),
            line("settings", w - 168, 5, w - 130, 23),
            line("service", w - 211, 5, w - 173, 23),
            line("forum", w - 254, 5, w - 216, 23),
            line("official", w - 297, 5, w - 259, 23),
            line("recharge", w - 340, 5, w - 302, 23),
            line("icon", 5, 2, 29, 24),
            "title 39,5,<=339,25",
            line("view", 0, 27, w, h)};
  }

  RECT WindowRect() {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return r;
  }

  // State of the window and of the maximise/restore button, pointer away.
  std::string MaxState() {
    const RECT r = WindowRect();
    const RECT work = WorkArea();
    std::string size =
        r.left == 0 && r.top == 0 && r.right == work.right && r.bottom == work.bottom
            ? "work area"
            : std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    return std::string(form_.m_maximized ? "maximized " : "restored ") + size + " " +
           formtest::Showing(form_.m_restoreButton);
  }

  POINT TitleBarPoint() { return POINT{600, 12}; }  // background only, at every width here

  formtest::ModuleForForms module_;
  CFormGame form_;
  HWND hwnd_ = nullptr;
};

TEST_F(GameWindowTest, TitleBarLayoutAtTheRestoredWidthAndOverTheWorkArea) {
  // A borderless top-level window with its own taskbar button, never top-most.
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX),
            WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(::GetWindow(hwnd_, GW_OWNER), nullptr);
  EXPECT_TRUE(form_.m_view.m_blockNewWindows);

  ASSERT_TRUE(form_.Restore());
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  ASSERT_EQ(client.right, 1250);
  ASSERT_EQ(client.bottom, 700);
  const std::vector<std::string> at1250 = {
      "background 0,0,1250,27",  "close 1222,1,1250,28", "restore 1195,1,1222,28",
      "minimize 1167,1,1195,28", "tray 1140,1,1167,28",  "settings 1082,5,1120,23",
      "service 1039,5,1077,23",  "forum 996,5,1034,23",  "official 953,5,991,23",
      "recharge 910,5,948,23",   "icon 5,2,29,24",       "title 39,5,<=339,25",
      "view 0,27,1250,700"};
  EXPECT_EQ(LayoutTable(), at1250);

  ASSERT_TRUE(form_.Maximize());
  const RECT work = WorkArea();
  ASSERT_NE(work.right, 1250);
  EXPECT_EQ(LayoutTable(), ExpectedTable(work.right, work.bottom));

  // Any other size the window is given, laid out on activation.
  ::SetWindowPos(hwnd_, nullptr, 10, 10, 900, 480, SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageW(hwnd_, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(LayoutTable(), ExpectedTable(900, 480));
}

TEST_F(GameWindowTest, PageTitleReplacesTheGameTitleAndStaysOffTheButtons) {
  EXPECT_EQ(form_.m_titleLabel.GetText(), L"Ostrevane");
  EXPECT_EQ(form_.m_titleLabel.m_color, COLORREF{0x0000FFFF});

  DeliverTitleChange(form_.m_view, L"奥斯特瓦内 - 第3区");
  EXPECT_EQ(form_.m_titleLabel.GetText(), L"奥斯特瓦内 - 第3区");

  // A page title far wider than the room left of the text buttons.
  ASSERT_TRUE(form_.Restore());
  std::wstring longTitle;
  for (int i = 0; i < 12; ++i) longTitle += L"Ostrevane the long realm of the north ";
  DeliverTitleChange(form_.m_view, longTitle.c_str());
  EXPECT_EQ(form_.m_titleLabel.GetText(), longTitle);
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (CKVButton* button : TextButtons()) {
    POINT centre = formtest::CentreOf(formtest::RectOf(*button));
    EXPECT_EQ(form_.ControlAt(&centre), button) << "button at " << Text(formtest::RectOf(*button));
  }
}

TEST_F(GameWindowTest, ReturnToLoginAddressClosesTheWindowWithoutQuestion) {
  ModalDriver driver(::GetCurrentThreadId(), {});
  struct Case {
    const wchar_t* url;
    bool open;
  } cases[] = {{L"http://127.0.0.1:1/game?page=2", true},
               {L"http://127.0.0.1:1/game?wd_returnLogin=1", true},
               {L"http://127.0.0.1:1/game?wd_returnlogin=0", true},
               {L"http://127.0.0.1:1/game?a=b&wd_returnlogin=1", false}};
  for (const Case& c : cases) {
    DeliverBeforeNavigate2(form_.m_view, c.url);
    PumpMessages(50);
    EXPECT_EQ(::IsWindow(hwnd_) != FALSE, c.open) << Narrow(c.url);
  }
  EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{});
}

TEST_F(GameWindowTest, ReturnToLoginFromARealNavigationOfTheControl) {
  // The control itself raises the event; the window and the view go while
  // the control is still inside it.
  ASSERT_TRUE(form_.m_view.Navigate(L"http://127.0.0.1:1/game?wd_returnlogin=1"));
  PumpMessages(8000, [&] { return !::IsWindow(hwnd_); });
  EXPECT_FALSE(::IsWindow(hwnd_));
  PumpMessages(500);  // whatever the control still has queued runs without its window
}

TEST_F(GameWindowTest, TextButtonsAndOutsideLinksOpenInTheBrowser) {
  const std::wstring log = ModuleFolder() + L"game_window_browser.txt";
  InstallRecorderBrowser(log);
  const std::string site = "http://" + Narrow(QB_OPERATOR_WEB_HOST);
  struct Case {
    const char* what;
    std::function<void()> act;
    std::string page;
  };
  auto clickOn = [&](CKVButton& b) {
    return [&] { formtest::Click(hwnd_, formtest::CentreOf(formtest::RectOf(b))); };
  };
  const Case cases[] = {
      {"recharge", clickOn(form_.m_rechargeButton), site + "/paym.html"},
      {"official", clickOn(form_.m_officialButton), site + "/kelmi"},
      {"forum", clickOn(form_.m_forumButton), site + "/kelmi"},
      {"service", clickOn(form_.m_serviceButton), site + "/customer.html"},
      {"download link in the page",
       [&] { DeliverBeforeNavigate2(form_.m_view, L"http://127.0.0.1:1/files/patch.exe"); },
       "http://127.0.0.1:1/files/patch.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ::DeleteFileW(log.c_str());
    ModalDriver driver(::GetCurrentThreadId(), {});
    c.act();
    // The control may ask for the page on a later message.
    PumpMessages(10000, [&] { return !ReadFileBytes(log).empty(); });
    const auto records = RecorderRecords(log, 1000);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].back(), c.page);
    EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{});
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
  }
  ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", nullptr);
}

TEST_F(GameWindowTest, SettingsMenuCommandsAndTheAutoStartCheckMark) {
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Ostrevane");
  const RECT settings = formtest::RectOf(form_.m_settingsButton);
  POINT at{settings.left, settings.bottom};
  ::ClientToScreen(hwnd_, &at);
  const std::wstring where = L" at (" + std::to_wstring(at.x) + L"," + std::to_wstring(at.y) + L")";
  const std::wstring unchecked = L"menu 刷新|清理缓存|开机启动" + where;
  const std::wstring checked = L"menu 刷新|清理缓存|开机启动✓" + where;
  const std::wstring cleared = L"box 提示: 缓存清理完毕！ [ok] default ok";

  struct Case {
    const char* name;
    UINT command;
    std::vector<ModalDriver::Step> steps;
    bool result;
    std::vector<std::wstring> seen;
    bool registeredAfter;
  } cases[] = {
      {"dismissed", 0, {ModalDriver::Menu(0)}, false, {unchecked}, false},
      {"register", ID_GAME_AUTORUN, {ModalDriver::Menu(ID_GAME_AUTORUN)}, true, {unchecked}, true},
      {"refresh while registered",
       ID_GAME_REFRESH,
       {ModalDriver::Menu(ID_GAME_REFRESH)},
       true,
       {checked},
       true},
      {"clear cache",
       ID_GAME_CLEAR_CACHE,
       {ModalDriver::Menu(ID_GAME_CLEAR_CACHE), ModalDriver::Box(IDOK)},
       true,
       {checked, cleared},
       true},
      {"unregister", ID_GAME_AUTORUN, {ModalDriver::Menu(ID_GAME_AUTORUN)}, true, {checked}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModalDriver driver(::GetCurrentThreadId(), c.steps);
    EXPECT_EQ(form_.ShowSettingsMenu(), c.result);
    EXPECT_EQ(driver.Finish(), c.seen);
    EXPECT_EQ(IsAutoRunRegistered(), c.registeredAfter);
  }

  // A value of that name with other data and type counts as registered.
  const DWORD other = 7;
  ASSERT_EQ(
      ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Ostrevane", REG_DWORD, &other, sizeof(other)),
      ERROR_SUCCESS);
  {
    // Through the settings button itself.
    ModalDriver driver(::GetCurrentThreadId(), {ModalDriver::Menu(ID_GAME_AUTORUN)});
    formtest::Click(hwnd_, formtest::CentreOf(settings));
    EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{checked});
  }
  EXPECT_FALSE(IsAutoRunRegistered());
}

TEST_F(GameWindowTest, TrayIconHidesTheWindowAndBringsItBack) {
  const POINT tray = formtest::CentreOf(formtest::RectOf(form_.m_trayButton));
  auto state = [&] {
    return std::string(::IsWindowVisible(hwnd_) ? "shown" : "hidden") +
           (formtest::TrayIconExists(hwnd_, 156) ? " icon" : " no icon");
  };
  auto notify = [&](UINT mouse) { ::SendMessageW(hwnd_, WM_TRAYNOTIFY, 156, mouse); };

  ASSERT_EQ(state(), "shown no icon");
  formtest::Click(hwnd_, tray);
  EXPECT_EQ(state(), "hidden icon");
  EXPECT_TRUE(form_.m_trayIconAdded);
  EXPECT_EQ(form_.m_notifyIcon.uCallbackMessage, 1228u);
  EXPECT_STREQ(form_.m_notifyIcon.szTip, L"Ostrevane");

  // What the icon's mouse messages do: left clicks show the window and take
  // the icon away, everything else but the right button leaves both alone.
  struct Case {
    UINT mouse;
    const char* after;
  } cases[] = {{WM_MOUSEMOVE, "hidden icon"},
               {WM_LBUTTONDOWN, "hidden icon"},
               {WM_RBUTTONDOWN, "hidden icon"},
               {WM_LBUTTONUP, "shown no icon"},
               {WM_LBUTTONDBLCLK, "shown no icon"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mouse);
    if (::IsWindowVisible(hwnd_)) formtest::Click(hwnd_, tray);
    ASSERT_EQ(state(), "hidden icon");
    ModalDriver driver(::GetCurrentThreadId(), {});
    notify(c.mouse);
    EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{});
    EXPECT_EQ(state(), c.after);
  }

  // The icon's menu: open; exit answered No (nothing changes); exit answered Yes.
  const std::wstring menu = L"menu 打开|退出";
  const std::wstring question = L"box 提示: 此操作将退出游戏，是否继续？ [yes,no] default no";
  auto menuLine = [&](const std::wstring& seen) { return seen.substr(0, menu.size()); };

  formtest::Click(hwnd_, tray);
  {
    ModalDriver driver(::GetCurrentThreadId(), {ModalDriver::Menu(ID_TRAY_OPEN)});
    notify(WM_RBUTTONUP);
    const std::vector<std::wstring> seen = driver.Finish();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(menuLine(seen[0]), menu);
  }
  EXPECT_EQ(state(), "shown no icon");

  formtest::Click(hwnd_, tray);
  {
    ModalDriver driver(::GetCurrentThreadId(),
                       {ModalDriver::Menu(ID_TRAY_EXIT), ModalDriver::Box(IDNO)});
    notify(WM_RBUTTONUP);
    const std::vector<std::wstring> seen = driver.Finish();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], question);
  }
  EXPECT_EQ(state(), "hidden icon");
  {
    ModalDriver driver(::GetCurrentThreadId(), {ModalDriver::Menu(0)});
    notify(WM_RBUTTONUP);
    EXPECT_EQ(driver.Finish().size(), 1u);
  }
  EXPECT_EQ(state(), "hidden icon");
  {
    ModalDriver driver(::GetCurrentThreadId(),
                       {ModalDriver::Menu(ID_TRAY_EXIT), ModalDriver::Box(IDYES)});
    notify(WM_RBUTTONUP);
    const std::vector<std::wstring> seen = driver.Finish();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], question);
  }
  EXPECT_FALSE(::IsWindow(hwnd_));
  EXPECT_FALSE(formtest::TrayIconExists(hwnd_, 156));
}

TEST_F(GameWindowTest, WithoutATrayIconTheWindowMinimisesToTheTaskbarInstead) {
  // The notification area refuses the icon: one of that id is there already.
  NOTIFYICONDATAW taken{};
  taken.cbSize = sizeof(taken);
  taken.hWnd = hwnd_;
  taken.uID = 156;
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_ADD, &taken));

  formtest::Click(hwnd_, formtest::CentreOf(formtest::RectOf(form_.m_trayButton)));
  EXPECT_FALSE(form_.m_trayIconAdded);
  EXPECT_TRUE(::IsWindowVisible(hwnd_)) << "a hidden window could never be brought back";
  EXPECT_TRUE(::IsIconic(hwnd_));
}

TEST_F(GameWindowTest, CloseButtonAsksFirstAndSystemCloseDoesNot) {
  const std::wstring question = L"box 提示: 正在游戏中，确认退出？ [yes,no] default no";
  const POINT close = formtest::CentreOf(formtest::RectOf(form_.m_closeButton));
  {
    ModalDriver driver(::GetCurrentThreadId(), {ModalDriver::Box(IDNO)});
    formtest::Click(hwnd_, close);
    EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{question});
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
  }
  {
    ModalDriver driver(::GetCurrentThreadId(), {ModalDriver::Box(IDYES)});
    EXPECT_TRUE(form_.ConfirmExit());
    EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{question});
    EXPECT_TRUE(::IsWindow(hwnd_)) << "asking closes nothing";
  }
  {
    ModalDriver driver(::GetCurrentThreadId(), {});
    ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    EXPECT_EQ(driver.Finish(), std::vector<std::wstring>{});
    EXPECT_FALSE(::IsWindow(hwnd_));
  }
}

TEST_F(GameWindowTest, CloseButtonAnsweredYesClosesTheWindow) {
  ModalDriver driver(::GetCurrentThreadId(), {ModalDriver::Box(IDYES)});
  formtest::Click(hwnd_, formtest::CentreOf(formtest::RectOf(form_.m_closeButton)));
  EXPECT_EQ(driver.Finish().size(), 1u);
  EXPECT_FALSE(::IsWindow(hwnd_));
}

TEST_F(GameWindowTest, MaximizeRestoreByButtonAndTitleBarDoubleClicks) {
  auto restoreButton = [&] { return formtest::CentreOf(formtest::RectOf(form_.m_restoreButton)); };
  std::vector<std::string> seen{MaxState()};
  formtest::Click(hwnd_, restoreButton());
  seen.push_back("click: " + MaxState());
  formtest::Click(hwnd_, restoreButton());
  seen.push_back("click: " + MaxState());
  formtest::DoubleClick(hwnd_, TitleBarPoint());
  seen.push_back("double: " + MaxState());
  formtest::DoubleClick(hwnd_, TitleBarPoint());
  seen.push_back("double: " + MaxState());
  formtest::DoubleClick(hwnd_, TitleBarPoint());
  seen.push_back("double: " + MaxState());
  formtest::Click(hwnd_, restoreButton());
  seen.push_back("click: " + MaxState());
  formtest::Click(hwnd_, restoreButton());
  seen.push_back("click: " + MaxState());
  // A double click on the icon is no title-bar double click.
  formtest::DoubleClick(hwnd_, POINT{10, 10});
  seen.push_back("double on icon: " + MaxState());

  // The maximise symbol (selected pictures) shows while the window is restored
  // by the button; double clicks leave the pictures as they are.
  const std::vector<std::string> expected = {
      "maximized work area normal",
      "click: restored 1250x700 selNormal",
      "click: maximized work area normal",
      "double: restored 1250x700 normal",
      "double: maximized work area normal",
      "double: restored 1250x700 normal",
      "click: maximized work area normal",
      "click: restored 1250x700 selNormal",
      "double on icon: restored 1250x700 selNormal",
  };
  EXPECT_EQ(seen, expected);

  const RECT r = WindowRect();
  const RECT work = WorkArea();
  EXPECT_EQ(r.left, (work.right - 1250) / 2);
  EXPECT_EQ(r.top, (work.bottom - 700) / 2);
}

TEST_F(GameWindowTest, TitleBarDragsOnlyWhileRestored) {
  struct Case {
    const char* where;
    bool maximized;
    size_t drags;
  };
  const Case cases[] = {{"background", true, 0}, {"title", true, 0}, {"background", false, 1},
                        {"title", false, 1},     {"icon", false, 0}, {"settings", false, 0},
                        {"restore", false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.where) + (c.maximized ? " maximized" : " restored"));
    if (c.maximized) {
      form_.Maximize();
    } else {
      form_.Restore();
    }
    const std::string where = c.where;
    const POINT at = where == "background" ? TitleBarPoint()
                     : where == "title"    ? POINT{45, 15}
                     : where == "icon"     ? POINT{10, 10}
                     : where == "settings"
                         ? formtest::CentreOf(formtest::RectOf(form_.m_settingsButton))
                         : formtest::CentreOf(formtest::RectOf(form_.m_restoreButton));
    formtest::FormRoute::Drags().clear();
    ::SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::SendMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(formtest::FormRoute::Drags(), std::vector<WPARAM>(c.drags, 0xF011));
    EXPECT_EQ(form_.m_maximized, c.maximized);
  }
}

// Records what the keyboard filter hands to the browser.
class FilterProbe : public CFormGame {
 public:
  std::vector<UINT> forwarded;

 protected:
  BOOL ForwardToBrowser(MSG* msg) override {
    forwarded.push_back(msg->message);
    return TRUE;
  }
};

TEST(GameWindowFilter, KeyboardAndMouseMessagesGoThroughTheBrowserFirst) {
  FilterProbe probe;
  const UINT messages[] = {WM_NULL,  WM_PAINT,     WM_TIMER,       0xFF,         WM_KEYDOWN,
                           WM_KEYUP, WM_CHAR,      WM_SYSKEYDOWN,  0x109,        0x10A,
                           0x1FF,    WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL,
                           0x20E,    0x20F,        WM_TRAYNOTIFY};
  std::vector<UINT> answered;
  for (UINT message : messages) {
    MSG msg{};
    msg.message = message;
    msg.wParam = 'A';
    if (probe.PreTranslateMessage(&msg)) answered.push_back(message);
  }
  const std::vector<UINT> expected = {WM_KEYDOWN,    WM_KEYUP,     WM_CHAR,        WM_SYSKEYDOWN,
                                      0x109,         WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONUP,
                                      WM_MOUSEWHEEL, 0x20E};
  EXPECT_EQ(probe.forwarded, expected);
  EXPECT_EQ(answered, expected);
}

}  // namespace
