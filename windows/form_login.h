// CFormLogin: the login window. It owns the process's life: its WM_DESTROY
// ends the message loop, and other programs close the client through it.
#pragma once

#include "ui/form.h"

class CFormLogin : public CKVForm {
 public:
  // Creates the window, owned by the backdrop window.
  virtual void Initialize();

  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;

  // Asks "此操作将退出游戏，是否继续？"; true when the player answered Yes.
  bool ConfirmExit();
};
