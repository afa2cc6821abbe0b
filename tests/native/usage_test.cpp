// The usage query on the login address, with the clock and the run count
// supplied by the test.
#include "app/core/usage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A run counter that behaves like the settings file's: the first call counts.
struct FakeRunCount {
  std::vector<int> answers;
  size_t calls = 0;
  int operator()() { return answers[calls < answers.size() ? calls++ : answers.size() - 1]; }
};

TEST(UsageQueryTest, WorkedExampleOfAFirstStart) {
  FakeRunCount count{{1, 1}};
  EXPECT_EQ(ComposeUsageQuery(L"mirtavon", L"kelmi", L"2017-03-05 14:07:09", std::ref(count),
                              L"20170305140709"),
            L"referer=mirtavon&frm=kelmi&version=3000&installtime=20170305&runcount=1"
            L"&curtime=20170305140709&showlogintype=3&regtimes=1");
  EXPECT_EQ(count.calls, 2u) << "once for the value, once for regtimes";
}

TEST(UsageQueryTest, Cases) {
  struct Case {
    const char* name;
    std::wstring referrer, uid, installTime;
    std::vector<int> counts;
    std::wstring expected;
  };
  const Case cases[] = {
      {"later start",
       L"mirtavon",
       L"kelmi",
       L"2017-03-05 08:00:00",
       {5, 5},
       L"referer=mirtavon&frm=kelmi&version=3000&installtime=20170305&runcount=5&curtime=T"
       L"&showlogintype=3"},
      {"not counted",
       L"r",
       L"u",
       L"2017-03-05 08:00:00",
       {0, 0},
       L"referer=r&frm=u&version=3000&installtime=20170305&runcount=0&curtime=T&showlogintype=3"},
      // A stored -1 counts to 0 first, so the second call counts again.
      {"stored -1",
       L"r",
       L"u",
       L"2017-03-05",
       {0, 1},
       L"referer=r&frm=u&version=3000&installtime=20170305&runcount=0&curtime=T&showlogintype=3"
       L"&regtimes=1"},
      {"short install time",
       L"r",
       L"u",
       L"17-3-5",
       {2, 2},
       L"referer=r&frm=u&version=3000&installtime=1735&runcount=2&curtime=T&showlogintype=3"},
      {"other install format",
       L"r",
       L"u",
       L"05/03/2017 8h",
       {2, 2},
       L"referer=r&frm=u&version=3000&installtime=05/03/2017&runcount=2&curtime=T"
       L"&showlogintype=3"},
      {"empty values",
       L"",
       L"",
       L"",
       {3, 3},
       L"referer=&frm=&version=3000&installtime=&runcount=3&curtime=T&showlogintype=3"},
      {"unencoded text",
       L"a&b c",
       L"u",
       L"2017-03-05",
       {3, 3},
       L"referer=a&b c&frm=u&version=3000&installtime=20170305&runcount=3&curtime=T"
       L"&showlogintype=3"},
  };
  for (const Case& c : cases) {
    FakeRunCount count{c.counts};
    EXPECT_EQ(ComposeUsageQuery(c.referrer, c.uid, c.installTime, std::ref(count), L"T"),
              c.expected)
        << c.name;
  }
}

TEST(UsageQueryTest, AppendQueryUsesQuestionMarkOrAmpersand) {
  EXPECT_EQ(AppendQuery(L"http://h/kelmi", L"a=1"), L"http://h/kelmi?a=1");
  EXPECT_EQ(AppendQuery(L"http://h/kelmi?x=2", L"a=1"), L"http://h/kelmi?x=2&a=1");
}

TEST(FormatLocalTimeTest, FormatsInLocalTime) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  // 2017-03-05 14:07:09 UTC
  EXPECT_EQ(FormatLocalTime(L"%Y%m%d%H%M%S", 1488722829), L"20170305140709");
  EXPECT_EQ(FormatLocalTime(L"%Y-%m-%d %H:%M:%S", 1488722829), L"2017-03-05 14:07:09");
  EXPECT_EQ(FormatLocalTime(nullptr, 1488722829), L"");
  EXPECT_EQ(FormatLocalTime(L"", 1488722829), L"") << "nothing formatted is a failure";
  EXPECT_EQ(FormatLocalTime(std::wstring(200, L'Y').c_str(), 0), L"") << "too long for 128";
}

}  // namespace
