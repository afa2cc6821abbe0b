// The upgrade check in this process: the decision on a version-description
// file, the message box, hiding and showing the windows (two plain windows of
// the test stand in for the login and backdrop windows), the upgrader's
// download and start, the last-upgrade record and the quit message.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/global_module.h"
#include "app/messages.h"
#include "app/paths.h"
#include "app/settings.h"
#include "net/http_downloader.h"
#include "net/upgrade.h"
#include "net_test_support.h"
#include "test_support.h"

namespace {

// What the stand-in windows saw: ("login"|"back", shown) and quit messages.
std::vector<std::pair<std::string, bool>> g_shows;
int g_quitMessages = 0;
HWND g_login = nullptr;
HWND g_back = nullptr;

LRESULT CALLBACK StandInProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW)
    g_shows.emplace_back(hwnd == g_login ? "login" : "back", wParam != 0);
  if (message == WM_QUITAPP && hwnd == g_login) ++g_quitMessages;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump(DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  do {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(10);
  } while (::GetTickCount64() < end);
}

template <typename Done>
bool PumpUntil(Done done, DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  while (!done()) {
    if (::GetTickCount64() > end) return false;
    Pump(10);
  }
  return true;
}

// Text of a window of another thread, asked with a bounded wait: that thread
// may be blocked, and the watcher must never wait on it for good.
std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 500, &copied)) {
    return L"";
  }
  return text;
}

// Finds the upgrade message box of this process, notes its text and owner, and
// presses OK, as the player would. It looks only at dialog windows and sends
// nothing to the test's own thread, which may be waiting for it to end.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher() : thread_([this] { Watch(); }) {}
  ~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  std::vector<std::wstring> Texts() {
    std::lock_guard<std::mutex> guard(lock_);
    return texts_;
  }
  std::vector<HWND> Owners() {
    std::lock_guard<std::mutex> guard(lock_);
    return owners_;
  }

 private:
  static BOOL CALLBACK Found(HWND hwnd, LPARAM self) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (pid == ::GetCurrentProcessId() && std::wstring(className) == L"#32770" &&
        ::IsWindowVisible(hwnd) && TextOf(hwnd) == L"升级提醒") {
      reinterpret_cast<MessageBoxWatcher*>(self)->found_ = hwnd;
    }
    return TRUE;
  }
  void Watch() {
    const ULONGLONG end = ::GetTickCount64() + 60000;
    while (!stop_ && ::GetTickCount64() < end) {
      found_ = nullptr;
      ::EnumWindows(&Found, reinterpret_cast<LPARAM>(this));
      if (found_ != nullptr) {
        const std::wstring text = TextOf(::GetDlgItem(found_, 0xFFFF));
        {
          std::lock_guard<std::mutex> guard(lock_);
          texts_.push_back(text);
          owners_.push_back(::GetWindow(found_, GW_OWNER));
        }
        ::PostMessageW(found_, WM_COMMAND, IDOK, 0);
        ::Sleep(300);  // let it close before looking again
      }
      ::Sleep(30);
    }
  }
  std::mutex lock_;
  std::vector<std::wstring> texts_;
  std::vector<HWND> owners_;
  HWND found_ = nullptr;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Two borderless stand-ins, shown without activation: under Wine without a
// window manager, hiding or destroying a window that was once active waits
// two seconds for the (absent) manager, so only the upgrade path pays that.
HWND StandIn(const wchar_t* name) {
  HWND hwnd = ::CreateWindowExW(WS_EX_NOACTIVATE, L"QbUpgradeStandIn", name, WS_POPUP, 0, 0, 200,
                                100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  return hwnd;
}

class UpgradeCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &StandInProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QbUpgradeStandIn";
    ::RegisterClassW(&wc);
    g_login = StandIn(L"login");
    g_back = StandIn(L"back");
    g_globalModule.loginForm.m_hwnd = g_login;
    g_globalModule.backForm.m_hwnd = g_back;
    savedCheckUrl_ = g_globalModule.versionCheckUrl;
    savedDownloadUrl_ = g_globalModule.versionDownloadUrl;
    Pump(50);
    g_shows.clear();
    g_quitMessages = 0;
    g_globalModule.latestVersion.clear();
    ::DeleteFileW(GetLastUpgradeIniPath().c_str());
  }
  void TearDown() override {
    g_globalModule.loginForm.m_hwnd = nullptr;
    g_globalModule.backForm.m_hwnd = nullptr;
    g_globalModule.versionCheckUrl = savedCheckUrl_;
    g_globalModule.versionDownloadUrl = savedDownloadUrl_;
    g_globalModule.latestVersion.clear();
    ::DestroyWindow(g_login);
    ::DestroyWindow(g_back);
    g_login = g_back = nullptr;
    ::DeleteFileW(GetLastUpgradeIniPath().c_str());
  }

 private:
  std::wstring savedCheckUrl_;
  std::wstring savedDownloadUrl_;
};

// Runs the version decision on a worker-like thread for a file with `ini`.
void DecideOn(const std::string& ini, int result = 0) {
  const std::wstring file = FreshFolder(L"decide") + L"app.ini";
  WriteFileBytes(file, ini);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    CDownloadTask task;
    task.localPath = file;
    OnUpgradeTaskDone(&g_globalModule, 0, 3, result, reinterpret_cast<INT_PTR>(&task));
    done = true;
  });
  PumpUntil([&] { return done.load(); }, 30000);
  worker.join();
}

using Shows = std::vector<std::pair<std::string, bool>>;
const Shows kHiddenThenShownAgain = {
    {"login", false}, {"back", false}, {"back", true}, {"login", true}};

TEST_F(UpgradeCheck, DecidesByVersionRangeAndLastUpgrade) {
  // The upgrader cannot be had here, so an upgrade ends with the windows back.
  g_globalModule.versionDownloadUrl = ServerUrl(L"/404");
  const struct {
    const char* current;  // null: no key
    const char* range;    // null: no key
    const wchar_t* last;  // null: no LastUpgrade.ini
    bool upgrade;
  } cases[] = {
      {"3.0.0.1", "", nullptr, true},
      {"3.0.0.1", nullptr, nullptr, true},
      {"3.0.0.0", "", nullptr, false},
      {"3.0.0.1", "", L"3.0.0.1", false},
      {"3.0.0.2", "", L"3.0.0.1", true},
      {"3.0.1", "", nullptr, false},
      {"3.0.0.1", "2000-2999,3001", nullptr, false},
      {"3.0.0.1", "2000-3000", nullptr, true},
      {"3.0.0.1", "3000", nullptr, true},
      {"3.0.0.1", "3.0.0.0", nullptr, false},
      {"3.0.0.1", "1000-2000-4000", nullptr, false},
      {"3.0.0.1", "-4000", nullptr, true},
      {"3.0.0.1", "3000-", nullptr, false},
      {"99999999999", "", nullptr, false},
      {"abc", "", nullptr, false},
      {nullptr, "", nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.current ? c.current : "(none)") + " range " +
                 (c.range ? c.range : "(none)"));
    ::DeleteFileW(GetLastUpgradeIniPath().c_str());
    if (c.last != nullptr)
      WriteIniString(L"version", L"lastUpgradeVer", c.last, GetLastUpgradeIniPath());
    std::string ini = "[version]\r\n";
    if (c.current) ini += std::string("currentversion=") + c.current + "\r\n";
    if (c.range) ini += std::string("upgraderange=") + c.range + "\r\n";
    g_shows.clear();
    MessageBoxWatcher watcher;
    DecideOn(ini);
    if (c.upgrade) PumpUntil([] { return g_shows.size() >= 4; }, 15000);
    Pump(100);
    const std::wstring current =
        c.current ? std::wstring(c.current, c.current + strlen(c.current)) : L"";
    EXPECT_EQ(g_globalModule.latestVersion, current);
    if (c.upgrade) {
      EXPECT_EQ(watcher.Texts(),
                std::vector<std::wstring>{L"检测到最新版本[" + current + L"]，确认更新！"});
      EXPECT_EQ(watcher.Owners(), std::vector<HWND>{g_login});
      EXPECT_EQ(g_shows, kHiddenThenShownAgain);
    } else {
      EXPECT_EQ(watcher.Texts(), std::vector<std::wstring>{});
      EXPECT_EQ(g_shows, Shows{});
    }
    EXPECT_EQ(g_quitMessages, 0);
    EXPECT_EQ(ReadIniString(L"version", L"lastUpgradeVer", L"", GetLastUpgradeIniPath()),
              c.last ? c.last : L"");
  }
}

TEST_F(UpgradeCheck, AFailedVersionDownloadDecidesNothing) {
  MessageBoxWatcher watcher;
  DecideOn("[version]\r\ncurrentversion=3.0.0.1\r\n", -4);
  Pump(300);
  EXPECT_EQ(watcher.Texts(), std::vector<std::wstring>{});
  EXPECT_TRUE(g_globalModule.latestVersion.empty());
  EXPECT_EQ(g_shows, Shows{});
}

TEST_F(UpgradeCheck, AnUpgraderThatCannotStartGivesTheWindowsBack) {
  // The "upgrader" served here is a text file: it downloads, but cannot start.
  g_globalModule.versionDownloadUrl = ServerUrl(L"/ok/QaBriselUpgrade.exe");
  MessageBoxWatcher watcher;
  DecideOn("[version]\r\ncurrentversion=3.0.0.1\r\n");
  EXPECT_TRUE(PumpUntil([] { return g_shows.size() >= 4; }, 15000));
  Pump(200);
  EXPECT_EQ(watcher.Texts().size(), 1u);
  EXPECT_EQ(g_shows, kHiddenThenShownAgain);
  EXPECT_EQ(g_quitMessages, 0);
  EXPECT_EQ(ReadIniString(L"version", L"lastUpgradeVer", L"", GetLastUpgradeIniPath()), L"");
  EXPECT_TRUE(IsWindowVisible(g_login));
  EXPECT_TRUE(IsWindowVisible(g_back));
}

TEST_F(UpgradeCheck, EndToEndStartsTheUpgraderRecordsAndQuitsOnce) {
  const std::wstring log = FreshFolder(L"upgrader") + L"commandline.txt";
  ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", log.c_str());
  g_globalModule.versionCheckUrl = ServerUrl(L"/ini/app.ini?cv=3.0.0.1&ur=2000-3000");
  g_globalModule.versionDownloadUrl = ServerUrl(L"/upgrader/QaBriselUpgrade.exe");
  const std::wstring versionFile = GetUpgradeFolder() + L"app.ini";
  ::DeleteFileW(versionFile.c_str());
  std::printf("client elevated: %d\n", IsProcessElevated() ? 1 : 0);
  {
    MessageBoxWatcher watcher;
    StartVersionCheck();
    const bool quit = PumpUntil([] { return g_quitMessages > 0; }, 30000);
    ASSERT_TRUE(quit);
    EXPECT_EQ(watcher.Texts(), std::vector<std::wstring>{L"检测到最新版本[3.0.0.1]，确认更新！"});
  }
  EXPECT_EQ(g_shows, (Shows{{"login", false}, {"back", false}}));
  EXPECT_EQ(ReadIniString(L"version", L"lastUpgradeVer", L"", GetLastUpgradeIniPath()), L"3.0.0.1");
  EXPECT_TRUE(FileExists(versionFile));
  // The served stand-in, byte for byte (compared whole, not printed).
  EXPECT_TRUE(ReadFileBytes(GetUpgraderPath()) ==
              ReadFileBytes(ModuleFolder() + L"qb_recorder.exe"));
  PumpUntil([&] { return ReadFileBytes(log).find("--end--") != std::string::npos; }, 10000);
  EXPECT_EQ(ReadFileBytes(log), "/S\n/KVUPGRADE\n--end--\n");

  // Once per run: the next completed login page changes nothing.
  ::DeleteFileW(versionFile.c_str());
  MessageBoxWatcher again;
  StartVersionCheck();
  Pump(1500);
  EXPECT_FALSE(FileExists(versionFile));
  EXPECT_EQ(again.Texts(), std::vector<std::wstring>{});
  EXPECT_EQ(g_quitMessages, 1);
  ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", nullptr);
}

}  // namespace
