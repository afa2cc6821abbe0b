#include "ui/form.h"

#include <algorithm>

#include <commctrl.h>
#include <windowsx.h>

#include "app/handles.h"

CKVForm::~CKVForm() = default;

bool CKVForm::OnLButtonDown(WPARAM, const POINT*) {
  ::SetFocus(GetHwnd());
  return true;
}

bool CKVForm::OnMouseMove(WPARAM wParam, const POINT* point) {
  TrackMouse();
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
    if (!(*it)->HitTest(point)) (*it)->OnMouseMove(wParam, point);
  }
  CKVBaseControl* hit = ControlAt(point);
  return hit != nullptr && hit->OnMouseMove(wParam, point);
}

bool CKVForm::OnMouseWheel(WPARAM wParam, const POINT* point) {
  CKVBaseControl* hit = ControlAt(point);
  return hit != nullptr && hit->OnMouseWheel(wParam, point);
}

void CKVForm::Draw(HDC hdc) {
  for (CKVBaseControl* child : m_controls) child->Draw(hdc);
}

void CKVForm::UpdateLayout(const POINT* offset) {
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) (*it)->UpdateLayout(offset);
}

bool CKVForm::AddControl(CKVBaseControl* child) {
  child->m_hwndHost = m_hwnd;
  child->SetParentControl(this);
  m_controls.push_back(child);
  return true;
}

bool CKVForm::RemoveControl(CKVBaseControl* child) {
  const auto it = std::find(m_controls.begin(), m_controls.end(), child);
  if (it == m_controls.end()) return false;
  m_controls.erase(it);
  return true;
}

bool CKVForm::OnMouseLeave(WPARAM wParam, const POINT* point) {
  m_tracking = true;
  OnMouseMove(wParam, point);
  m_tracking = false;
  return true;
}

bool CKVForm::OnMouseHover(WPARAM, const POINT*) {
  m_hoverSeen = true;
  return true;
}

void CKVForm::OnSize() {
  UpdateLayout(nullptr);
  ApplyWindowRegion();
}

void CKVForm::OnMove() {}

void CKVForm::OnActivate() {}

void CKVForm::TrackMouse() {
  if (m_tracking && !m_hoverSeen) return;
  TRACKMOUSEEVENT tme{};
  tme.cbSize = sizeof(tme);
  tme.dwFlags = TME_HOVER | TME_LEAVE;
  tme.hwndTrack = m_hwnd;
  tme.dwHoverTime = 300;
  ::TrackMouseEvent(&tme);  // user32's own: no common-controls library to load at start-up
  m_tracking = true;
  m_hoverSeen = false;
}

LRESULT CKVForm::SendSysCommand(int code, HWND target) {
  if (target == nullptr) target = GetHwnd();
  BOOL fullDrag = FALSE;
  ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
  if (fullDrag) ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
  const LRESULT result =
      ::SendMessageW(target, WM_SYSCOMMAND, static_cast<WPARAM>(0xF000 + code), 0);
  if (fullDrag) ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
  return result;
}

bool CKVForm::Create(const wchar_t* className, const wchar_t* windowName, HINSTANCE instance,
                     HWND owner) {
  if (m_hwnd != nullptr) return true;
  m_hwnd = ::CreateWindowExW(0, className, windowName, WS_POPUP, m_rect.left, m_rect.top,
                             m_rect.right, m_rect.bottom, owner, nullptr, instance, nullptr);
  ::SetWindowTextW(GetHwnd(), L"Ostrevane");
  return m_hwnd != nullptr;
}

bool CKVForm::ShowCentered(int showCommand) {
  if (m_hwnd == nullptr) return false;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT client{};
  ::GetClientRect(m_hwnd, &client);
  const int x = (work.right - (client.right - client.left)) / 2;
  const int y = (work.bottom - (client.bottom - client.top)) / 2;
  ::SetWindowPos(m_hwnd, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  ::ShowWindow(m_hwnd, showCommand);
  ::UpdateWindow(m_hwnd);
  return true;
}

void CKVForm::Hide() { ::ShowWindow(GetHwnd(), SW_HIDE); }

void CKVForm::Minimize() { ::ShowWindow(GetHwnd(), SW_MINIMIZE); }

void CKVForm::BringToFront() {
  if (::IsIconic(GetHwnd())) ::ShowWindow(GetHwnd(), SW_RESTORE);
  ::ShowWindow(GetHwnd(), SW_SHOW);
  ::SetWindowPos(GetHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  ::SetForegroundWindow(GetHwnd());
}

bool CKVForm::Close() {
  if (m_hwndHost != nullptr) ::SetFocus(m_hwndHost);
  if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
  return true;
}

void CKVForm::RedrawControls(bool onlyMarked) {
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
    if (*it != nullptr && (!onlyMarked || (*it)->m_marked)) (*it)->Redraw();
  }
}

void CKVForm::ReservedFormHook() {}

HWND CKVForm::GetHwnd() { return m_hwnd; }

LRESULT CKVForm::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Positions are the low and high words of lParam, both read as unsigned.
  POINT point{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
  switch (message) {
    case WM_MOVE:
      OnMove();
      return 0;
    case WM_SIZE:
      OnSize();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != 0) OnActivate();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      const HDC dc = ::BeginPaint(hwnd, &ps);
      Draw(dc);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, &point);
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(wParam, &point);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(wParam, &point);
      return 0;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk(wParam, &point);
      return 0;
    case WM_MOUSEWHEEL:
      // Screen coordinates: negative left of or above the primary monitor.
      point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ::ScreenToClient(GetHwnd(), &point);
      OnMouseWheel(wParam, &point);
      return 0;
    case WM_MOUSEHOVER:
      OnMouseHover(wParam, &point);
      return 0;
    case WM_MOUSELEAVE: {
      const POINT origin{0, 0};
      OnMouseLeave(wParam, &origin);
      return 0;
    }
    default:
      return 1;
  }
}

BOOL CKVForm::PreTranslateMessage(MSG*) { return 1; }

CKVBaseControl* CKVForm::ControlAt(const POINT* point) {
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
    if ((*it)->HitTest(point)) return *it;
  }
  return nullptr;
}

void CKVForm::ApplyWindowRegion() {
  RECT client{};
  ::GetClientRect(GetHwnd(), &client);
  const int ellipse = m_roundCorners ? 4 : 0;
  ScopedRegion region(
      ::CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1, ellipse, ellipse));
  // The window owns the region once SetWindowRgn succeeds.
  if (::SetWindowRgn(GetHwnd(), region.Get(), TRUE)) region.Release();
}
