// The settings file "Brisel.ini" and the three INI helpers every part uses.
// An empty file path always means the settings file.
#pragma once

#include <string>

std::wstring ReadIniString(std::wstring section, std::wstring key, std::wstring defaultValue,
                           std::wstring filePath);
int ReadIniInt(std::wstring section, std::wstring key, int defaultValue, std::wstring filePath);
void WriteIniString(std::wstring section, std::wstring key, std::wstring value,
                    std::wstring filePath);
