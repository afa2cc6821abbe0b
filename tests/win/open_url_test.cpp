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

void SetRegText(HKEY root, const std::wstring& path, const wchar_t* name,
                const std::wstring& value) {
  ScopedRegKey key;
  ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.Receive(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(
      ::RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
      ERROR_SUCCESS);
}

class OpenUrlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::wstring recorder = ModuleFolder() + L"qb_recorder.exe";
    // Every way this prefix could start a browser leads to the recorder.
    wchar_t windowsDir[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windowsDir, MAX_PATH);
    wchar_t programFiles[MAX_PATH] = {};
    ::ExpandEnvironmentStringsW(L"%ProgramFiles%", programFiles, MAX_PATH);
    for (const std::wstring& browser :
         {std::wstring(windowsDir) + L"\\system32\\iexplore.exe",
          std::wstring(programFiles) + L"\\Internet Explorer\\iexplore.exe"}) {
      ::CopyFileW(recorder.c_str(), browser.c_str(), FALSE);
    }
    // Wine would otherwise load its own browser in place of the file.
    SetRegText(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"iexplore.exe", L"native");
    SetRegText(HKEY_LOCAL_MACHINE,
               L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe", nullptr,
               recorder);
    for (const wchar_t* scheme : {L"http", L"https", L"mailto", L"file"}) {
      SetRegText(HKEY_CURRENT_USER,
                 std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command", nullptr,
                 L"\"" + recorder + L"\" --handler \"%1\"");
    }
  }

  void SetUp() override {
    log_ = ModuleFolder() + L"open_url_record.txt";
    ::DeleteFileW(log_.c_str());
    ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", log_.c_str());
  }
  void TearDown() override { ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", nullptr); }

  // The records written within `ms`; each record is the list of arguments.
  std::vector<std::vector<std::string>> Records(DWORD ms) {
    const ULONGLONG deadline = ::GetTickCount64() + ms;
    std::string text;
    do {
      text = ReadFileBytes(log_);
      if (!text.empty()) break;
      ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    ::Sleep(200);  // a second start would land by now
    text = ReadFileBytes(log_);
    std::vector<std::vector<std::string>> records(1);
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t end = text.find('\n', pos);
      const std::string line = text.substr(pos, end - pos);
      pos = end == std::string::npos ? text.size() : end + 1;
      if (line == "--end--") {
        records.emplace_back();
      } else {
        records.back().push_back(line);
      }
    }
    records.pop_back();
    return records;
  }

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
