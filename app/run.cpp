#include "app/run.h"

#include <windows.h>
#include <ole2.h>
#include <shldisp.h>

#include "app/com_ptr.h"
#include "app/global_module.h"
#include "app/message_loop.h"
#include "app/messages.h"
#include "app/switches.h"

namespace {

void RegisterMainWindowClass(HINSTANCE instance) {
  const HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(151));
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = g_globalModule.windowClass;
  ::RegisterClassExW(&wc);
}

int RunMessageLoop() {
  CMessageLoop loop;
  loop.AddMessageFilter(&g_globalModule);
  const int exitCode = loop.Run();
  loop.RemoveMessageFilter(&g_globalModule);
  return exitCode;
}

}  // namespace

int AppMain(HINSTANCE instance) {
  ::CoInitialize(nullptr);
  ::OleInitialize(nullptr);
  g_globalModule.hInstance = instance;
  ::LoadStringW(instance, 103, g_globalModule.title, 100);
  ::LoadStringW(instance, 109, g_globalModule.windowClass, 100);
  RegisterMainWindowClass(instance);
  const int exitCode = Run();
  ::OleUninitialize();
  ::CoUninitialize();
  return exitCode;
}

int Run() {
  if (HasCommandLineSwitch(L"/setupsucc") || HasCommandLineSwitch(L"/uninstallsucc")) {
    CreateHiddenLoginWindow(g_globalModule.loginForm);
  } else if (HasCommandLineSwitch(L"/ShowDeskTop")) {
    CreateHiddenLoginWindow(g_globalModule.loginForm);
    ShowDesktop();
    ::PostMessageW(g_globalModule.loginForm.GetHwnd(), WM_QUITAPP, 0, 0);
  } else {
    const RECT frame{0, 0, 1024, 700};
    g_globalModule.backForm.SetRect(&frame);
    g_globalModule.backForm.Initialize();
    ShowOffScreen(g_globalModule.backForm);
    g_globalModule.loginForm.SetRect(&frame);
    g_globalModule.loginForm.Initialize();
    ShowOffScreen(g_globalModule.loginForm);
    StartIconAnimation();
  }
  return RunMessageLoop();
}

bool CreateHiddenLoginWindow(CKVForm& form) {
  form.Create(g_globalModule.windowClass, g_globalModule.title, g_globalModule.hInstance, nullptr);
  const HWND hwnd = form.GetHwnd();
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, (style & 0x7F30FF7F) | 0x000A0000);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, (exStyle & ~0x00040101) | WS_EX_TOOLWINDOW);
  return true;
}

void ShowOffScreen(CKVForm& form) {
  const HWND hwnd = form.GetHwnd();
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
  ::SetWindowPos(hwnd, g_globalModule.topMost == 1 ? HWND_TOPMOST : HWND_TOP, -2000, -2000, 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  ::UpdateWindow(hwnd);
}

void ShowDesktop() {
  ScopedComInit com;
  ComPtr<IShellDispatch4> shell;
  if (SUCCEEDED(::CoCreateInstance(
          CLSID_Shell, nullptr,
          CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
          IID_IShellDispatch4, shell.ReceiveVoid()))) {
    shell->ToggleDesktop();
  }
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The game and QQ login windows join this routing with the application windows.
  if (hwnd == g_globalModule.loginForm.GetHwnd()) {
    return g_globalModule.loginForm.HandleMessage(hwnd, message, wParam, lParam);
  }
  if (hwnd == g_globalModule.backForm.GetHwnd()) {
    return g_globalModule.backForm.HandleMessage(hwnd, message, wParam, lParam);
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}
