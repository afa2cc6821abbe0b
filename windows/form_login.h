// CFormLogin: the login window. It lies over the backdrop, shows the operator's
// login page and runs the login flow from the page's navigations. Its
// WM_DESTROY ends the program, and other programs close the client through it.
#pragma once

#include <cstdint>
#include <string>

#include "browser/browser_view.h"
#include "ui/button.h"
#include "ui/image.h"
#include "ui/image_control.h"
#include "ui/label.h"
#include "ui/form.h"

class CFormLogin : public CKVForm {
 public:
  bool OnLButtonDown(WPARAM wParam, const POINT* point) override;
  bool OnLButtonUp(WPARAM wParam, const POINT* point) override;
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;

  // Builds the window, its controls and its view, and starts loading loginUrl.
  virtual bool Initialize();

  // Asks "此操作将退出游戏，是否继续？"; true when the player answered Yes.
  bool ConfirmExit();

  // Moves the window onto the screen, centred; `error` shows the retry text.
  void Present(bool error);

  // The login flow: subscribed to the view's notifier.
  void OnWebNotify(unsigned id, std::uintptr_t param, std::intptr_t lparam);

  // The game window was closed: load the login page again, in place.
  void ReturnFromGame();

  std::wstring GetEnterGameUrl() const { return m_enterGameUrl; }
  std::wstring GetQQLoginUrl() const { return m_qqLoginUrl; }

  CKVImage m_background;
  CKVButton m_closeButton;
  CKVButton m_minimizeButton;
  CKVButton m_officialButton;
  CKVButton m_serviceButton;
  CKVButton m_rechargeButton;
  CKVButton m_forumButton;
  CBrowserView m_view;
  CKVLabel m_statusLabel;
  bool m_retrying = false;
  std::wstring m_enterGameUrl;
  bool m_backFromGame = false;
  std::wstring m_lastUrl;
  std::wstring m_qqLoginUrl;

 private:
  void OnBeforeNavigate();
  void OnNavigateOutside();
};

// The operator's pages the windows open in the web browser.
std::wstring OfficialPageUrl();
std::wstring CustomerServiceUrl();
std::wstring GetRechargeUrl();
