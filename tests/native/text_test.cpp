// The shared text helpers: paths, removal, query values, switches, and the
// address filter and quoting that guard what reaches the web browser.
#include "app/core/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextTest, EnsureTrailingBackslash) {
  EXPECT_EQ(EnsureTrailingBackslash(L"C:\\x"), L"C:\\x\\");
  EXPECT_EQ(EnsureTrailingBackslash(L"C:\\x\\"), L"C:\\x\\");
  EXPECT_EQ(EnsureTrailingBackslash(L""), L"");
}

TEST(TextTest, ReplaceAllRemovesEveryOccurrenceInPlace) {
  struct Case {
    std::wstring text, pattern, expected;
  };
  const Case cases[] = {
      {L"2017-03-05", L"-", L"20170305"},
      {L"3.0.0.1", L".", L"3001"},
      {L"aaaa", L"aa", L""},
      {L"abab", L"ba", L"ab"},  // "a[ba]b" -> "ab", which holds no "ba" at the same spot
      {L"nothing", L"-", L"nothing"},
      {L"", L"-", L""},
      {L"keep", L"", L"keep"},
  };
  for (Case c : cases) {
    const std::wstring result = ReplaceAll(c.text, c.pattern);
    EXPECT_EQ(result, c.expected) << "pattern " << c.pattern.size();
    EXPECT_EQ(c.text, c.expected) << "changed in place too";
  }
}

TEST(TextTest, GetQueryValue) {
  struct Case {
    const wchar_t* url;
    const wchar_t* name;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"http://h/p?a=1&wd_server=12&b=2", L"wd_server", L"12"},
      {L"http://h/p?a=1&wd_server=", L"wd_server", L""},
      {L"http://h/p?a=1", L"wd_server", L""},
      {L"http://h/p?wd_server=7", L"wd_server", L"7"},
      {L"http://h/p?xwd_server=5&wd_server=6", L"wd_server", L"5"},  // first match, anywhere
      {L"http://h/p?Wd_Server=5", L"wd_server", L""},                // case-sensitive
      {L"http://h/p?n=a%20b", L"n", L"a%20b"},                       // no decoding
      {L"", L"n", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetQueryValue(c.url, c.name), c.expected) << c.url;
}

TEST(TextTest, SwitchesMatchAsCaseSensitiveSubstrings) {
  const std::wstring line = L"\"C:\\Games\\QaBrisel.exe\" --dir=C:\\x/ShowDeskTop\\y /setupsucc";
  EXPECT_TRUE(ContainsText(line, L"/ShowDeskTop"));
  EXPECT_TRUE(ContainsText(line, L"/setupsucc"));
  EXPECT_FALSE(ContainsText(line, L"/showdesktop"));
  EXPECT_FALSE(ContainsText(line, L"/uninstallsucc"));
}

TEST(TextTest, OnlyWebAndMailAddressesMayOpen) {
  const wchar_t* allowed[] = {L"http://h/", L"https://h/a b", L"HTTPS://H", L"mailto:a@b",
                              L"http://h/?q=\"x\""};
  for (const wchar_t* url : allowed) EXPECT_TRUE(IsOpenableWebAddress(url)) << url;
  const wchar_t* refused[] = {L"file:///C:/Windows/System32/calc.exe",
                              L"C:\\Windows\\System32\\calc.exe",
                              L"\\\\server\\share\\x.exe",
                              L"calc.exe",
                              L"javascript:alert(1)",
                              L"ftp://h/",
                              L"about:blank",
                              L"http:/h",
                              L"http://",
                              L"mailto:",
                              L" http://h/",
                              L"http://h/\nx",
                              L""};
  for (const wchar_t* url : refused) EXPECT_FALSE(IsOpenableWebAddress(url)) << url;
}

TEST(TextTest, QuotingKeepsOneArgument) {
  struct Case {
    const wchar_t* arg;
    const wchar_t* quoted;
  };
  const Case cases[] = {
      {L"http://h/a b", L"\"http://h/a b\""},
      {L"http://h/?x=\"y\"", L"\"http://h/?x=\\\"y\\\"\""},
      {L"http://h/\\", L"\"http://h/\\\\\""},
      {L"a\\\\\"b", L"\"a\\\\\\\\\\\"b\""},
      {L"a\\b", L"\"a\\b\""},
      {L"", L"\"\""},
  };
  for (const Case& c : cases) EXPECT_EQ(QuoteCommandLineArgument(c.arg), c.quoted) << c.arg;
}

}  // namespace
