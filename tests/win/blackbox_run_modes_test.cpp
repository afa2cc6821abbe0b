// The real QaBrisel.exe in its run modes: what it writes to the settings file
// in the prefix's AppData, which windows it makes, how it ends, its exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "app/messages.h"
#include "test_support.h"

namespace {

constexpr DWORD kStartMs = 20000;  // Wine's first process start can be slow
constexpr DWORD kExitMs = 20000;

enum class Ends { ByItself, OnQuitApp };

class RunModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::DeleteFileW(ClientSettingsPath().c_str());
    client_ = ModuleFolder() + L"QaBrisel.exe";
    ASSERT_TRUE(FileExists(client_));
  }

  void PrepareSettings(const std::string& ini) {
    ::CreateDirectoryW((AppDataFolder() + L"\\Jorva游戏").c_str(), nullptr);
    ::CreateDirectoryW(ClientDataFolder().c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(ClientSettingsPath(), ini));
  }

  bool Start(ChildProcess& child, const std::wstring& arguments) {
    return child.Start(L"\"" + client_ + L"\" " + arguments);
  }

  // The login window: the only window of a follow-up mode, or in a normal run
  // the one owned by the backdrop.
  static HWND LoginWindowOf(const ChildProcess& child, size_t expectedWindows) {
    const auto windows = WaitForWindows(child.Id(), L"QaBrisel", expectedWindows, kStartMs);
    if (windows.size() != expectedWindows) return nullptr;
    for (HWND hwnd : windows) {
      if (expectedWindows == 1 || ::GetWindow(hwnd, GW_OWNER) != nullptr) return hwnd;
    }
    return nullptr;
  }

  std::wstring client_;
};

bool LooksLikeLocalTime(const std::wstring& text) {
  // "%Y-%m-%d %H:%M:%S"
  if (text.size() != 19) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t expected = i == 4 || i == 7     ? L'-'
                             : i == 10            ? L' '
                             : i == 13 || i == 16 ? L':'
                                                  : 0;
    if (expected != 0 ? text[i] != expected : !std::iswdigit(text[i])) return false;
  }
  return true;
}

struct CountingCase {
  const wchar_t* arguments;
  const char* storedRunCount;  // null: no RunCount line
  const wchar_t* expectedRunCount;
  size_t windows;
  Ends ends;
};

TEST_F(RunModesTest, EveryModeRecordsInstallTimeCountsByItsRuleAndExitsWithZero) {
  const CountingCase cases[] = {
      {L"/setupsucc", nullptr, L"<absent>", 1, Ends::OnQuitApp},
      {L"/setupsucc", "7", L"7", 1, Ends::OnQuitApp},
      {L"/ShowDeskTop", nullptr, L"<absent>", 0, Ends::ByItself},
      {L"/ShowDeskTop", "4", L"4", 0, Ends::ByItself},
      {L"/uninstallsucc", nullptr, L"1", 1, Ends::OnQuitApp},
      {L"/uninstallsucc", "abc", L"1", 1, Ends::OnQuitApp},
      {L"/autorun", "4", L"5", 2, Ends::OnQuitApp},
      {L"/autorun", nullptr, L"1", 2, Ends::OnQuitApp},
      {L"", "-1", L"1", 2, Ends::OnQuitApp},
      {L"", "41", L"42", 2, Ends::OnQuitApp},
  };
  for (const CountingCase& c : cases) {
    SCOPED_TRACE(Narrow(c.arguments) +
                 " RunCount=" + (c.storedRunCount ? c.storedRunCount : "absent"));
    ::DeleteFileW(ClientSettingsPath().c_str());
    if (c.storedRunCount != nullptr) {
      PrepareSettings(std::string("[Common]\r\nRunCount=") + c.storedRunCount + "\r\n");
    }
    ChildProcess child;
    ASSERT_TRUE(Start(child, c.arguments));
    if (c.ends == Ends::OnQuitApp) {
      const HWND login = LoginWindowOf(child, c.windows);
      ASSERT_NE(login, nullptr);
      EXPECT_EQ(child.WaitForExit(300), -1) << "the mode waits to be told to quit";
      ASSERT_TRUE(::PostMessageW(login, WM_QUITAPP, 0, 0));
    }
    EXPECT_EQ(child.WaitForExit(kExitMs), 0);
    EXPECT_TRUE(LooksLikeLocalTime(SettingsValue(L"Install", L"InstallTime")))
        << Narrow(SettingsValue(L"Install", L"InstallTime"));
    EXPECT_EQ(SettingsValue(L"Common", L"RunCount"), c.expectedRunCount);
  }
}

TEST_F(RunModesTest, InstallTimeOnceWrittenIsKept) {
  PrepareSettings("[Install]\r\nInstallTime=2017-03-05 08:00:00\r\n");
  ChildProcess child;
  ASSERT_TRUE(Start(child, L"/ShowDeskTop"));
  EXPECT_EQ(child.WaitForExit(kExitMs), 0);
  EXPECT_EQ(SettingsValue(L"Install", L"InstallTime"), L"2017-03-05 08:00:00");
}

TEST_F(RunModesTest, FollowUpModesKeepOneHiddenToolWindowOfTheClientClass) {
  for (const wchar_t* arguments : {L"/setupsucc", L"/uninstallsucc", L"/ShowDeskTop /setupsucc"}) {
    SCOPED_TRACE(Narrow(arguments));
    ChildProcess child;
    ASSERT_TRUE(Start(child, arguments));
    const HWND hwnd = LoginWindowOf(child, 1);
    ASSERT_NE(hwnd, nullptr);
    ::Sleep(300);
    EXPECT_EQ(WindowsOf(child.Id(), L"QaBrisel").size(), 1u);
    EXPECT_FALSE(::IsWindowVisible(hwnd));
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    EXPECT_EQ(style & WS_POPUP, 0);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX), WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(exStyle & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
    wchar_t title[100] = {};
    ::GetWindowTextW(hwnd, title, 100);
    EXPECT_STREQ(title, L"Ostrevane");
    ASSERT_TRUE(::PostMessageW(hwnd, WM_CLOSE, 0, 0));
    EXPECT_EQ(child.WaitForExit(kExitMs), 0) << "closing the window from outside ends it too";
  }
}

TEST_F(RunModesTest, SwitchesMatchAnywhereButOnlyWithTheirExactCase) {
  {
    SCOPED_TRACE("inside another argument");
    ChildProcess child;
    ASSERT_TRUE(Start(child, L"--profile=C:\\games/ShowDeskTop\\x"));
    EXPECT_EQ(child.WaitForExit(kExitMs), 0);
  }
  {
    SCOPED_TRACE("other capitalisation starts normally");
    ChildProcess child;
    ASSERT_TRUE(Start(child, L"/showdesktop"));
    const HWND login = LoginWindowOf(child, 2);
    ASSERT_NE(login, nullptr);
    ASSERT_TRUE(::PostMessageW(login, WM_QUITAPP, 0, 0));
    EXPECT_EQ(child.WaitForExit(kExitMs), 0);
  }
}

// The message box the client shows for WM_CONFIRMEXIT, once it is up.
HWND WaitForConfirmBox(DWORD processId) {
  const auto boxes = WaitForWindows(processId, L"#32770", 1, kStartMs);
  return boxes.empty() ? nullptr : boxes.front();
}

std::vector<std::wstring> ChildTexts(HWND parent) {
  std::vector<std::wstring> texts;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[256] = {};
    ::GetWindowTextW(child, text, 256);
    texts.emplace_back(text);
  }
  return texts;
}

// Answers the box as a click on the button would, then waits for it to go.
void Answer(HWND box, int button) {
  const HWND item = ::GetDlgItem(box, button);
  ASSERT_NE(item, nullptr);
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                        reinterpret_cast<LPARAM>(item), SMTO_ABORTIFHUNG, 5000, &result);
  for (int i = 0; i < 100 && ::IsWindow(box); ++i) ::Sleep(50);
}

TEST_F(RunModesTest, ConfirmExitAsksAndEndsOnlyOnYes) {
  ChildProcess child;
  ASSERT_TRUE(Start(child, L"/setupsucc"));
  const HWND login = LoginWindowOf(child, 1);
  ASSERT_NE(login, nullptr);

  ASSERT_TRUE(::PostMessageW(login, WM_CONFIRMEXIT, 0, 0));
  HWND box = WaitForConfirmBox(child.Id());
  ASSERT_NE(box, nullptr);
  wchar_t caption[64] = {};
  ::GetWindowTextW(box, caption, 64);
  EXPECT_STREQ(caption, L"提示");
  const auto texts = ChildTexts(box);
  EXPECT_NE(std::find(texts.begin(), texts.end(), L"此操作将退出游戏，是否继续？"), texts.end());
  // The box marks its default button as it takes the focus, just after it shows.
  const auto noIsDefault = [box] {
    return (::GetWindowLongPtrW(::GetDlgItem(box, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
  };
  for (int i = 0; i < 40 && !noIsDefault(); ++i) ::Sleep(50);
  EXPECT_TRUE(noIsDefault()) << "No is the default button";
  Answer(box, IDNO);
  EXPECT_EQ(child.WaitForExit(1000), -1) << "No keeps the client running";
  EXPECT_FALSE(::IsWindow(box)) << "the box is gone after the answer";

  ASSERT_TRUE(::PostMessageW(login, WM_CONFIRMEXIT, 0, 0));
  box = WaitForConfirmBox(child.Id());
  ASSERT_NE(box, nullptr);
  Answer(box, IDYES);
  EXPECT_EQ(child.WaitForExit(kExitMs), 0);
}

}  // namespace
