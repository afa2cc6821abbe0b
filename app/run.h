// The program's entry and the life of its main thread: run modes, the shared
// window class and window procedure, and the message loop.
#pragma once

#include <windows.h>

class CKVForm;

// Everything wWinMain does; returns the process's exit code.
int AppMain(HINSTANCE instance);

// Sets the module's instance and strings and registers the shared window class.
void PrepareMainThread(HINSTANCE instance);
// A normal start's windows: backdrop and login, off screen, the login page loading.
void CreateStartWindows();

int Run();
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool CreateHiddenLoginWindow(CKVForm& form);
void ShowOffScreen(CKVForm& form);
void ShowDesktop();
