#include "windows/window_common.h"

#include "app/global_module.h"
#include "app/paths.h"
#include "windows/form_login.h"

void ShowOnWorkArea(HWND hwnd, bool keepPosition) {
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

void CentreOnWorkArea(HWND hwnd, int width, int height) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(hwnd, HWND_TOP, (work.right - width) / 2, (work.bottom - height) / 2, width,
                 height, SWP_SHOWWINDOW);
}

bool OpenOperatorPage(const CKVBaseControl* hit, const OperatorPageButtons& buttons) {
  if (hit == nullptr) return false;
  if (hit == buttons.service) {
    OpenUrl(CustomerServiceUrl());
  } else if (hit == buttons.recharge) {
    OpenUrl(GetRechargeUrl());
  } else if (hit == buttons.official || hit == buttons.forum) {
    OpenUrl(OfficialPageUrl());
  } else {
    return false;
  }
  return true;
}
