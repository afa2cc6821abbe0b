#include "net/upgrade.h"

#include <shellapi.h>

#include <string>

#include "app/global_module.h"
#include "app/handles.h"
#include "app/messages.h"
#include "app/paths.h"
#include "app/settings.h"
#include "net/http_downloader.h"

namespace {

volatile LONG g_versionCheckStarted = 0;

constexpr int kVersionFileTask = 0;
constexpr int kUpgraderTask = 1;

void QueueUpgradeTask(CGlobalModule* module, const std::wstring& url, const std::wstring& path,
                      int appendUrlName, int taskId) {
  CDownloadTask task;
  task.url = url;
  task.localPath = path;
  task.appendUrlName = appendUrlName;
  task.callback = &OnUpgradeTaskDone;
  task.userData = module;
  task.taskId = taskId;
  task.deleteOnFailure = 1;
  module->downloader->AddTask(task);
}

// The player acknowledged the upgrade and both windows are hidden; when the
// upgrader cannot be had after all, give the windows back so play goes on.
void ShowWindowsAgain(CGlobalModule* module) {
  ::ShowWindow(module->backForm.GetHwnd(), SW_SHOWNA);
  ::ShowWindow(module->loginForm.GetHwnd(), SW_SHOW);
}

void DecideVersion(CGlobalModule* module, const CDownloadTask* task, int result) {
  if (result != 0) return;
  const std::wstring current = ReadIniString(L"version", L"currentversion", L"", task->localPath);
  const std::wstring range = ReadIniString(L"version", L"upgraderange", L"", task->localPath);
  const std::wstring last =
      ReadIniString(L"version", L"lastUpgradeVer", L"", GetLastUpgradeIniPath());
  module->latestVersion = current;
  const int32_t newest = VersionToNumber(current);
  if (newest == 0) return;
  if (!(newest > OWN_VERSION_NUMBER && VersionToNumber(last) < newest && IsInUpgradeRange(range))) {
    return;
  }
  const std::wstring text = L"检测到最新版本[" + module->latestVersion + L"]，确认更新！";
  ::MessageBoxW(module->loginForm.GetHwnd(), text.c_str(), L"升级提醒", MB_OK);
  ::ShowWindow(module->loginForm.GetHwnd(), SW_HIDE);
  ::ShowWindow(module->backForm.GetHwnd(), SW_HIDE);
  if (module->downloader == nullptr) {
    ShowWindowsAgain(module);
    return;
  }
  StartUpgraderDownload(module);
}

bool StartUpgrader(const std::wstring& path) {
  if (IsProcessElevated()) {
    wchar_t commandLine[64] = L" /S /KVUPGRADE";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(path.c_str(), commandLine, nullptr, nullptr, FALSE,
                          CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                          &startup, &process)) {
      return false;
    }
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);
    return true;
  }
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.lpVerb = L"runas";
  info.lpFile = path.c_str();
  info.lpParameters = L"/S /KVUPGRADE";
  info.nShow = SW_SHOWNORMAL;
  return ::ShellExecuteExW(&info) != FALSE;
}

void LaunchUpgrader(CGlobalModule* module, const CDownloadTask* task, int result) {
  if (result != 0 || !StartUpgrader(task->localPath)) {
    ShowWindowsAgain(module);
    return;
  }
  WriteIniString(L"version", L"lastUpgradeVer", module->latestVersion, GetLastUpgradeIniPath());
  ::PostMessageW(module->loginForm.GetHwnd(), WM_QUITAPP, 0, 0);
}

}  // namespace

void StartVersionCheck() {
  CGlobalModule* module = &g_globalModule;
  if (g_versionCheckStarted != 0 || module->downloader == nullptr) return;
  if (!module->downloader->WorkersStarted()) module->downloader->StartWorkers();
  QueueUpgradeTask(module, module->versionCheckUrl, GetUpgradeFolder(), 1, kVersionFileTask);
  ::InterlockedExchange(&g_versionCheckStarted, 1);
}

void StartUpgraderDownload(CGlobalModule* module) {
  if (module->downloader == nullptr) return;
  if (!module->downloader->WorkersStarted()) module->downloader->StartWorkers();
  QueueUpgradeTask(module, module->versionDownloadUrl, GetUpgraderPath(), 0, kUpgraderTask);
}

void OnUpgradeTaskDone(void* userData, int taskId, int status, int result, INT_PTR detail) {
  if (status != 3) return;
  CGlobalModule* module = static_cast<CGlobalModule*>(userData);
  const CDownloadTask* task = reinterpret_cast<const CDownloadTask*>(detail);
  if (taskId == kVersionFileTask) {
    DecideVersion(module, task, result);
  } else if (taskId == kUpgraderTask) {
    LaunchUpgrader(module, task, result);
  }
}

bool IsProcessElevated() {
  HANDLE rawToken = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return false;
  ScopedHandle token(rawToken);
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  if (!::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
    return false;
  }
  return elevation.TokenIsElevated != 0;
}
