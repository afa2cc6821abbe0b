#include "app/run.h"

#include <windows.h>
#include <ole2.h>
#include <shldisp.h>

#include "app/com_ptr.h"
#include "app/global_module.h"
#include "app/message_loop.h"
#include "app/messages.h"
#include "app/switches.h"
#include "windows/form_game.h"
#include "windows/form_qqlogin.h"

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
  // A game or QQ login window may still be open (the client was told to quit
  // from outside); its browser control must go before COM does.
  g_globalModule.ReleaseAllForms();
  return exitCode;
}

}  // namespace

int AppMain(HINSTANCE instance) {
  ::CoInitialize(nullptr);
  ::OleInitialize(nullptr);
  PrepareMainThread(instance);
  const int exitCode = Run();
  ::OleUninitialize();
  ::CoUninitialize();
  return exitCode;
}

void PrepareMainThread(HINSTANCE instance) {
  g_globalModule.hInstance = instance;
  ::LoadStringW(instance, 103, g_globalModule.title, 100);
  ::LoadStringW(instance, 109, g_globalModule.windowClass, 100);
  RegisterMainWindowClass(instance);
}

void CreateStartWindows() {
  const RECT frame{0, 0, 1024, 700};
  g_globalModule.backForm.SetRect(&frame);
  g_globalModule.backForm.Initialize();
  ShowOffScreen(g_globalModule.backForm);
  g_globalModule.loginForm.SetRect(&frame);
  g_globalModule.loginForm.Initialize();
  ShowOffScreen(g_globalModule.loginForm);
}

int Run() {
  if (HasCommandLineSwitch(L"/setupsucc") || HasCommandLineSwitch(L"/uninstallsucc")) {
    CreateHiddenLoginWindow(g_globalModule.loginForm);
  } else if (HasCommandLineSwitch(L"/ShowDeskTop")) {
    CreateHiddenLoginWindow(g_globalModule.loginForm);
    ShowDesktop();
    ::PostMessageW(g_globalModule.loginForm.GetHwnd(), WM_QUITAPP, 0, 0);
  } else {
    CreateStartWindows();
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

namespace {

void EnterGame() {
  g_globalModule.ReleaseFinishedForms();
  CFormGame* game = g_globalModule.NewGameForm();
  const RECT frame{0, 0, 1250, 700};
  game->SetRect(&frame);
  const std::wstring url = g_globalModule.loginForm.GetEnterGameUrl();
  game->Initialize(url.c_str());
  game->Maximize();
  ::ShowWindow(g_globalModule.loginForm.GetHwnd(), SW_HIDE);
  ::ShowWindow(g_globalModule.backForm.GetHwnd(), SW_HIDE);
}

void OpenQQLogin() {
  g_globalModule.ReleaseFinishedForms();
  CFormQQLogin* qq = g_globalModule.NewQQLoginForm();
  const RECT frame{0, 0, 880, 420};
  qq->SetRect(&frame);
  const std::wstring url = g_globalModule.loginForm.GetQQLoginUrl();
  qq->Initialize(url.c_str());
  qq->CenterAndShow();
}

void ReturnToLogin() {
  g_globalModule.gameForm = nullptr;
  g_globalModule.loginForm.ReturnFromGame();
  const HWND back = g_globalModule.backForm.GetHwnd();
  const HWND login = g_globalModule.loginForm.GetHwnd();
  ::SetWindowPos(back, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  ::ShowWindow(back, SW_SHOWNA);
  ::ShowWindow(login, SW_SHOWNA);
  ::SetForegroundWindow(login);
  g_globalModule.loginForm.RedrawControls(false);
  // The game window object is freed once this destruction has run its course.
  ::PostMessageW(login, WM_RELEASEFORMS, 0, 0);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERGAME) {
    EnterGame();
    return 0;
  }
  if (message == WM_RELEASEFORMS) {
    g_globalModule.ReleaseFinishedForms();
    return 0;
  }
  if (message == WM_QQLOGIN) OpenQQLogin();

  CFormQQLogin* qq = g_globalModule.qqLoginForm;
  if (qq != nullptr && hwnd == qq->GetHwnd()) {
    return qq->HandleMessage(hwnd, message, wParam, lParam);
  }
  if (hwnd == g_globalModule.loginForm.GetHwnd()) {
    return g_globalModule.loginForm.HandleMessage(hwnd, message, wParam, lParam);
  }
  if (hwnd == g_globalModule.backForm.GetHwnd()) {
    return g_globalModule.backForm.HandleMessage(hwnd, message, wParam, lParam);
  }
  CFormGame* game = g_globalModule.gameForm;
  if (game != nullptr && hwnd == game->GetHwnd()) {
    if (message != WM_DESTROY) return game->HandleMessage(hwnd, message, wParam, lParam);
    game->RemoveTrayIcon();
    ReturnToLogin();
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}
