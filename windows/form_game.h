// CFormGame: the window the game is played in. A borderless window over the
// work area with its own 27-pixel title bar (icon, page title, text buttons,
// window buttons), a settings menu and a tray icon. Closing it returns to the
// login window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "browser/browser_view.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/image.h"
#include "ui/image_control.h"
#include "ui/label.h"

class CFormGame : public CKVForm {
 public:
  bool OnLButtonDown(WPARAM wParam, const POINT* point) override;
  bool OnLButtonUp(WPARAM wParam, const POINT* point) override;
  bool OnLButtonDblClk(WPARAM wParam, const POINT* point) override;
  void OnActivate() override;
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;

  // Asks "正在游戏中，确认退出？"; true on Yes.
  virtual bool ConfirmExit();
  // Builds the window and its controls and opens `url`.
  virtual bool Initialize(const wchar_t* url);

  bool Maximize();
  bool Restore();
  void Layout();
  void OnWebNotify(unsigned id, std::uintptr_t param, std::intptr_t lparam);
  bool ShowSettingsMenu();
  void MinimizeToTray();
  void AddTrayIcon(HICON icon);
  bool RemoveTrayIcon();
  void OnTrayNotify(LPARAM lParam);
  bool ShowTrayMenu();

  CKVImage m_background;
  CKVButton m_closeButton;
  CKVButton m_minimizeButton;
  CKVButton m_restoreButton;
  CKVButton m_trayButton;
  CKVButton m_settingsButton;
  CKVButton m_forumButton;
  CKVButton m_officialButton;
  CKVButton m_rechargeButton;
  CKVButton m_serviceButton;
  CKVImage m_icon;
  CKVLabel m_titleLabel;
  CBrowserView m_view;
  NOTIFYICONDATAW m_notifyIcon{};
  bool m_trayIconAdded = false;
  bool m_maximized = false;

 protected:
  // The browser's accelerator translation, where the keyboard filter sends keys.
  virtual BOOL ForwardToBrowser(MSG* msg);

 private:
  // After a move or resize: controls laid out, window shown and painted.
  void ShowLaidOut(bool maximized);
  bool IsTitleBar(const CKVBaseControl* control) const;
  void DeleteTrayIcon();
};

// Menu commands of the settings menu (149) and the tray menu (156).
constexpr UINT ID_GAME_REFRESH = 32774;
constexpr UINT ID_GAME_AUTORUN = 32776;
constexpr UINT ID_GAME_CLEAR_CACHE = 32778;
constexpr UINT ID_TRAY_OPEN = 32781;
constexpr UINT ID_TRAY_EXIT = 32782;
