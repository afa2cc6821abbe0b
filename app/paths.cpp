#include "app/paths.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

namespace {

// Kept for the whole process; destroyed after the global module.
std::wstring& KeptDataFolder() {
  static std::wstring folder;
  return folder;
}

bool EnsureFolder(const std::wstring& path) {
  return ::PathFileExistsW(path.c_str()) || ::CreateDirectoryW(path.c_str(), nullptr);
}

}  // namespace

std::wstring GetDataFolder() {
  std::wstring& kept = KeptDataFolder();
  if (!kept.empty()) return kept;
  wchar_t buffer[MAX_PATH] = {};
  ::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE);
  kept = EnsureTrailingBackslash(buffer) + L"Jorva游戏\\" + L"kelmi" + L"\\";
  CreateDirectoryPath(kept.c_str());
  return kept;
}

std::wstring GetSettingsPath() { return GetDataFolder() + L"Brisel.ini"; }

std::wstring GetUpgradeFolder() {
  const std::wstring folder = GetDataFolder() + L"\\Upgrade\\";
  CreateDirectoryPath(folder.c_str());
  return folder;
}

std::wstring GetLastUpgradeIniPath() { return GetUpgradeFolder() + L"LastUpgrade.ini"; }

std::wstring GetUpgraderPath() { return GetUpgradeFolder() + L"QaBriselUpgrade.exe"; }

bool CreateDirectoryPath(const wchar_t* path) {
  if (path == nullptr) return false;
  const std::wstring whole = path;
  const std::wstring::size_type first = whole.find(L'\\');
  if (first == std::wstring::npos) return EnsureFolder(whole);
  for (std::wstring::size_type pos = first; pos != std::wstring::npos;
       pos = whole.find(L'\\', pos + 1)) {
    if (!EnsureFolder(whole.substr(0, pos + 1))) return false;
  }
  return EnsureFolder(whole);
}

std::wstring NewGuidText() {
  GUID guid{};
  if (FAILED(::CoCreateGuid(&guid))) return std::wstring();
  wchar_t buffer[128] = {};
  std::swprintf(buffer, 128, L"%.8lX-%.4hX-%.4hX-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  return buffer;
}

void OpenUrl(std::wstring url) {
  // A page can hand us any address; only web and mail addresses may leave the
  // client, and the browser gets the address as one quoted argument.
  if (!IsOpenableWebAddress(url)) return;
  const std::wstring argument = QuoteCommandLineArgument(url);
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", L"iexplore", argument.c_str(), nullptr, SW_SHOW));
  if (result > 32) return;
  ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
}
