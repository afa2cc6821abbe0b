#include "windows/form_qqlogin.h"

#include "app/global_module.h"
#include "app/paths.h"
#include "windows/core/window_rules.h"
#include "windows/window_common.h"

namespace {

constexpr WPARAM kDragWindow = 0xF011;

void LoadFrame(CKVImage& image, UINT picture, const RECT* rect) {
  image.m_hasAlpha = LoadResourceImage(g_globalModule.hInstance, image.m_image, picture);
  image.m_blend = true;
  if (rect != nullptr) image.SetRect(rect);
}

}  // namespace

bool CFormQQLogin::Initialize(const wchar_t* url) {
  Create(g_globalModule.windowClass, g_globalModule.title, g_globalModule.hInstance, nullptr);
  const HWND hwnd = GetHwnd();
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, (style & 0xFF3AFFFF) | 0x000A0000);

  LoadFrame(m_background, 221, nullptr);
  AddControl(&m_background);
  const RECT left{0, 27, 3, 420}, right{697, 27, 880, 420}, bottom{0, 416, 880, 420};
  LoadFrame(m_leftBorder, 222, &left);
  AddControl(&m_leftBorder);
  LoadFrame(m_rightBorder, 222, &right);
  AddControl(&m_rightBorder);
  LoadFrame(m_bottomBorder, 223, &bottom);
  AddControl(&m_bottomBorder);

  LoadButtonImages(224, g_globalModule.hInstance, &m_closeButton, 225, 225);
  m_closeButton.m_cursor = ::LoadCursorW(nullptr, IDC_HAND);
  m_closeButton.m_fitImage = true;
  AddControl(&m_closeButton);

  m_titleLabel.m_hwndHost = hwnd;
  m_titleLabel.SetText(L"Ostrevane", true);
  m_titleLabel.SetColor(0x0000FFFF, true);
  m_titleLabel.SetText(L"账号安全登录", true);
  AddControl(&m_titleLabel);

  OpenPageView(m_view, hwnd, RECT{308, 170, 910, 547}, url, this, &CFormQQLogin::OnWebNotify);
  return true;
}

bool CFormQQLogin::CenterAndShow() {
  const HWND hwnd = GetHwnd();
  if (hwnd == nullptr) return false;
  CentreOnWorkArea(hwnd, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top);
  Layout();
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  ::UpdateWindow(hwnd);
  return true;
}

void CFormQQLogin::Layout() {
  RECT client{};
  ::GetClientRect(GetHwnd(), &client);
  const int w = client.right, h = client.bottom, bar = m_background.GetImageHeight();
  const RECT background{0, 0, w, bar};
  m_background.SetRect(&background);
  const RECT close{w - m_closeButton.GetImageWidth(), 0, w, m_closeButton.GetImageHeight()};
  m_closeButton.SetRect(&close);
  const RECT title{5, 2, 205, 22};
  m_titleLabel.SetRect(&title);
  ::SetWindowPos(m_view.GetHwnd(), HWND_TOP, 3, bar, w - 6, h - bar - 4, SWP_SHOWWINDOW);
}

void CFormQQLogin::OnWebNotify(unsigned id, std::uintptr_t, std::intptr_t) {
  if (id == WN_NAVIGATE_OUTSIDE) OpenUrl(m_view.GetLocationURL());
}

bool CFormQQLogin::OnLButtonDown(WPARAM wParam, const POINT* point) {
  CKVBaseControl* hit = ControlAt(point);
  if (hit == nullptr) return false;
  if (hit == &m_background || hit == &m_titleLabel) {
    ::SendMessageW(GetHwnd(), WM_SYSCOMMAND, kDragWindow, 0);
    return true;
  }
  return hit->OnLButtonDown(wParam, point);
}

bool CFormQQLogin::OnLButtonUp(WPARAM wParam, const POINT* point) {
  CKVBaseControl* hit = ControlAt(point);
  if (hit == nullptr) return false;
  hit->OnLButtonUp(wParam, point);
  if (hit != &m_closeButton) return false;
  Close();
  return true;
}

LRESULT CFormQQLogin::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CKVForm::HandleMessage(hwnd, message, wParam, lParam) == 0) return 0;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL CFormQQLogin::PreTranslateMessage(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
  const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (!ForwardsKeyToBrowser(msg->message, static_cast<unsigned>(msg->wParam), ctrl)) return FALSE;
  return ForwardToBrowser(msg);
}

BOOL CFormQQLogin::ForwardToBrowser(MSG* msg) { return m_view.PreTranslateMessage(msg); }
