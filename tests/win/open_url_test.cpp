// OpenUrl is observed, never performed: this test prefix's web browser is the
// recorder program, which writes down the arguments it was started with.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/handles.h"
#include "app/paths.h"
#include "test_support.h"

namespace {

class OpenUrlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { PointBrowserAtRecorder(); }

  void SetUp() override {
    log_ = ModuleFolder() + L"open_url_record.txt";
    ::DeleteFileW(log_.c_str());
    ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", log_.c_str());
  }
  void TearDown() override { ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", nullptr); }

  std::vector<std::vector<std::string>> Records(DWORD ms) { return RecordedStarts(log_, ms); }

  std::wstring log_;
};

TEST_F(OpenUrlTest, WebAddressesReachTheBrowserAsOneArgument) {
  struct Case {
    const wchar_t* url;
    const char* expected;
  };
  const Case cases[] = {
      {L"http://127.0.0.1/pay?user=a&server=2", "http://127.0.0.1/pay?user=a&server=2"},
      {L"https://127.0.0.1/a page with spaces", "https://127.0.0.1/a page with spaces"},
      {L"http://127.0.0.1/q?x=\"quoted\" -new", "http://127.0.0.1/q?x=\"quoted\" -new"},
      {L"HTTP://127.0.0.1/trailing\\", "HTTP://127.0.0.1/trailing\\"},
      {L"mailto:support@ostrevane.example", "mailto:support@ostrevane.example"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.url));
    ::DeleteFileW(log_.c_str());
    OpenUrl(c.url);
    const auto records = Records(10000);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], std::vector<std::string>{c.expected});
  }
}

TEST_F(OpenUrlTest, OtherAddressesStartNothing) {
  const wchar_t* refused[] = {
      L"file:///C:/windows/system32/notepad.exe",
      L"C:\\windows\\system32\\notepad.exe",
      L"\\\\server\\share\\setup.exe",
      L"notepad.exe",
      L"javascript:alert(1)",
      L"ftp://127.0.0.1/file",
      L"about:blank",
      L"",
      L"http://",
      L"http://127.0.0.1/\r\nnext",
      L" http://127.0.0.1/",
  };
  for (const wchar_t* url : refused) {
    SCOPED_TRACE(Narrow(url));
    OpenUrl(url);
  }
  EXPECT_TRUE(Records(1500).empty());
}

}  // namespace
