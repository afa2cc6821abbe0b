#include "windows/core/window_rules.h"

#include "app/core/text.h"

LoginNavigation ReadLoginNavigation(const std::wstring& url) {
  LoginNavigation result;
  const std::wstring marker = L"wd_username=";
  const std::wstring::size_type pos = url.find(marker);
  if (pos != std::wstring::npos) {
    result.hasUserName = true;
    result.userName = url.substr(pos + marker.size());
  }
  result.enterGame = ContainsText(url, L"wd_entergame=1");
  if (result.enterGame) result.serverId = GetQueryValue(url, L"wd_server");
  return result;
}

bool IsOAuthLoginUrl(const std::wstring& url) { return ContainsText(url, L"login_oauth.php?act"); }

bool IsReturnToLoginUrl(const std::wstring& url) { return ContainsText(url, L"wd_returnlogin=1"); }

bool ForwardsKeyToBrowser(unsigned message, unsigned key, bool ctrlDown) {
  constexpr unsigned kKeyFirst = 0x100, kKeyUp = 0x101, kKeyLast = 0x109;
  if (message < kKeyFirst || message > kKeyLast) return false;
  if (message == kKeyUp) return true;
  const bool clipboardKey = key == 'C' || key == 'V' || key == 'X' || key == 'Z';
  return (clipboardKey && ctrlDown) || key == 9 || key == 13 || key == 46;
}

GameLayout ComputeGameLayout(int width, int height, int barHeight) {
  const int w = width;
  GameLayout l{};
  l.background = {0, 0, w, barHeight};
  l.close = {w - 28, 1, w, 28};
  l.restore = {w - 55, 1, w - 28, 28};
  l.minimize = {w - 83, 1, w - 55, 28};
  l.tray = {w - 110, 1, w - 83, 28};
  l.settings = {w - 168, 5, w - 130, 23};
  l.service = {w - 211, 5, w - 173, 23};
  l.forum = {w - 254, 5, w - 216, 23};
  l.official = {w - 297, 5, w - 259, 23};
  l.recharge = {w - 340, 5, w - 302, 23};
  l.icon = {5, 2, 29, 24};
  l.title = {39, 5, 339, 25};
  l.view = {0, barHeight, w, height};
  return l;
}
