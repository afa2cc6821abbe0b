#include "windows/form_login.h"

#include "app/global_module.h"
#include "app/messages.h"

void CFormLogin::Initialize() {
  Create(g_globalModule.windowClass, g_globalModule.title, g_globalModule.hInstance,
         g_globalModule.backForm.GetHwnd());
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

BOOL CFormLogin::PreTranslateMessage(MSG*) { return FALSE; }
