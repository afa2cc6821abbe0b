#include "browser/core/navigation_filter.h"

namespace browser {

NavigationVerdict ClassifyNavigation(std::wstring_view url, bool new_window_pending) {
  // Case-sensitive on purpose: the operator's pages use these exact spellings.
  if (url.substr(0, 10) == L"javascript" || url.substr(0, 11) == L"about:blank") {
    return NavigationVerdict::kPassSilently;
  }
  if (new_window_pending || url.find(L".exe") != std::wstring_view::npos) {
    return NavigationVerdict::kOutside;
  }
  return NavigationVerdict::kBeforeNavigate;
}

}  // namespace browser
