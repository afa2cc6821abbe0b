// Baseline for the start-up benchmark: the least a program can do for the
// show-desktop mode. Registers a class, creates one hidden window, toggles the
// desktop through the shell object, exits.
#include <windows.h>
#include <shldisp.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ::CoInitialize(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"MinimalShowDesktop";
  ::RegisterClassExW(&wc);
  const HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, instance, nullptr);
  IShellDispatch4* shell = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_ALL, IID_IShellDispatch4,
                                   reinterpret_cast<void**>(&shell)))) {
    shell->ToggleDesktop();
    shell->Release();
  }
  ::DestroyWindow(hwnd);
  ::CoUninitialize();
  return 0;
}
