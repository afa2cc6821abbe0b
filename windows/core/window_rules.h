// The application windows' decisions that need no window: what the login page's
// addresses mean, which keys go to the embedded browser, and where the game
// window's title-bar controls sit. Platform-independent, tested natively.
#pragma once

#include <string>

// What the login window takes from an ordinary navigation of its page.
struct LoginNavigation {
  bool hasUserName = false;  // the address holds "wd_username="
  std::wstring userName;     // everything after the first "wd_username="
  std::wstring serverId;     // "wd_server" value on an enter-game address, else empty
  bool enterGame = false;    // the address holds "wd_entergame=1"
};
LoginNavigation ReadLoginNavigation(const std::wstring& url);

// True for the OAuth addresses that open in the QQ login window.
bool IsOAuthLoginUrl(const std::wstring& url);

// True for a game page address that asks to return to the login window.
bool IsReturnToLoginUrl(const std::wstring& url);

// Keyboard filter of the login and QQ login windows: key-up always, and
// Ctrl+C/V/X/Z, Tab, Enter and Delete go through the browser's accelerators.
bool ForwardsKeyToBrowser(unsigned message, unsigned key, bool ctrlDown);

struct Rect {
  int left, top, right, bottom;
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// The game window's title bar for a client `width` x `height` and a title-bar
// picture `barHeight` high. Button sizes are those of their pictures.
struct GameLayout {
  Rect background, close, restore, minimize, tray, settings, service, forum, official, recharge,
      icon, title, view;
};
GameLayout ComputeGameLayout(int width, int height, int barHeight);
