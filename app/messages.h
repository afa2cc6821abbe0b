// The client's own window messages. Other processes (installer, uninstaller)
// post WM_QUITAPP and WM_CONFIRMEXIT to the window of class "QaBrisel".
#pragma once

#include <windows.h>

constexpr UINT WM_ENTERGAME = WM_USER + 200;    // 1224: open the game window
constexpr UINT WM_QUITAPP = WM_USER + 201;      // 1225: close the client without asking
constexpr UINT WM_TRAYNOTIFY = WM_USER + 204;   // 1228: tray icon callback
constexpr UINT WM_CONFIRMEXIT = WM_USER + 206;  // 1230: ask, then close the client
constexpr UINT WM_QQLOGIN = WM_USER + 207;      // 1231: open the QQ login window

// Private: frees the window objects of closed game and QQ login windows once
// the messages that destroyed them have been handled.
constexpr UINT WM_RELEASEFORMS = WM_APP + 1;

static_assert(WM_ENTERGAME == 1224 && WM_QUITAPP == 1225 && WM_TRAYNOTIFY == 1228 &&
                  WM_CONFIRMEXIT == 1230 && WM_QQLOGIN == 1231,
              "message numbers are shared with other programs");
