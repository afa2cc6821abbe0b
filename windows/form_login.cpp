#include "windows/form_login.h"

#include "app/build_config.h"
#include "app/global_module.h"
#include "app/messages.h"
#include "app/paths.h"
#include "app/settings.h"
#include "app/switches.h"
#include "net/upgrade.h"
#include "windows/core/window_rules.h"
#include "windows/form_qqlogin.h"
#include "windows/window_common.h"

namespace {

constexpr COLORREF kKeyColour = RGB(255, 128, 255);
const wchar_t kErrorText[] = L"检测到您的网络异常，点击这里重试！";
const wchar_t kWaitingText[] = L"正在检测您的网络环境，请稍后...";
// WM_SYSCOMMAND code that starts the system's move loop with the mouse.
constexpr WPARAM kDragWindow = 0xF011;

struct ButtonArt {
  CKVButton CFormLogin::*button;
  UINT normal, hover;
  RECT rect;
};

// In the order they are added: minimise, close, official, recharge, service, forum.
const ButtonArt kButtons[] = {
    {&CFormLogin::m_minimizeButton, 192, 193, {952, 171, 988, 218}},
    {&CFormLogin::m_closeButton, 188, 189, {945, 242, 981, 294}},
    {&CFormLogin::m_officialButton, 194, 195, {354, 119, 488, 160}},
    {&CFormLogin::m_rechargeButton, 198, 199, {787, 120, 922, 161}},
    {&CFormLogin::m_serviceButton, 200, 201, {642, 119, 778, 160}},
    {&CFormLogin::m_forumButton, 190, 191, {498, 120, 632, 161}},
};

}  // namespace

std::wstring OfficialPageUrl() {
  return std::wstring(L"http://") + QB_OPERATOR_WEB_HOST + L"/kelmi";
}

std::wstring CustomerServiceUrl() {
  return std::wstring(L"http://") + QB_OPERATOR_WEB_HOST + L"/customer.html";
}

std::wstring GetRechargeUrl() {
  // The recharge page takes no account or server in its address; the player's
  // values are deliberately not formatted into it.
  return std::wstring(L"http://") + QB_OPERATOR_WEB_HOST + L"/paym.html";
}

bool CFormLogin::Initialize() {
  Create(g_globalModule.windowClass, g_globalModule.title, g_globalModule.hInstance,
         g_globalModule.backForm.GetHwnd());
  const HWND hwnd = GetHwnd();
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, (style & 0x7F30FF7F) | 0x000A0000);
  LONG_PTR exStyle = (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~0x181) | WS_EX_LAYERED;
  if (g_globalModule.topMost == 1) exStyle |= WS_EX_TOPMOST;
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);
  ::SetLayeredWindowAttributes(hwnd, kKeyColour, 0, LWA_COLORKEY);

  // The login page is asked for first; decoding the pictures need not delay it.
  OpenPageView(m_view, hwnd, RECT{-100, -100, -50, -50}, g_globalModule.loginUrl.c_str(), this,
               &CFormLogin::OnWebNotify);
  m_view.FocusDocument();

  m_background.m_hasAlpha = LoadResourceImage(g_globalModule.hInstance, m_background.m_image, 183);
  m_background.m_slice = {5, 5, 5, 5};
  m_background.m_blend = false;
  m_background.m_stretch = true;
  const RECT whole{0, 0, 1024, 700};
  m_background.SetRect(&whole);
  AddControl(&m_background);

  const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  for (const ButtonArt& art : kButtons) {
    CKVButton& button = this->*art.button;
    LoadButtonImages(art.normal, g_globalModule.hInstance, &button, art.hover, art.hover);
    button.SetRect(&art.rect);
    button.m_cursor = hand;
    button.m_fitImage = true;
    AddControl(&button);
  }

  m_statusLabel.m_hwndHost = hwnd;
  const RECT status{538, 376, 858, 402};
  m_statusLabel.SetRect(&status);
  m_statusLabel.SetColor(0x0000FFFF, false);
  m_statusLabel.SetUnderline(1, false);
  m_statusLabel.SetFontSize(26, 0, true);
  m_statusLabel.m_cursor = hand;
  AddControl(&m_statusLabel);
  return true;
}

void CFormLogin::Present(bool error) {
  const HWND hwnd = GetHwnd();
  LONG_PTR exStyle = (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW;
  if (g_globalModule.topMost == 1) exStyle |= WS_EX_TOPMOST;
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);
  if (error) {
    ::MoveWindow(m_view.GetHwnd(), -100, -100, 50, 50, FALSE);
    m_statusLabel.SetText(kErrorText, true);
    m_statusLabel.m_cursor = ::LoadCursorW(nullptr, IDC_HAND);
  } else {
    ::MoveWindow(m_view.GetHwnd(), 456, 164, 485, 451, FALSE);
  }
  ShowOnWorkArea(hwnd, m_retrying);
  // Not every system keeps a colour-keyed window's pixels when it comes in
  // from off screen without a redraw; paint it once where it now is.
  ::InvalidateRect(hwnd, nullptr, FALSE);
}

void CFormLogin::OnWebNotify(unsigned id, std::uintptr_t, std::intptr_t) {
  switch (id) {
    case WN_DOCUMENT_COMPLETE:
      if (!IsActiveMarked()) MarkActive();
      break;
    case WN_NAVIGATE_ERROR:
      if (m_backFromGame) break;
      WriteIniString(L"Error", L"ErrorUrl", m_view.GetLocationURL(), L"");
      Present(true);
      g_globalModule.backForm.PresentBackdrop(m_retrying);
      break;
    case WN_BEFORE_NAVIGATE:
      OnBeforeNavigate();
      break;
    case WN_NAVIGATE_COMPLETE:
      if (m_backFromGame) break;
      Present(false);
      g_globalModule.backForm.PresentBackdrop(m_retrying);
      StartVersionCheck();
      break;
    case WN_NAVIGATE_OUTSIDE:
      OnNavigateOutside();
      break;
    default:
      break;
  }
}

void CFormLogin::OnBeforeNavigate() {
  // Any ordinary navigation of the login page closes the QQ login window.
  if (g_globalModule.qqLoginForm != nullptr) {
    ::PostMessageW(g_globalModule.qqLoginForm->GetHwnd(), WM_CLOSE, 0, 0);
  }
  m_lastUrl = m_view.GetLocationURL();
  const LoginNavigation navigation = ReadLoginNavigation(m_lastUrl);
  if (navigation.hasUserName) g_globalModule.userName = navigation.userName;
  g_globalModule.serverId.clear();
  if (!navigation.enterGame) return;
  if (!navigation.serverId.empty()) g_globalModule.serverId = navigation.serverId;
  m_view.m_cancelNavigation = true;
  m_enterGameUrl = m_lastUrl;
  ::PostMessageW(GetHwnd(), WM_ENTERGAME, 0, 0);
}

void CFormLogin::OnNavigateOutside() {
  const std::wstring url = m_view.GetLocationURL();
  if (IsOAuthLoginUrl(url)) {
    m_view.m_cancelNavigation = true;
    m_qqLoginUrl = url;
    ::PostMessageW(GetHwnd(), WM_QQLOGIN, 0, 0);
    return;
  }
  OpenUrl(url);
}

void CFormLogin::ReturnFromGame() {
  m_backFromGame = true;
  m_view.Navigate(g_globalModule.loginUrl.c_str());
}

bool CFormLogin::OnLButtonDown(WPARAM wParam, const POINT* point) {
  CKVBaseControl* hit = ControlAt(point);
  if (hit == nullptr) return false;
  if (hit == &m_background) {
    ::SendMessageW(GetHwnd(), WM_SYSCOMMAND, kDragWindow, 0);
    return true;
  }
  return hit->OnLButtonDown(wParam, point);
}

bool CFormLogin::OnLButtonUp(WPARAM wParam, const POINT* point) {
  CKVBaseControl* hit = ControlAt(point);
  if (hit == nullptr) return false;
  hit->OnLButtonUp(wParam, point);
  if (hit == &m_minimizeButton) {
    ::ShowWindow(g_globalModule.backForm.GetHwnd(), SW_MINIMIZE);
    return true;
  }
  if (hit == &m_closeButton) {
    if (!ConfirmExit()) return false;
    Close();
    return true;
  }
  if (hit == &m_statusLabel) {
    if (m_statusLabel.GetText().find(L"异常") != std::wstring::npos) {
      m_retrying = true;
      m_view.Navigate(g_globalModule.loginUrl.c_str());
      m_statusLabel.SetText(kWaitingText, true);
      m_statusLabel.m_cursor = ::LoadCursorW(nullptr, IDC_ARROW);
    }
    return true;
  }
  return OpenOperatorPage(hit,
                          {&m_serviceButton, &m_rechargeButton, &m_officialButton, &m_forumButton});
}

bool CFormLogin::ConfirmExit() {
  return ::MessageBoxW(GetHwnd(), L"此操作将退出游戏，是否继续？", L"提示",
                       MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

LRESULT CFormLogin::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CKVForm::HandleMessage(hwnd, message, wParam, lParam) == 0) return 0;
  switch (message) {
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_QUITAPP:
      Close();
      return 0;
    case WM_CONFIRMEXIT:
      if (!ConfirmExit()) return 0;
      ::PostQuitMessage(0);
      Close();
      return 0;
    default:
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

BOOL CFormLogin::PreTranslateMessage(MSG* msg) {
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (ForwardsKeyToBrowser(msg->message, static_cast<unsigned>(msg->wParam), ctrl)) {
      return m_view.PreTranslateMessage(msg);
    }
    return FALSE;
  }
  if (msg->message == WM_LBUTTONDOWN || msg->message == WM_RBUTTONDOWN) {
    // Keep the backdrop lined up under this window; the press goes on as usual.
    POINT origin{0, 0};
    ::ClientToScreen(GetHwnd(), &origin);
    ::SetWindowPos(g_globalModule.backForm.GetHwnd(), HWND_TOP, origin.x, origin.y, 0, 0,
                   SWP_NOSIZE);
  }
  return FALSE;
}
