// What the application windows read from page addresses and keys, and the
// game window's title-bar layout.
#include "windows/core/window_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(LoginNavigationTest, ReadsAccountServerAndEnterGame) {
  struct Case {
    const wchar_t* url;
    bool hasUserName;
    const wchar_t* userName;
    const wchar_t* serverId;
    bool enterGame;
  };
  const Case cases[] = {
      // The account is the whole tail; the server only counts on enter-game.
      {L"http://h/kelmi?wd_username=abc&wd_server=7", true, L"abc&wd_server=7", L"", false},
      {L"http://h/g?wd_entergame=1&wd_server=12&x=1", false, L"", L"12", true},
      {L"http://h/g?wd_username=p1&wd_server=12&wd_entergame=1", true,
       L"p1&wd_server=12&wd_entergame=1", L"12", true},
      {L"http://h/g?wd_entergame=1", false, L"", L"", true},
      {L"http://h/g?wd_entergame=10", false, L"", L"",
       true},  // substring test, as the page uses it
      {L"http://h/kelmi", false, L"", L"", false},
      {L"http://h/kelmi?WD_USERNAME=x", false, L"", L"", false},
  };
  for (const Case& c : cases) {
    const LoginNavigation n = ReadLoginNavigation(c.url);
    EXPECT_EQ(n.hasUserName, c.hasUserName) << c.url;
    EXPECT_EQ(n.userName, c.userName) << c.url;
    EXPECT_EQ(n.serverId, c.serverId) << c.url;
    EXPECT_EQ(n.enterGame, c.enterGame) << c.url;
  }
}

TEST(LoginNavigationTest, OAuthAndReturnMarkers) {
  EXPECT_TRUE(IsOAuthLoginUrl(L"http://p/action/user/login_oauth.php?act=weibo"));
  EXPECT_FALSE(IsOAuthLoginUrl(L"http://p/login_oauth.php"));
  EXPECT_TRUE(IsReturnToLoginUrl(L"http://h/kelmi?wd_returnlogin=1"));
  EXPECT_FALSE(IsReturnToLoginUrl(L"http://h/kelmi?wd_returnlogin=0"));
}

TEST(KeyFilterTest, ForwardsClipboardKeysTabEnterDeleteAndKeyUps) {
  constexpr unsigned kDown = 0x100, kUp = 0x101, kChar = 0x102, kSysDown = 0x104, kMove = 0x200;
  struct Case {
    unsigned message, key;
    bool ctrl, forwarded;
  };
  const Case cases[] = {
      {kDown, 'C', true, true},   {kDown, 'V', true, true},   {kDown, 'X', true, true},
      {kDown, 'Z', true, true},   {kDown, 'C', false, false}, {kDown, 'A', true, false},
      {kDown, 9, false, true},    {kDown, 13, false, true},   {kDown, 46, false, true},
      {kUp, 'Q', false, true},    {kChar, 'c', false, false}, {kSysDown, 13, false, true},
      {kDown, 'Q', false, false}, {kMove, 13, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ForwardsKeyToBrowser(c.message, c.key, c.ctrl), c.forwarded)
        << std::hex << c.message << " " << std::dec << c.key << " ctrl " << c.ctrl;
  }
}

TEST(GameLayoutTest, TitleBarAt1250PixelsWide) {
  const GameLayout l = ComputeGameLayout(1250, 700, 27);
  EXPECT_EQ(l.close, (Rect{1222, 1, 1250, 28}));
  EXPECT_EQ(l.restore, (Rect{1195, 1, 1222, 28}));
  EXPECT_EQ(l.minimize, (Rect{1167, 1, 1195, 28}));
  EXPECT_EQ(l.tray, (Rect{1140, 1, 1167, 28}));
  EXPECT_EQ(l.settings, (Rect{1082, 5, 1120, 23}));
  EXPECT_EQ(l.service, (Rect{1039, 5, 1077, 23}));
  EXPECT_EQ(l.forum, (Rect{996, 5, 1034, 23}));
  EXPECT_EQ(l.official, (Rect{953, 5, 991, 23}));
  EXPECT_EQ(l.recharge, (Rect{910, 5, 948, 23}));
  EXPECT_EQ(l.icon, (Rect{5, 2, 29, 24}));
  EXPECT_EQ(l.title, (Rect{39, 5, 339, 25}));
  EXPECT_EQ(l.background, (Rect{0, 0, 1250, 27}));
  EXPECT_EQ(l.view, (Rect{0, 27, 1250, 700}));
}

}  // namespace
