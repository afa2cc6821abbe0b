#include "windows/form_back.h"

#include "app/global_module.h"

void CFormBack::Initialize() {
  Create(g_globalModule.windowClass, g_globalModule.title, g_globalModule.hInstance, nullptr);
}

LRESULT CFormBack::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CKVForm::HandleMessage(hwnd, message, wParam, lParam) == 0) return 0;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}
