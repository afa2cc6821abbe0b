#include "windows/form_back.h"

#include "app/global_module.h"

void CFormBack::Initialize() {
  Create(g_globalModule.windowClass, g_globalModule.title, g_globalModule.hInstance, nullptr);
}

LRESULT CFormBack::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CKVForm::HandleMessage(hwnd, message, wParam, lParam) == 0) return 0;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void CFormBack::PresentBackdrop(bool keepPosition) {
  const HWND hwnd = GetHwnd();
  LONG_PTR exStyle = (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~WS_EX_TOOLWINDOW) | WS_EX_APPWINDOW;
  if (g_globalModule.topMost == 1) exStyle |= WS_EX_TOPMOST;
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT client{};
  ::GetClientRect(hwnd, &client);
  UINT flags = SWP_NOSIZE | SWP_NOREDRAW | SWP_SHOWWINDOW;
  if (keepPosition) {
    flags |= SWP_NOMOVE;
  } else {
    ::ShowWindow(hwnd, SW_HIDE);
  }
  ::SetWindowPos(hwnd, g_globalModule.topMost == 1 ? HWND_TOPMOST : HWND_TOP,
                 (work.right - client.right) / 2, (work.bottom - client.bottom) / 2, 0, 0, flags);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
}
