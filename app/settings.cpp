#include "app/settings.h"

#include <windows.h>

#include "app/paths.h"

namespace {

std::wstring ResolvePath(const std::wstring& filePath) {
  return filePath.empty() ? GetSettingsPath() : filePath;
}

}  // namespace

std::wstring ReadIniString(std::wstring section, std::wstring key, std::wstring defaultValue,
                           std::wstring filePath) {
  wchar_t buffer[260] = {};
  ::GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer, 260,
                             ResolvePath(filePath).c_str());
  buffer[259] = L'\0';
  return buffer;
}

int ReadIniInt(std::wstring section, std::wstring key, int defaultValue, std::wstring filePath) {
  return static_cast<int>(::GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue,
                                                  ResolvePath(filePath).c_str()));
}

void WriteIniString(std::wstring section, std::wstring key, std::wstring value,
                    std::wstring filePath) {
  ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                               ResolvePath(filePath).c_str());
}
