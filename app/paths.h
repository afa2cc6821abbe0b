// The per-user data folder and the files in it, plus the small shared helpers
// for GUIDs and opening web addresses. Text helpers live in app/core/text.h.
#pragma once

#include <string>

#include "app/core/text.h"

// %APPDATA%\Jorva游戏\kelmi\ ; computed and created once per process.
std::wstring GetDataFolder();
std::wstring GetSettingsPath();        // data folder + "Brisel.ini"
std::wstring GetUpgradeFolder();       // data folder + "\Upgrade\", created on every call
std::wstring GetLastUpgradeIniPath();  // upgrade folder + "LastUpgrade.ini"
std::wstring GetUpgraderPath();        // upgrade folder + "QaBriselUpgrade.exe"

// Creates every missing folder along `path`; true when all of it exists after.
bool CreateDirectoryPath(const wchar_t* path);

// A fresh GUID as 36 upper-case hexadecimal characters with hyphens, no braces.
std::wstring NewGuidText();

// Opens a web address in Internet Explorer, or else with the system's handler.
// Only http, https and mailto addresses are opened; anything else (file:
// addresses, paths, other schemes) opens nothing.
void OpenUrl(std::wstring url);
