#include "app/autorun.h"

#include <windows.h>

#include <string>

#include "app/handles.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kValueName[] = L"Ostrevane";

}  // namespace

bool IsAutoRunRegistered() {
  ScopedRegKey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, key.Receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  return ::RegQueryValueExW(key.Get(), kValueName, nullptr, &type, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

bool SetAutoRun(bool enable) {
  wchar_t modulePath[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
  ScopedRegKey key;
  if (::RegCreateKeyW(HKEY_CURRENT_USER, kRunKey, key.Receive()) != ERROR_SUCCESS) return false;
  if (!enable) return ::RegDeleteValueW(key.Get(), kValueName) == ERROR_SUCCESS;
  const std::wstring data = L"\"" + std::wstring(modulePath) + L"\" /autorun";
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.Get(), kValueName, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}
