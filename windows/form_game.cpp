#include "windows/form_game.h"

#include "app/autorun.h"
#include "app/global_module.h"
#include "app/messages.h"
#include "app/paths.h"
#include "net/url_cache.h"
#include "windows/core/window_rules.h"
#include "windows/form_login.h"
#include "windows/window_common.h"

namespace {

constexpr WPARAM kDragWindow = 0xF011;

struct ButtonArt {
  CKVButton CFormGame::*button;
  UINT normal, hover;
};

// In the order they are added.
const ButtonArt kButtons[] = {
    {&CFormGame::m_minimizeButton, 207, 208}, {&CFormGame::m_closeButton, 186, 187},
    {&CFormGame::m_restoreButton, 205, 206},  {&CFormGame::m_trayButton, 184, 185},
    {&CFormGame::m_settingsButton, 217, 218}, {&CFormGame::m_forumButton, 202, 203},
    {&CFormGame::m_officialButton, 211, 212}, {&CFormGame::m_rechargeButton, 213, 214},
    {&CFormGame::m_serviceButton, 215, 216},
};

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void Place(CKVBaseControl& control, const Rect& r) {
  const RECT rect = ToRect(r);
  control.SetRect(&rect);
}

// The first popup of a menu resource, detached from its bar; null if none.
HMENU LoadPopup(UINT id) {
  const HMENU bar = ::LoadMenuW(g_globalModule.hInstance, MAKEINTRESOURCEW(id));
  if (bar == nullptr) return nullptr;
  const HMENU popup = ::GetSubMenu(bar, 0);
  if (popup != nullptr) ::RemoveMenu(bar, 0, MF_BYPOSITION);
  ::DestroyMenu(bar);
  return popup;
}

}  // namespace

bool CFormGame::Initialize(const wchar_t* url) {
  Create(g_globalModule.windowClass, g_globalModule.title, g_globalModule.hInstance, nullptr);
  const HWND hwnd = GetHwnd();
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, (style & 0xFF3AFFFF) | 0x000A0000);

  m_background.m_hasAlpha = LoadResourceImage(g_globalModule.hInstance, m_background.m_image, 219);
  m_background.m_blend = true;
  AddControl(&m_background);

  const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  for (const ButtonArt& art : kButtons) {
    CKVButton& button = this->*art.button;
    LoadButtonImages(art.normal, g_globalModule.hInstance, &button, art.hover, art.hover);
    button.m_cursor = hand;
    button.m_fitImage = true;
    if (&button == &m_restoreButton) {
      LoadResourceImage(g_globalModule.hInstance, button.m_selNormal, 209);
      LoadResourceImage(g_globalModule.hInstance, button.m_selHover, 210);
      LoadResourceImage(g_globalModule.hInstance, button.m_selPressed, 210);
      if (button.m_selected) {
        button.m_selected = false;
        button.SetState(4, true);
      }
    }
    AddControl(&button);
  }

  m_icon.m_hasAlpha = LoadResourceImage(g_globalModule.hInstance, m_icon.m_image, 204);
  m_icon.m_blend = true;
  AddControl(&m_icon);

  m_titleLabel.m_hwndHost = hwnd;
  m_titleLabel.SetText(L"Ostrevane", true);
  m_titleLabel.SetColor(0x0000FFFF, true);
  // Drawing sizes the label to its text; a long page title must not reach
  // over the text buttons, which would then start a drag instead.
  m_titleLabel.SetAutoWidth(true, 300);
  AddControl(&m_titleLabel);

  OpenPageView(m_view, hwnd, RECT{308, 170, 910, 547}, url, this, &CFormGame::OnWebNotify);
  return true;
}

bool CFormGame::Maximize() {
  const HWND hwnd = GetHwnd();
  if (hwnd == nullptr) return false;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(hwnd, HWND_TOP, 0, 0, work.right, work.bottom, SWP_SHOWWINDOW);
  ShowLaidOut(true);
  return true;
}

bool CFormGame::Restore() {
  const HWND hwnd = GetHwnd();
  if (hwnd == nullptr) return false;
  CentreOnWorkArea(hwnd, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top);
  ShowLaidOut(false);
  return true;
}

void CFormGame::ShowLaidOut(bool maximized) {
  Layout();
  ::ShowWindow(GetHwnd(), SW_SHOWNORMAL);
  ::UpdateWindow(GetHwnd());
  m_maximized = maximized;
}

void CFormGame::Layout() {
  RECT client{};
  ::GetClientRect(GetHwnd(), &client);
  const GameLayout l =
      ComputeGameLayout(client.right, client.bottom, m_background.GetImageHeight());
  Place(m_background, l.background);
  Place(m_closeButton, l.close);
  Place(m_restoreButton, l.restore);
  Place(m_minimizeButton, l.minimize);
  Place(m_trayButton, l.tray);
  Place(m_settingsButton, l.settings);
  Place(m_serviceButton, l.service);
  Place(m_forumButton, l.forum);
  Place(m_officialButton, l.official);
  Place(m_rechargeButton, l.recharge);
  Place(m_icon, l.icon);
  Place(m_titleLabel, l.title);
  ::SetWindowPos(m_view.GetHwnd(), HWND_TOP, l.view.left, l.view.top, l.view.right - l.view.left,
                 l.view.bottom - l.view.top, SWP_SHOWWINDOW);
  ::UpdateWindow(GetHwnd());
}

void CFormGame::OnWebNotify(unsigned id, std::uintptr_t, std::intptr_t lparam) {
  switch (id) {
    case WN_BEFORE_NAVIGATE:
      if (IsReturnToLoginUrl(m_view.GetLocationURL())) Close();
      break;
    case WN_TITLE_CHANGE:
      m_titleLabel.SetText(reinterpret_cast<const wchar_t*>(lparam), true);
      break;
    case WN_NAVIGATE_OUTSIDE:
      OpenUrl(m_view.GetLocationURL());
      break;
    default:
      break;
  }
}

bool CFormGame::IsTitleBar(const CKVBaseControl* control) const {
  return control == &m_background || control == &m_titleLabel;
}

bool CFormGame::OnLButtonDown(WPARAM wParam, const POINT* point) {
  CKVBaseControl* hit = ControlAt(point);
  if (hit == nullptr) return false;
  if (IsTitleBar(hit)) {
    if (!m_maximized) ::SendMessageW(GetHwnd(), WM_SYSCOMMAND, kDragWindow, 0);
    return true;
  }
  return hit->OnLButtonDown(wParam, point);
}

bool CFormGame::OnLButtonUp(WPARAM wParam, const POINT* point) {
  CKVBaseControl* hit = ControlAt(point);
  if (hit == nullptr) return false;
  hit->OnLButtonUp(wParam, point);
  if (hit == &m_minimizeButton) {
    ::ShowWindow(GetHwnd(), SW_MINIMIZE);
    return true;
  }
  if (hit == &m_restoreButton) {
    if (m_restoreButton.m_selected != m_maximized) {
      m_restoreButton.m_selected = m_maximized;
      m_restoreButton.SetState(4, true);
    }
    if (m_maximized) {
      Restore();
    } else {
      Maximize();
    }
    return true;
  }
  if (hit == &m_closeButton) {
    if (!ConfirmExit()) return false;
    Close();
    return true;
  }
  if (OpenOperatorPage(hit,
                       {&m_serviceButton, &m_rechargeButton, &m_officialButton, &m_forumButton})) {
    return true;
  }
  if (hit == &m_settingsButton) return ShowSettingsMenu();
  if (hit == &m_trayButton) {
    MinimizeToTray();
    return false;
  }
  return false;
}

bool CFormGame::OnLButtonDblClk(WPARAM, const POINT* point) {
  if (!IsTitleBar(ControlAt(point))) return false;
  if (m_maximized) {
    Restore();
  } else {
    Maximize();
  }
  return true;
}

void CFormGame::OnActivate() { Layout(); }

bool CFormGame::ConfirmExit() {
  return ::MessageBoxW(GetHwnd(), L"正在游戏中，确认退出？", L"提示", MB_YESNO | MB_DEFBUTTON2) ==
         IDYES;
}

LRESULT CFormGame::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CKVForm::HandleMessage(hwnd, message, wParam, lParam) == 0) return 0;
  if (message == WM_TRAYNOTIFY) {
    OnTrayNotify(lParam);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL CFormGame::PreTranslateMessage(MSG* msg) {
  const bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
  const bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
  return keyboard || mouse ? ForwardToBrowser(msg) : FALSE;
}

BOOL CFormGame::ForwardToBrowser(MSG* msg) { return m_view.PreTranslateMessage(msg); }

bool CFormGame::ShowSettingsMenu() {
  const HMENU popup = LoadPopup(149);
  if (popup == nullptr) return false;
  RECT button{};
  m_settingsButton.GetRect(&button);
  POINT at{button.left, button.bottom};
  ::ClientToScreen(GetHwnd(), &at);
  const bool registered = IsAutoRunRegistered();
  ::CheckMenuItem(popup, ID_GAME_AUTORUN, registered ? MF_CHECKED : MF_UNCHECKED);
  const UINT command = static_cast<UINT>(
      ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, GetHwnd(), nullptr));
  ::DestroyMenu(popup);
  switch (command) {
    case ID_GAME_REFRESH:
      m_view.Refresh();
      return true;
    case ID_GAME_AUTORUN:
      SetAutoRun(!registered);
      return true;
    case ID_GAME_CLEAR_CACHE:
      ClearUrlCache();
      ::MessageBoxW(GetHwnd(), L"缓存清理完毕！", L"提示", MB_OK);
      return true;
    default:
      return false;
  }
}

void CFormGame::MinimizeToTray() {
  AddTrayIcon(::LoadIconW(g_globalModule.hInstance, MAKEINTRESOURCEW(151)));
  // Without an icon nothing could show a hidden window again; the taskbar
  // button keeps it reachable instead.
  ::ShowWindow(GetHwnd(), m_trayIconAdded ? SW_HIDE : SW_MINIMIZE);
}

void CFormGame::AddTrayIcon(HICON icon) {
  m_notifyIcon = NOTIFYICONDATAW{};
  m_notifyIcon.cbSize = sizeof(m_notifyIcon);
  m_notifyIcon.hWnd = GetHwnd();
  m_notifyIcon.uID = 156;
  m_notifyIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_notifyIcon.uCallbackMessage = WM_TRAYNOTIFY;
  m_notifyIcon.hIcon = icon;
  wcscpy_s(m_notifyIcon.szTip, L"Ostrevane");
  m_trayIconAdded = ::Shell_NotifyIconW(NIM_ADD, &m_notifyIcon) != FALSE;
}

bool CFormGame::RemoveTrayIcon() {
  if (!m_trayIconAdded) return false;
  m_notifyIcon.uFlags = 0;
  return ::Shell_NotifyIconW(NIM_DELETE, &m_notifyIcon) != FALSE;
}

void CFormGame::DeleteTrayIcon() {
  if (!m_trayIconAdded) return;
  m_notifyIcon.uFlags = 0;
  ::Shell_NotifyIconW(NIM_DELETE, &m_notifyIcon);
}

void CFormGame::OnTrayNotify(LPARAM lParam) {
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      ::ShowWindow(GetHwnd(), SW_SHOW);
      DeleteTrayIcon();
      break;
    case WM_RBUTTONUP:
      ShowTrayMenu();
      break;
    default:
      break;
  }
}

bool CFormGame::ShowTrayMenu() {
  const HMENU popup = LoadPopup(156);
  if (popup == nullptr) return false;
  POINT at{};
  ::GetCursorPos(&at);
  const UINT command = static_cast<UINT>(
      ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, GetHwnd(), nullptr));
  ::DestroyMenu(popup);
  switch (command) {
    case ID_TRAY_OPEN:
      ::ShowWindow(GetHwnd(), SW_SHOWNORMAL);
      DeleteTrayIcon();
      return true;
    case ID_TRAY_EXIT:
      if (::MessageBoxW(GetHwnd(), L"此操作将退出游戏，是否继续？", L"提示",
                        MB_YESNO | MB_DEFBUTTON2) != IDYES) {
        return false;
      }
      RemoveTrayIcon();
      Close();
      return true;
    default:
      return false;
  }
}
