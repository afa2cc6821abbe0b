// The web notifier and the browser view's navigation filter.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "browser/core/navigation_filter.h"
#include "browser/core/web_notify.h"

namespace {

struct Call {
  int who;
  unsigned id;
  std::uintptr_t param;
  std::intptr_t lparam;
  bool operator==(const Call& o) const {
    return who == o.who && id == o.id && param == o.param && lparam == o.lparam;
  }
};

struct Window {
  int who;
  std::vector<Call>* log;
  void OnWebNotify(unsigned id, std::uintptr_t param, std::intptr_t lparam) {
    log->push_back({who, id, param, lparam});
  }
};

TEST(WebNotifyTest, TwoHandlersAreCalledInSubscriptionOrderWithTheSameArguments) {
  std::vector<Call> log;
  Window first{1, &log}, second{2, &log};
  CWebNotify notify;
  SubscribeWebNotify(notify, &first, &Window::OnWebNotify);
  notify.Subscribe(nullptr);  // a failed allocation stays in the list and is skipped
  SubscribeWebNotify(notify, &second, &Window::OnWebNotify);
  notify.Fire(WN_GET_EXTERNAL, 77u, -5);
  notify.Fire(WN_TITLE_CHANGE, 0u, 1234);
  const std::vector<Call> expected{
      {1, 2, 77, -5}, {2, 2, 77, -5}, {1, 9, 0, 1234}, {2, 9, 0, 1234}};
  EXPECT_EQ(log, expected);
}

TEST(WebNotifyTest, NoHandlersFireDoesNothingAndUnknownIdsArriveUnchanged) {
  CWebNotify empty;
  empty.Fire(WN_NAVIGATE_OUTSIDE, 0, 0);

  std::vector<Call> log;
  Window window{1, &log};
  CWebNotify notify;
  SubscribeWebNotify(notify, &window, &Window::OnWebNotify);
  for (unsigned id : {3u, 4u, 5u, 6u, 11u, 0xFFFFFFFFu}) notify.Fire(id, 0, 0);
  ASSERT_EQ(log.size(), 6u);  // delivered as they came; windows ignore them
  EXPECT_EQ(log.back().id, 0xFFFFFFFFu);
}

TEST(WebNotifyTest, TheBaseHandlerDoesNothing) {
  CEventHandler<Window, void (Window::*)(unsigned, std::uintptr_t, std::intptr_t),
                ICWebNotifyEventHandler>
      base;
  base.Invoke(1, 2, 3);
}

TEST(WebNotifyTest, IdValues) {
  EXPECT_EQ(WN_DOCUMENT_COMPLETE, 0u);
  EXPECT_EQ(WN_NAVIGATE_ERROR, 1u);
  EXPECT_EQ(WN_GET_EXTERNAL, 2u);
  EXPECT_EQ(WN_BEFORE_NAVIGATE, 7u);
  EXPECT_EQ(WN_NAVIGATE_COMPLETE, 8u);
  EXPECT_EQ(WN_TITLE_CHANGE, 9u);
  EXPECT_EQ(WN_NAVIGATE_OUTSIDE, 10u);
}

TEST(NavigationFilterTest, Verdicts) {
  using browser::NavigationVerdict;
  struct Case {
    const wchar_t* url;
    bool pending;
    NavigationVerdict verdict;
  } cases[] = {
      {L"javascript:void(0)", false, NavigationVerdict::kPassSilently},
      {L"javascript", true, NavigationVerdict::kPassSilently},
      {L"about:blank", true, NavigationVerdict::kPassSilently},
      {L"about:blank#x.exe", false, NavigationVerdict::kPassSilently},
      {L"JavaScript:x", false, NavigationVerdict::kBeforeNavigate},  // case-sensitive
      {L"about:blan", false, NavigationVerdict::kBeforeNavigate},
      {L"javascrip", false, NavigationVerdict::kBeforeNavigate},
      {L"", false, NavigationVerdict::kBeforeNavigate},
      {L"http://127.0.0.1/login", false, NavigationVerdict::kBeforeNavigate},
      {L"http://127.0.0.1/setup.exe", false, NavigationVerdict::kOutside},
      {L"http://127.0.0.1/page?file=a.exe&x=1", false, NavigationVerdict::kOutside},
      {L"http://127.0.0.1/SETUP.EXE", false, NavigationVerdict::kBeforeNavigate},
      {L"http://127.0.0.1/page", true, NavigationVerdict::kOutside},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(browser::ClassifyNavigation(c.url, c.pending), c.verdict)
        << std::wstring(c.url).size() << " pending=" << c.pending;
  }
}

}  // namespace
