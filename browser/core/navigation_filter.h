// The browser view's decision on one BeforeNavigate2 address: let it pass
// silently, report it to the window, or hand it to the window outside.
#pragma once

#include <string_view>

namespace browser {

enum class NavigationVerdict {
  kPassSilently,    // "javascript…" and "about:blank…": no notification, never cancelled
  kBeforeNavigate,  // report WN_BEFORE_NAVIGATE; the window may cancel
  kOutside,         // cancel and report WN_NAVIGATE_OUTSIDE
};

NavigationVerdict ClassifyNavigation(std::wstring_view url, bool new_window_pending);

}  // namespace browser
