#include "windows/form_back.h"

#include "app/global_module.h"
#include "app/handles.h"
#include "ui/core/pixels.h"
#include "ui/image.h"
#include "windows/window_common.h"

namespace {

constexpr UINT kBackdropPicture = 170;
constexpr UINT_PTR kPaintTimer = 1;

}  // namespace

bool CFormBack::Initialize() {
  Create(g_globalModule.windowClass, g_globalModule.title, g_globalModule.hInstance, nullptr);
  const HWND hwnd = GetHwnd();
  // Captionless, but the taskbar button keeps a system menu and can minimise.
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, (style & 0x7F30FF7F) | WS_SYSMENU | WS_MINIMIZEBOX);
  LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  exStyle =
      (exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE)) | WS_EX_LAYERED;
  if (g_globalModule.topMost == 1) exStyle |= WS_EX_TOPMOST;
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);
  // At the screen origin, where applying the picture would put it. The picture
  // itself (tens of milliseconds of decoding) waits for a timer: timers come
  // after posted messages, so the login page's request goes out first.
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetTimer(hwnd, kPaintTimer, USER_TIMER_MINIMUM, nullptr);
  return true;
}

void CFormBack::PaintLayered(bool keepPosition) {
  const HWND hwnd = GetHwnd();
  RECT rect{};
  GetRect(&rect);
  SIZE size{rect.right - rect.left, rect.bottom - rect.top};
  ScopedWindowDc windowDc(hwnd);
  CImage surface;  // zero-filled: transparent black where nothing is drawn
  if (!surface.Create(size.cx, size.cy, 32, true)) return;
  {
    CImageDc surfaceDc(surface);
    const HRSRC png =
        ::FindResourceW(g_globalModule.hInstance, MAKEINTRESOURCEW(kBackdropPicture), L"PNG");
    if (png != nullptr) RenderPngResource(g_globalModule.hInstance, png, surfaceDc.Get());
    POINT origin{0, 0};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(hwnd, windowDc.Get(), keepPosition ? nullptr : &origin, &size,
                          surfaceDc.Get(), &source, 0, &blend, ULW_ALPHA);
  }
}

bool CFormBack::RenderPngResource(HINSTANCE module, HRSRC png, HDC target) {
  CImage picture;
  if (!DecodePngResource(module, png, picture)) return false;
  if (picture.IsNull()) return true;
  if (picture.GetBPP() == 32) {
    PremultiplyRowsRounded(picture.GetBits(), picture.GetWidth(), picture.GetHeight(),
                           picture.GetPitch());
  }
  const int w = picture.GetWidth();
  const int h = picture.GetHeight();
  // Over a transparent surface a per-pixel blend leaves exactly the
  // premultiplied picture.
  if (picture.HasAlpha()) {
    picture.AlphaBlend(target, 0, 0, w, h, 0, 0, w, h, 255);
  } else {
    picture.BitBlt(target, 0, 0);
  }
  return true;
}

bool CFormBack::OnLButtonDown(WPARAM, const POINT*) {
  // The system's move loop drags the window as if by its caption.
  ::SendMessageW(GetHwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  return true;
}

void CFormBack::OnMove() {
  POINT origin{0, 0};
  ::ClientToScreen(GetHwnd(), &origin);
  ::SetWindowPos(g_globalModule.loginForm.GetHwnd(), HWND_TOP, origin.x, origin.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CFormBack::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kPaintTimer) {
    ::KillTimer(hwnd, kPaintTimer);
    // Start-up has moved the window off screen meanwhile; leave it there.
    PaintLayered(true);
    return 0;
  }
  if (CKVForm::HandleMessage(hwnd, message, wParam, lParam) == 0) return 0;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void CFormBack::PresentBackdrop(bool keepPosition) {
  const HWND hwnd = GetHwnd();
  LONG_PTR exStyle = (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~WS_EX_TOOLWINDOW) | WS_EX_APPWINDOW;
  if (g_globalModule.topMost == 1) exStyle |= WS_EX_TOPMOST;
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);
  ShowOnWorkArea(hwnd, keepPosition);
}
