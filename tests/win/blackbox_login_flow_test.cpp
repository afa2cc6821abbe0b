// The real QaBrisel.exe against the demo operator site: the login page is
// requested with the usage query, and since Wine's browser has no HTML engine
// the page ends in a navigation error, which presents both windows centred and
// records the failing address.
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

TEST(LoginFlowTest, FirstStartRequestsTheLoginPageAndPresentsTheErrorState) {
  const std::wstring log = DemoLogPath();
  ASSERT_FALSE(log.empty()) << "QB_DEMO_LOG is set by the test run";
  ASSERT_TRUE(WriteFileBytes(log, ""));
  ::DeleteFileW(ClientSettingsPath().c_str());

  ChildProcess child;
  ASSERT_TRUE(child.Start(L"\"" + ModuleFolder() + L"QaBrisel.exe\""));
  const auto windows = WaitForWindows(child.Id(), L"QaBrisel", 2, 20000);
  ASSERT_EQ(windows.size(), 2u);
  HWND login = nullptr, back = nullptr;
  for (HWND hwnd : windows) (::GetWindow(hwnd, GW_OWNER) != nullptr ? login : back) = hwnd;
  ASSERT_NE(login, nullptr);
  ASSERT_NE(back, nullptr);

  // The error state records the failing address; wait for it.
  std::wstring errorUrl;
  for (int i = 0; i < 200 && errorUrl.rfind(L"http", 0) != 0; ++i) {
    ::Sleep(100);
    errorUrl = SettingsValue(L"Error", L"ErrorUrl");
  }
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

}  // namespace
