// The Run-key entry, in the test prefix's own registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/autorun.h"
#include "app/handles.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class AutoRunTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kRunKey); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kRunKey); }

  static bool RunKeyExists() {
    ScopedRegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
  }

  static std::wstring StoredText(DWORD* type, DWORD* bytes) {
    wchar_t data[600] = {};
    *bytes = sizeof(data);
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Ostrevane", RRF_RT_ANY, type, data, bytes) !=
        ERROR_SUCCESS) {
      return L"<missing>";
    }
    return data;
  }
};

TEST_F(AutoRunTest, MissingRunKeyIsNotRegisteredAndRegisteringCreatesKeyAndValue) {
  ASSERT_FALSE(RunKeyExists());
  EXPECT_FALSE(IsAutoRunRegistered());

  ASSERT_TRUE(SetAutoRun(true));
  EXPECT_TRUE(RunKeyExists());
  EXPECT_TRUE(IsAutoRunRegistered());

  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring expected = L"\"" + std::wstring(self) + L"\" /autorun";
  DWORD type = 0, bytes = 0;
  EXPECT_EQ(StoredText(&type, &bytes), expected);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bytes, (expected.size() + 1) * sizeof(wchar_t)) << "size includes the terminator";
}

TEST_F(AutoRunTest, ValueOfAnotherTypeCountsAsRegisteredAndIsRemoved) {
  ScopedRegKey key;
  ASSERT_EQ(::RegCreateKeyW(HKEY_CURRENT_USER, kRunKey, key.Receive()), ERROR_SUCCESS);
  const DWORD number = 7;
  ASSERT_EQ(::RegSetValueExW(key.Get(), L"Ostrevane", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&number), sizeof(number)),
            ERROR_SUCCESS);

  EXPECT_TRUE(IsAutoRunRegistered());
  EXPECT_TRUE(SetAutoRun(false));
  EXPECT_FALSE(IsAutoRunRegistered());
  EXPECT_TRUE(RunKeyExists()) << "only the value goes, the key stays";
}

TEST_F(AutoRunTest, RemovingAMissingValueFails) {
  ASSERT_TRUE(SetAutoRun(true));
  ASSERT_TRUE(SetAutoRun(false));
  EXPECT_FALSE(SetAutoRun(false));
  EXPECT_FALSE(IsAutoRunRegistered());
}

TEST_F(AutoRunTest, RegisteringTwiceKeepsOneValue) {
  ASSERT_TRUE(SetAutoRun(true));
  ASSERT_TRUE(SetAutoRun(true));
  EXPECT_TRUE(SetAutoRun(false));
  EXPECT_FALSE(IsAutoRunRegistered());
}

}  // namespace
