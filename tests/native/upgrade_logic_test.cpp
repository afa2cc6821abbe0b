// Version numbers, upgrade ranges, list splitting and download file names.
#include "net/core/upgrade_logic.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionToNumber, ReadsLikeAStreamAfterDroppingDots) {
  const struct {
    const wchar_t* text;
    int32_t number;
  } cases[] = {
      {L"3.0.0.1", 3001},
      {L"3.1", 31},
      {L"10.0.0.0", 10000},
      {L"abc", 0},
      {L"", 0},
      {L"  3.0.0.2x", 3002},
      {L"-3.0", -30},
      {L"+7", 7},
      {L"2147483647", 2147483647},
      {L"2147483648", 0},
      {L"-2147483648", INT32_MIN},
      {L"99999999999999999999", 0},
      {L"-", 0},
      {L"3.0.0.1 rc", 3001},
  };
  for (const auto& c : cases) EXPECT_EQ(VersionToNumber(c.text), c.number) << c.text;
}

TEST(SplitList, EverySeparatorEndsAnItemButTheTailNeedsText) {
  using V = std::vector<std::wstring>;
  EXPECT_EQ(SplitList(L"a,,b", L','), (V{L"a", L"", L"b"}));
  EXPECT_EQ(SplitList(L"3000,", L','), (V{L"3000"}));
  EXPECT_EQ(SplitList(L",3000", L','), (V{L"", L"3000"}));
  EXPECT_EQ(SplitList(L"3000-", L'-'), (V{L"3000"}));
  EXPECT_EQ(SplitList(L"", L','), V{});
  EXPECT_EQ(SplitList(L",", L','), (V{L""}));
}

TEST(IsInUpgradeRange, DecidesForTheOwnVersion) {
  const struct {
    const wchar_t* list;
    bool in;
  } cases[] = {
      {L"", true},
      {L"3000", true},
      {L"2000-3000", true},
      {L"2000-2999,3001", false},
      {L"2000-2999,3000", true},
      {L"3.0.0.0", false},         // reads as 3
      {L"1000-2000-4000", false},  // three parts: skipped
      {L"1000-2000-4000,3000", true},
      {L"-4000", true},   // the empty low end reads as 0
      {L"3000-", false},  // one part only
      {L",,", false},
      {L" 3000", true},
      {L"3000abc", true},
      {L"abc-def", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInUpgradeRange(c.list), c.in) << c.list;
}

TEST(UrlFileName, TakesThePathsLastSegmentAndNeverLeavesTheFolder) {
  const struct {
    const wchar_t* url;
    const wchar_t* name;
  } cases[] = {
      {L"http://h/Jorva/kelmi/official/app.ini", L"app.ini"},
      {L"http://h/a/app.ini?t=1", L"app.ini"},
      {L"http://h/a/app.ini#top", L"app.ini"},
      {L"http://h/a/app.ini?next=/b/c.exe", L"app.ini"},
      {L"https://h:8443/x.exe", L"x.exe"},
      {L"http://h/a/", L""},
      {L"http://h", L""},
      {L"http://h?q=/evil.exe", L""},
      {L"http://h/a/..", L""},
      {L"http://h/a/.", L""},
      {L"http://h/a/. .", L""},
      {L"http://h/a/..%5c..%5cx", L"..%5c..%5cx"},
      {L"http://h/a/..\\..\\x", L""},
      {L"http://h/a/c:x", L""},
      {L"noslash", L"noslash"},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlFileName(c.url), c.name) << c.url;
}

}  // namespace
