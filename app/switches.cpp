#include "app/switches.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <ctime>

#include "app/core/text.h"
#include "app/global_module.h"
#include "app/paths.h"
#include "app/settings.h"

bool HasCommandLineSwitch(const std::wstring& text) {
  return ContainsText(::GetCommandLineW(), text);
}

int GetRunCount() {
  if (g_globalModule.runCount != 0) return g_globalModule.runCount;
  if (HasCommandLineSwitch(L"/setupsucc") || HasCommandLineSwitch(L"/ShowDeskTop")) {
    return g_globalModule.runCount;
  }
  g_globalModule.runCount = ReadIniInt(L"Common", L"RunCount", 0, L"") + 1;
  WriteIniString(L"Common", L"RunCount", std::to_wstring(g_globalModule.runCount), L"");
  return g_globalModule.runCount;
}

bool IsActiveMarked() { return ReadIniInt(L"Common", L"ActiveCount", 0, L"") == 1; }

void MarkActive() { WriteIniString(L"Common", L"ActiveCount", L"1", L""); }

std::wstring BuildUsageQuery(const std::wstring& referrer, const std::wstring& uid,
                             const std::wstring& installTime) {
  return ComposeUsageQuery(referrer, uid, installTime, GetRunCount,
                           FormatLocalTime(L"%Y%m%d%H%M%S", std::time(nullptr)));
}

void StartIconAnimation() {
  const std::wstring path = GetDataFolder() + L"iconAnimate.exe";
  if (!::PathFileExistsW(path.c_str())) return;
  ::ShellExecuteW(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
