// The real QaBrisel.exe against the demo operator site: the login page is
// requested with the usage query, and since Wine's browser has no HTML engine
// the page ends in a navigation error, which presents both windows centred and
// records the failing address. A player's clicks on the status text retry, and
// on the close button ask before the program ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/messages.h"
#include "test_support.h"

namespace {

std::wstring DemoLogPath() {
  wchar_t path[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"QB_DEMO_LOG", path, MAX_PATH);
  std::wstring text = path;
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  return text;
}

// The first line the site logged for the login page, without "REQUEST <port> ".
std::string LoginRequest(const std::wstring& log) {
  const std::string text = ReadFileBytes(log);
  const std::string marker = "REQUEST 8910 /kelmi?";
  const size_t at = text.find(marker);
  if (at == std::string::npos) return std::string();
  const size_t end = text.find('\n', at);
  return text.substr(at + 13, end == std::string::npos ? std::string::npos : end - at - 13);
}

RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

// Starts the client and waits for its error state; the login and backdrop
// windows come back through `login` and `back`.
void StartToErrorState(ChildProcess& child, HWND& login, HWND& back) {
  ASSERT_TRUE(child.Start(L"\"" + ModuleFolder() + L"QaBrisel.exe\""));
  const auto windows = WaitForWindows(child.Id(), L"QaBrisel", 2, 20000);
  ASSERT_EQ(windows.size(), 2u);
  for (HWND hwnd : windows) (::GetWindow(hwnd, GW_OWNER) != nullptr ? login : back) = hwnd;
  ASSERT_NE(login, nullptr);
  ASSERT_NE(back, nullptr);
  std::wstring errorUrl;
  for (int i = 0; i < 200 && errorUrl.rfind(L"http", 0) != 0; ++i) {
    ::Sleep(100);
    errorUrl = SettingsValue(L"Error", L"ErrorUrl");
  }
  ASSERT_EQ(errorUrl.rfind(L"http", 0), 0u) << "the error state was never reached";
  // The address is recorded just before the windows are presented.
  for (int i = 0; i < 100 && WindowRectOf(login).left == -2000; ++i) ::Sleep(100);
}

size_t CountOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// A screen point of the status text's own colour (yellow), where the
// colour-keyed login window takes clicks.
bool FindStatusTextPixel(const RECT& label, POINT& at) {
  const ScreenShot shot = CaptureScreen(label);
  for (int y = shot.height - 1; y >= 0; --y) {
    for (int x = 0; x < shot.width; ++x) {
      if (shot.pixels[static_cast<size_t>(y) * shot.width + x] == 0x00FFFF00) {
        at = POINT{label.left + x, label.top + y};
        return true;
      }
    }
  }
  return false;
}

template <typename Done>
bool WaitUntil(Done done, DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  while (!done()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(50);
  }
  return true;
}

TEST(LoginFlowTest, FirstStartRequestsTheLoginPageAndPresentsTheErrorState) {
  const std::wstring log = DemoLogPath();
  ASSERT_FALSE(log.empty()) << "QB_DEMO_LOG is set by the test run";
  ASSERT_TRUE(WriteFileBytes(log, ""));
  ::DeleteFileW(ClientSettingsPath().c_str());

  ChildProcess child;
  HWND login = nullptr, back = nullptr;
  StartToErrorState(child, login, back);
  if (::testing::Test::HasFatalFailure()) return;
  const std::wstring errorUrl = SettingsValue(L"Error", L"ErrorUrl");
  const std::string request = LoginRequest(log);
  ASSERT_FALSE(request.empty()) << ReadFileBytes(log);
  EXPECT_EQ(request.rfind("/kelmi?referer=mirtavon&frm=kelmi&version=3000&installtime=", 0), 0u)
      << request;
  EXPECT_NE(request.find("&runcount=1&curtime="), std::string::npos) << request;
  const std::string tail = "&showlogintype=3&regtimes=1";
  ASSERT_GE(request.size(), tail.size());
  EXPECT_EQ(request.substr(request.size() - tail.size()), tail) << "a first start";
  EXPECT_EQ(Narrow(errorUrl), "http://127.0.0.1:8910" + request);

  // Both windows presented, one over the other, centred on the work area.
  EXPECT_TRUE(::IsWindowVisible(login));
  EXPECT_TRUE(::IsWindowVisible(back));
  RECT work{}, loginRect{}, backRect{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::GetWindowRect(login, &loginRect);
  ::GetWindowRect(back, &backRect);
  EXPECT_EQ(loginRect.left, (work.right - 1024) / 2);
  EXPECT_EQ(loginRect.top, (work.bottom - 700) / 2);
  EXPECT_TRUE(::EqualRect(&loginRect, &backRect));
  EXPECT_NE(::GetWindowLongPtrW(back, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << "taskbar button";
  EXPECT_NE(::GetWindowLongPtrW(login, GWL_EXSTYLE) & WS_EX_LAYERED, 0);

  ASSERT_TRUE(::PostMessageW(login, WM_QUITAPP, 0, 0));
  EXPECT_EQ(child.WaitForExit(20000), 0);
}

TEST(LoginFlowTest, ClickOnTheStatusTextRetriesInPlaceAndCloseAsksFirst) {
  const std::wstring log = DemoLogPath();
  ASSERT_FALSE(log.empty()) << "QB_DEMO_LOG is set by the test run";
  ASSERT_TRUE(WriteFileBytes(log, ""));
  ChildProcess child;
  HWND login = nullptr, back = nullptr;
  StartToErrorState(child, login, back);
  if (::testing::Test::HasFatalFailure()) return;
  const RECT loginAt = WindowRectOf(login);
  const RECT backAt = WindowRectOf(back);
  const RECT label{loginAt.left + 538, loginAt.top + 376, loginAt.left + 858, loginAt.top + 402};

  ::Sleep(500);
  SavePng(CaptureScreen(loginAt), ArtifactFolder() + L"login-error.png");
  POINT text{};
  ASSERT_TRUE(WaitUntil([&] { return FindStatusTextPixel(label, text); }, 10000))
      << "no status text on the screen";
  const ScreenShot errorShot = CaptureScreen(label);

  // The site answers the retried page late, so the waiting text stays up.
  ASSERT_EQ(HttpGet(L"http://127.0.0.1:8910/_demo/hold?seconds=6"), "ok");
  ClickAt(text);
  EXPECT_TRUE(
      WaitUntil([&] { return CountOf(ReadFileBytes(log), "REQUEST 8910 /kelmi?") >= 2; }, 5000))
      << "the click asks for the login page again\n"
      << ReadFileBytes(log);
  ::Sleep(500);
  const ScreenShot waitingShot = CaptureScreen(label);
  SavePng(CaptureScreen(loginAt), ArtifactFolder() + L"login-retrying.png");
  EXPECT_FALSE(waitingShot == errorShot) << "the waiting text replaces the error text";
  POINT still{};
  EXPECT_TRUE(FindStatusTextPixel(label, still)) << "the waiting text is shown";
  EXPECT_EQ(WindowRectOf(login), loginAt);
  EXPECT_EQ(WindowRectOf(back), backAt);

  // The late page fails too: the error text is back, still in place.
  EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(label) == errorShot; }, 15000));
  EXPECT_EQ(WindowRectOf(login), loginAt);
  EXPECT_EQ(WindowRectOf(back), backAt);

  // Close: No keeps the client, Yes ends it with exit code 0.
  const POINT close{loginAt.left + 963, loginAt.top + 268};
  for (const int answer : {IDNO, IDYES}) {
    ClickAt(close);
    const HWND box = WaitForMessageBox(child.Id(), L"此操作将退出游戏，是否继续？", 10000);
    ASSERT_NE(box, nullptr) << "the close button asks first";
    if (answer == IDYES)
      SavePng(CaptureScreen(WindowRectOf(box)), ArtifactFolder() + L"login-close.png");
    ::PostMessageW(box, WM_COMMAND, answer, 0);
    if (answer == IDNO) {
      EXPECT_EQ(child.WaitForExit(1500), -1) << "No keeps the client running";
      EXPECT_TRUE(::IsWindowVisible(login));
    }
  }
  EXPECT_EQ(child.WaitForExit(20000), 0);
}

}  // namespace
