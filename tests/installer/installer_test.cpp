// The real installer (OstrevaneSetup.exe, built beside this program) in the
// test prefix: silent install, install over running clients, the upgrade
// switch as the client passes it, a client that will not quit, uninstall, and
// the installer's own integrity check. Every test starts with nothing installed
// and no client running.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/autorun.h"
#include "app/com_ptr.h"
#include "app/messages.h"
#include "app/paths.h"
#if __has_include("net/upgrade.h")
#include "app/global_module.h"
#include "net/http_downloader.h"
#include "net/upgrade.h"
#endif
#include "test_support.h"

namespace {

constexpr DWORD kSetupMs = 120000;  // the installer's own bounds are 20 s each
constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 20000;
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrevane";
constexpr char kOldBuildMarker[] = "-- an older build --";

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring InstallDir() { return KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Ostrevane"; }
std::wstring InstalledClient() { return InstallDir() + L"\\QaBrisel.exe"; }
std::wstring InstalledUninstaller() { return InstallDir() + L"\\uninst.exe"; }
std::wstring BuiltClient() { return ModuleFolder() + L"QaBrisel.exe"; }
std::wstring Installer() { return ModuleFolder() + L"OstrevaneSetup.exe"; }

struct Shortcut {
  std::wstring link;
  std::wstring target;
};

std::vector<Shortcut> ExpectedShortcuts() {
  const std::wstring programs = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Ostrevane\\";
  return {{programs + L"Ostrevane.lnk", InstalledClient()},
          {programs + L"卸载 Ostrevane.lnk", InstalledUninstaller()},
          {KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Ostrevane.lnk", InstalledClient()}};
}

std::wstring ShortcutTarget(const std::wstring& link) {
  ScopedComInit com;
  ComPtr<IShellLinkW> shellLink;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.ReceiveVoid()))) {
    return L"";
  }
  ComPtr<IPersistFile> file;
  if (FAILED(shellLink.As(&file)) || FAILED(file->Load(link.c_str(), STGM_READ))) return L"";
  wchar_t target[MAX_PATH] = {};
  if (FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return L"";
  return target;
}

bool UninstallEntryExists() {
  ScopedRegKey key;
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, key.Receive()) ==
         ERROR_SUCCESS;
}

std::wstring UninstallText(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value);
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
    return L"<absent>";
  }
  return value;
}

long UninstallNumber(const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS) {
    return -1;
  }
  return static_cast<long>(value);
}

// Every top-level window of the client's class, whoever owns it.
std::vector<HWND> ClientWindows() {
  std::vector<HWND> windows;
  for (HWND hwnd = ::FindWindowExW(nullptr, nullptr, L"QaBrisel", nullptr); hwnd != nullptr;
       hwnd = ::FindWindowExW(nullptr, hwnd, L"QaBrisel", nullptr)) {
    windows.push_back(hwnd);
  }
  return windows;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(hwnd, &id);
  return id;
}

std::wstring ImageOf(DWORD processId) {
  ScopedHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (!process || !::QueryFullProcessImageNameW(process.Get(), 0, path, &size)) return L"";
  return path;
}

// Ends clients that the installer started (no test owns them): asked first,
// killed when they do not go.
void EndAllClients() {
  for (int round = 0; round < 3; ++round) {
    const auto windows = ClientWindows();
    if (windows.empty()) return;
    for (HWND hwnd : windows) {
      ScopedHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, ProcessOf(hwnd)));
      ::PostMessageW(hwnd, WM_QUITAPP, 0, 0);
      if (process && ::WaitForSingleObject(process.Get(), kExitMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 99);
        ::WaitForSingleObject(process.Get(), 5000);
      }
    }
  }
}

// The client the upgrade starts: a normal start (backdrop and login) of the
// installed program, in a process other than `oldProcess`.
void ExpectNewClientStartedNormally(DWORD oldProcess) {
  std::vector<HWND> windows;
  const ULONGLONG deadline = ::GetTickCount64() + kStartMs;
  while ((windows = ClientWindows()).size() < 2 && ::GetTickCount64() < deadline) ::Sleep(100);
  ASSERT_EQ(windows.size(), 2u);
  const DWORD fresh = ProcessOf(windows[0]);
  EXPECT_EQ(ProcessOf(windows[1]), fresh);
  EXPECT_NE(fresh, oldProcess);
  EXPECT_EQ(::lstrcmpiW(ImageOf(fresh).c_str(), InstalledClient().c_str()), 0)
      << Narrow(ImageOf(fresh));
}

long RunToEnd(const std::wstring& commandLine, DWORD ms = kSetupMs) {
  ChildProcess child;
  if (!child.Start(commandLine)) return -2;
  return child.WaitForExit(ms);
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

// Runs a copy of the uninstaller in place of the installed one, as the
// uninstaller does itself, so that its exit code is the uninstall's.
long UninstallFromCopy() {
  const std::wstring copy = TempPath(L"qb-uninst.exe");
  if (!::CopyFileW(InstalledUninstaller().c_str(), copy.c_str(), FALSE)) return -2;
  const long code = RunToEnd(L"\"" + copy + L"\" /S _?=" + InstallDir());
  ::DeleteFileW(copy.c_str());
  return code;
}

bool WaitUntil(DWORD ms, bool (*done)()) {
  const ULONGLONG deadline = ::GetTickCount64() + ms;
  while (!done()) {
    if (::GetTickCount64() > deadline) return false;
    ::Sleep(100);
  }
  return true;
}

// A process started exactly as the client starts its upgrader when it runs
// elevated: application name, then " /S /KVUPGRADE" as the whole command line,
// hidden, in a new process group. Killed at the end of the scope if still there.
class UpgraderProcess {
 public:
  explicit UpgraderProcess(const std::wstring& path) {
    wchar_t commandLine[64] = L" /S /KVUPGRADE";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(path.c_str(), commandLine, nullptr, nullptr, FALSE,
                         CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                         &startup, &info)) {
      ScopedHandle thread(info.hThread);
      process_.Reset(info.hProcess);
    }
  }
  ~UpgraderProcess() {
    if (process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.Get(), 99);
    }
  }
  UpgraderProcess(const UpgraderProcess&) = delete;
  UpgraderProcess& operator=(const UpgraderProcess&) = delete;

  bool Started() const { return static_cast<bool>(process_); }
  long WaitForExit(DWORD ms) {
    DWORD code = 0;
    if (::WaitForSingleObject(process_.Get(), ms) != WAIT_OBJECT_0) return -1;
    ::GetExitCodeProcess(process_.Get(), &code);
    return static_cast<long>(code);
  }

 private:
  ScopedHandle process_;
};

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(Installer())) << Narrow(Installer());
    EndAllClients();
    if (UninstallEntryExists() && FileExists(InstalledUninstaller())) UninstallFromCopy();
    ASSERT_FALSE(UninstallEntryExists());
    ::DeleteFileW(ClientSettingsPath().c_str());
  }

  void TearDown() override {
    EndAllClients();
    if (UninstallEntryExists() && FileExists(InstalledUninstaller())) UninstallFromCopy();
  }

  static void Install() { ASSERT_EQ(RunToEnd(L"\"" + Installer() + L"\" /S"), 0); }

  // Makes the installed program recognisably older than the built one; the
  // marker goes after the image, where the loader does not look.
  static void MarkInstalledClientOld() {
    ASSERT_TRUE(WriteFileBytes(InstalledClient(), ReadFileBytes(BuiltClient()) + kOldBuildMarker));
  }

  static bool InstalledClientIsOld() {
    const std::string bytes = ReadFileBytes(InstalledClient());
    return bytes.size() > sizeof(kOldBuildMarker) &&
           bytes.compare(bytes.size() - (sizeof(kOldBuildMarker) - 1), std::string::npos,
                         kOldBuildMarker) == 0;
  }

  static bool InstalledClientIsTheBuiltOne() {
    const std::string built = ReadFileBytes(BuiltClient());
    return !built.empty() && ReadFileBytes(InstalledClient()) == built;
  }

  static bool StartInstalledClient(ChildProcess& client, const wchar_t* arguments, size_t windows) {
    if (!client.Start(L"\"" + InstalledClient() + L"\" " + arguments)) return false;
    return WaitForWindows(client.Id(), L"QaBrisel", windows, kStartMs).size() == windows;
  }
};

TEST_F(InstallerTest, SilentInstallPutsProgramShortcutsAndEntryInPlaceAndRecordsTheInstall) {
  ASSERT_EQ(RunToEnd(L"\"" + Installer() + L"\" /S"), 0);

  EXPECT_TRUE(InstalledClientIsTheBuiltOne());
  EXPECT_TRUE(FileExists(InstalledUninstaller()));
  for (const Shortcut& shortcut : ExpectedShortcuts()) {
    SCOPED_TRACE(Narrow(shortcut.link));
    EXPECT_TRUE(FileExists(shortcut.link));
    EXPECT_EQ(ShortcutTarget(shortcut.link), shortcut.target);
  }

  EXPECT_EQ(UninstallText(L"DisplayName"), L"Ostrevane");
  EXPECT_EQ(UninstallText(L"DisplayVersion"), L"3.0.0.0");
  EXPECT_EQ(UninstallText(L"Publisher"), L"Ostrevane");
  EXPECT_EQ(UninstallText(L"DisplayIcon"), InstalledClient() + L",0");
  EXPECT_EQ(UninstallText(L"InstallLocation"), InstallDir());
  EXPECT_EQ(UninstallText(L"UninstallString"), L"\"" + InstalledUninstaller() + L"\"");
  EXPECT_EQ(UninstallText(L"QuietUninstallString"), L"\"" + InstalledUninstaller() + L"\" /S");
  EXPECT_EQ(UninstallNumber(L"NoModify"), 1);
  EXPECT_GT(UninstallNumber(L"EstimatedSize"), 0);

  // The "/setupsucc" start: first-start time recorded, start not counted, and
  // the follow-up client told to quit rather than left hidden and running.
  EXPECT_NE(SettingsValue(L"Install", L"InstallTime"), L"<absent>");
  EXPECT_EQ(SettingsValue(L"Common", L"RunCount"), L"<absent>");
  EXPECT_TRUE(ClientWindows().empty());
}

TEST_F(InstallerTest, InstallOverRunningClientsAsksThemToQuitBeforeReplacingTheProgram) {
  struct Case {
    const wchar_t* arguments;
    size_t windows;  // a normal start has backdrop and login; a follow-up one hidden window
  };
  const Case cases[] = {{L"", 2}, {L"/setupsucc", 1}};
  Install();
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.arguments));
    MarkInstalledClientOld();
    ChildProcess first;
    ChildProcess second;
    ASSERT_TRUE(StartInstalledClient(first, c.arguments, c.windows));
    ASSERT_TRUE(StartInstalledClient(second, L"/setupsucc", 1));

    // The running program cannot be replaced, so a finished install means
    // both ended first; exit code 0 means by WM_QUITAPP, not killed.
    EXPECT_EQ(RunToEnd(L"\"" + Installer() + L"\" /S"), 0);
    EXPECT_EQ(first.WaitForExit(0), 0);
    EXPECT_EQ(second.WaitForExit(0), 0);
    EXPECT_FALSE(InstalledClientIsOld());
    EXPECT_TRUE(InstalledClientIsTheBuiltOne());
  }
}

TEST_F(InstallerTest, UpgradeSwitchFromTheUpgraderPathClosesTheClientInstallsAndStartsItNormally) {
  Install();
  MarkInstalledClientOld();
  ::WritePrivateProfileStringW(L"Install", L"InstallTime", L"2017-03-05 08:00:00",
                               ClientSettingsPath().c_str());
  ChildProcess old;
  ASSERT_TRUE(StartInstalledClient(old, L"", 2));

  const std::wstring upgrader = GetUpgraderPath();
  ASSERT_TRUE(::CopyFileW(Installer().c_str(), upgrader.c_str(), FALSE));
  UpgraderProcess upgrade(upgrader);
  ASSERT_TRUE(upgrade.Started());
  EXPECT_EQ(upgrade.WaitForExit(kSetupMs), 0);
  EXPECT_EQ(old.WaitForExit(0), 0) << "the old client ends through WM_QUITAPP";
  EXPECT_TRUE(InstalledClientIsTheBuiltOne());

  ExpectNewClientStartedNormally(old.Id());
  EXPECT_EQ(SettingsValue(L"Install", L"InstallTime"), L"2017-03-05 08:00:00");
  EXPECT_EQ(SettingsValue(L"Common", L"RunCount"), L"2") << "two normal starts, no other";
}

TEST_F(InstallerTest, ClientThatDoesNotQuitStopsInstallAndUninstallWithExitCode3) {
  Install();
  MarkInstalledClientOld();
  ChildProcess stuck;
  ASSERT_TRUE(stuck.Start(L"\"" + ModuleFolder() + L"qb_stuck_client.exe\""));
  ASSERT_EQ(WaitForWindows(stuck.Id(), L"QaBrisel", 1, kStartMs).size(), 1u);

  EXPECT_EQ(RunToEnd(L"\"" + Installer() + L"\" /S"), 3);
  EXPECT_TRUE(InstalledClientIsOld()) << "nothing replaced";

  EXPECT_EQ(UninstallFromCopy(), 3);
  EXPECT_TRUE(InstalledClientIsOld()) << "nothing removed";
  EXPECT_TRUE(FileExists(InstalledUninstaller()));
  EXPECT_TRUE(UninstallEntryExists());
  EXPECT_TRUE(stuck.IsRunning());
}

bool InstallFolderGone() { return !FileExists(InstallDir()) && !UninstallEntryExists(); }

TEST_F(InstallerTest, SilentUninstallLeavesNothingButThePlayersSettings) {
  enum class Way { CopyWithExitCode, AsRegistered };
  for (Way way : {Way::CopyWithExitCode, Way::AsRegistered}) {
    SCOPED_TRACE(way == Way::CopyWithExitCode ? "copy with _?=" : "QuietUninstallString");
    ::DeleteFileW(ClientSettingsPath().c_str());
    Install();
    ASSERT_TRUE(SetAutoRun(true));
    ChildProcess client;
    ASSERT_TRUE(StartInstalledClient(client, L"", 2));

    if (way == Way::CopyWithExitCode) {
      EXPECT_EQ(UninstallFromCopy(), 0);
    } else {
      // Windows runs this; the uninstaller hands over to a copy of itself at once.
      EXPECT_EQ(RunToEnd(UninstallText(L"QuietUninstallString")), 0);
      EXPECT_TRUE(WaitUntil(kSetupMs, InstallFolderGone));
    }
    EXPECT_EQ(client.WaitForExit(0), 0) << "the running client ends through WM_QUITAPP";

    EXPECT_FALSE(FileExists(InstallDir()));
    EXPECT_FALSE(UninstallEntryExists());
    for (const Shortcut& shortcut : ExpectedShortcuts()) {
      EXPECT_FALSE(FileExists(shortcut.link)) << Narrow(shortcut.link);
    }
    EXPECT_FALSE(FileExists(KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Ostrevane"));
    EXPECT_FALSE(IsAutoRunRegistered());
    EXPECT_TRUE(ClientWindows().empty());

    // Kept: the settings, with the client's normal start and its
    // "/uninstallsucc" follow-up both counted.
    EXPECT_TRUE(FileExists(ClientSettingsPath()));
    EXPECT_EQ(SettingsValue(L"Common", L"RunCount"), L"2");
  }
}

TEST_F(InstallerTest, DamagedInstallerFailsItsIntegrityCheckAndInstallsNothing) {
  std::string bytes = ReadFileBytes(Installer());
  ASSERT_GT(bytes.size(), 100000u);
  bytes[bytes.size() - 4096] ^= 0x5A;  // inside the compressed data
  const std::wstring damaged = TempPath(L"qb-damaged-setup.exe");
  ASSERT_TRUE(WriteFileBytes(damaged, bytes));
  EXPECT_EQ(RunToEnd(L"\"" + damaged + L"\" /S"), 2);
  EXPECT_FALSE(UninstallEntryExists());
  EXPECT_FALSE(FileExists(InstallDir()));
  ::DeleteFileW(damaged.c_str());
}

#if __has_include("net/upgrade.h")

// Message boxes of this process, and the texts in one.
std::vector<HWND> OwnMessageBoxes() { return WindowsOf(::GetCurrentProcessId(), L"#32770"); }

std::wstring BoxText(HWND box) {
  std::wstring texts;
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[256] = {};
    ::GetWindowTextW(child, text, 256);
    texts += text;
    texts += L"\n";
  }
  return texts;
}

DWORD WINAPI DecideAgain(void* task) {
  OnUpgradeTaskDone(&g_globalModule, 0, 3, 0, reinterpret_cast<INT_PTR>(task));
  return 0;
}

// The client's own upgrade code, in this process because Wine never completes
// the login page that starts it, against a release site that publishes 3.0.0.1
// with the real installer. This process owns no window of the client's class,
// so the installer leaves it alone.
TEST_F(InstallerTest, UpgradeLoopFromThePublishedVersionFileToTheNewClient) {
  const char* site = std::getenv("QB_RELEASE_SITE");
  if (site == nullptr) GTEST_SKIP() << "QB_RELEASE_SITE names no release site";
  Install();
  MarkInstalledClientOld();
  ::DeleteFileW(GetLastUpgradeIniPath().c_str());
  ::DeleteFileW(GetUpgraderPath().c_str());
  ChildProcess old;
  ASSERT_TRUE(StartInstalledClient(old, L"", 2));

  const std::wstring base =
      L"http://" + std::wstring(site, site + std::strlen(site)) + L"/Jorva/kelmi/official/";
  g_globalModule.versionCheckUrl = base + L"app.ini";
  g_globalModule.versionDownloadUrl = base + L"Jorvakelmi.exe";
  ASSERT_NE(g_globalModule.downloader, nullptr);
  StartVersionCheck();

  const auto boxes = WaitForWindows(::GetCurrentProcessId(), L"#32770", 1, kStartMs);
  ASSERT_EQ(boxes.size(), 1u) << "the upgrade is offered";
  wchar_t caption[64] = {};
  ::GetWindowTextW(boxes[0], caption, 64);
  EXPECT_STREQ(caption, L"升级提醒");
  EXPECT_NE(BoxText(boxes[0]).find(L"检测到最新版本[3.0.0.1]，确认更新！"), std::wstring::npos);
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutW(boxes[0], WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(::GetDlgItem(boxes[0], IDOK)), SMTO_ABORTIFHUNG,
                        5000, &answer);

  // Downloaded to the upgrader path, started with /S /KVUPGRADE: the old client
  // is asked to quit, the program replaced and the new client started.
  EXPECT_EQ(old.WaitForExit(kSetupMs), 0);
  ExpectNewClientStartedNormally(old.Id());
  EXPECT_TRUE(InstalledClientIsTheBuiltOne());
  EXPECT_EQ(ReadFileBytes(GetUpgraderPath()), ReadFileBytes(Installer()));
  wchar_t last[64] = {};
  ::GetPrivateProfileStringW(L"version", L"lastUpgradeVer", L"", last, 64,
                             GetLastUpgradeIniPath().c_str());
  EXPECT_STREQ(last, L"3.0.0.1");

  // The same version file decided again: nothing is offered any more.
  CDownloadTask again;
  again.url = g_globalModule.versionCheckUrl;
  again.localPath = GetUpgradeFolder() + L"app.ini";
  again.taskId = 0;
  ScopedHandle decision(::CreateThread(nullptr, 0, DecideAgain, &again, 0, nullptr));
  ASSERT_TRUE(decision);
  EXPECT_EQ(::WaitForSingleObject(decision.Get(), kStartMs), WAIT_OBJECT_0)
      << "no message box waits for an answer";
  EXPECT_TRUE(OwnMessageBoxes().empty());
}

#endif  // net/upgrade.h

}  // namespace
