// The data folder, the settings helpers and GUID text, in the test prefix.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "app/paths.h"
#include "app/settings.h"
#include "test_support.h"

namespace {

TEST(PathsTest, DataFolderIsUnderAppDataAndExists) {
  const std::wstring folder = GetDataFolder();
  EXPECT_EQ(folder, AppDataFolder() + L"\\Jorva游戏\\kelmi\\");
  EXPECT_TRUE(::PathIsDirectoryW(folder.c_str()));
  EXPECT_EQ(GetSettingsPath(), folder + L"Brisel.ini");
  EXPECT_EQ(GetLastUpgradeIniPath(), folder + L"\\Upgrade\\LastUpgrade.ini");
  EXPECT_EQ(GetUpgraderPath(), folder + L"\\Upgrade\\QaBriselUpgrade.exe");
}

TEST(PathsTest, UpgradeFolderIsCreatedAgainOnEveryCall) {
  const std::wstring upgrade = GetDataFolder() + L"Upgrade";
  ::RemoveDirectoryW(upgrade.c_str());
  ASSERT_FALSE(::PathIsDirectoryW(upgrade.c_str()));
  GetUpgradeFolder();
  EXPECT_TRUE(::PathIsDirectoryW(upgrade.c_str()));
}

TEST(PathsTest, CreateDirectoryPathMakesEveryMissingLevel) {
  const std::wstring base = ModuleFolder() + L"dirs-" + std::to_wstring(::GetTickCount64());
  const std::wstring deep = base + L"\\a\\b\\c\\";
  EXPECT_TRUE(CreateDirectoryPath(deep.c_str()));
  EXPECT_TRUE(::PathIsDirectoryW(deep.c_str()));
  EXPECT_TRUE(CreateDirectoryPath(deep.c_str())) << "an existing path is fine";
  const std::wstring noTrailing = base + L"\\x\\y";
  EXPECT_TRUE(CreateDirectoryPath(noTrailing.c_str()));
  EXPECT_TRUE(::PathIsDirectoryW(noTrailing.c_str()));
  EXPECT_FALSE(CreateDirectoryPath(nullptr));
  // A file in the way cannot become a folder.
  const std::wstring blocker = base + L"\\file";
  ASSERT_TRUE(WriteFileBytes(blocker, "x"));
  EXPECT_FALSE(CreateDirectoryPath((blocker + L"\\sub\\").c_str()));
}

TEST(SettingsTest, ReadsDefaultsValuesAndCutsLongValues) {
  const std::wstring file = ModuleFolder() + L"settings-test.ini";
  const std::string longValue(300, 'v');
  ASSERT_TRUE(WriteFileBytes(
      file, "[Common]\r\nRefer=\r\nTopMost=2\r\nRunCount=abc\r\nLong=" + longValue + "\r\n"));
  EXPECT_EQ(ReadIniString(L"Common", L"Refer", L"mirtavon", file), L"")
      << "an empty value is a value, not a missing key";
  EXPECT_EQ(ReadIniString(L"common", L"UID", L"kelmi", file), L"kelmi");
  EXPECT_EQ(ReadIniString(L"Common", L"Long", L"", file), std::wstring(259, L'v'));
  EXPECT_EQ(ReadIniInt(L"COMMON", L"topmost", 0, file), 2);
  EXPECT_EQ(ReadIniInt(L"Common", L"RunCount", 5, file), 0);
  EXPECT_EQ(ReadIniInt(L"Common", L"Missing", 5, file), 5);
  EXPECT_EQ(ReadIniString(L"Common", L"Refer", L"d", ModuleFolder() + L"no-such.ini"), L"d");

  WriteIniString(L"Error", L"ErrorUrl", L"http://127.0.0.1/kelmi?a=1", file);
  EXPECT_EQ(ReadIniString(L"Error", L"ErrorUrl", L"", file), L"http://127.0.0.1/kelmi?a=1");
}

TEST(SettingsTest, EmptyPathMeansTheSettingsFile) {
  WriteIniString(L"Test", L"Key", L"value-1", L"");
  wchar_t buffer[64] = {};
  ::GetPrivateProfileStringW(L"Test", L"Key", L"", buffer, 64, ClientSettingsPath().c_str());
  EXPECT_STREQ(buffer, L"value-1");
  EXPECT_EQ(ReadIniString(L"Test", L"Key", L"", L""), L"value-1");
  WriteIniString(L"Test", L"Key", L"", L"");
}

TEST(GuidTextTest, IsUpperCaseHexInFiveGroupsAndFresh) {
  const std::wstring a = NewGuidText();
  const std::wstring b = NewGuidText();
  ASSERT_EQ(a.size(), 36u);
  EXPECT_NE(a, b);
  for (size_t i = 0; i < a.size(); ++i) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      EXPECT_EQ(a[i], L'-') << i;
    } else {
      EXPECT_TRUE(std::iswxdigit(a[i]) && !std::iswlower(a[i])) << i;
    }
  }
}

}  // namespace
