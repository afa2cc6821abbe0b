// Pieces the application windows share: presenting a window centred on the
// work area, opening a form's page in its browser view, and the operator's
// pages behind the text buttons of the login and game windows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "browser/browser_view.h"
#include "ui/control.h"

// Shows `hwnd` on top (topmost with the TopMost setting) without redrawing it,
// centred on the work area, or where it is with `keepPosition`. A window that
// moves is hidden first so that it never shows on its way.
void ShowOnWorkArea(HWND hwnd, bool keepPosition);

// Moves `hwnd` to the centre of the work area at `width` x `height` and shows
// it, not yet redrawn.
void CentreOnWorkArea(HWND hwnd, int width, int height);

// Creates `view` in `host` at `at`, sends its notifications to `form`'s
// `handler`, keeps new windows to the form, and starts loading `url`.
template <typename Form>
void OpenPageView(CBrowserView& view, HWND host, const RECT& at, const wchar_t* url, Form* form,
                  void (Form::*handler)(unsigned, std::uintptr_t, std::intptr_t)) {
  view.Create(host, at, L"about:blank");
  SubscribeWebNotify(view.m_notify, form, handler);
  view.m_blockNewWindows = true;
  view.Navigate(url);
}

// The text buttons that lead to the operator's pages.
struct OperatorPageButtons {
  const CKVBaseControl* service;
  const CKVBaseControl* recharge;
  const CKVBaseControl* official;
  const CKVBaseControl* forum;
};

// Opens the page behind `hit` in the web browser; false when `hit` is none of
// `buttons`.
bool OpenOperatorPage(const CKVBaseControl* hit, const OperatorPageButtons& buttons);
