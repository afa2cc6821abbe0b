// Stands in for a client that hangs: one hidden window of the client's class
// "QaBrisel" that ignores WM_QUITAPP. It ends on WM_CLOSE, or by itself after
// two minutes so that it can never outlive a test run for long.
#include <windows.h>

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 120000;

LRESULT CALLBACK StuckWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      // WM_QUITAPP included: nothing happens.
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = StuckWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"QaBrisel";
  if (::RegisterClassW(&windowClass) == 0) return 1;
  const HWND hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"QaBrisel", L"Ostrevane", WS_POPUP, 0, 0,
                                      10, 10, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;
  ::SetTimer(hwnd, kLifetimeTimer, kLifetimeMs, nullptr);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::DispatchMessageW(&msg);
  }
  return 0;
}
