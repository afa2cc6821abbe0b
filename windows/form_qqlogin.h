// CFormQQLogin: the small "账号安全登录" window in which an outside site's
// (OAuth) login page runs, under a 27-pixel title bar with a close button.
#pragma once

#include <cstdint>

#include "browser/browser_view.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/image.h"
#include "ui/image_control.h"
#include "ui/label.h"

class CFormQQLogin : public CKVForm {
 public:
  bool OnLButtonDown(WPARAM wParam, const POINT* point) override;
  bool OnLButtonUp(WPARAM wParam, const POINT* point) override;
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;

  // Builds the window and opens `url`.
  virtual bool Initialize(const wchar_t* url);

  // 880 x 420, centred on the work area, shown.
  bool CenterAndShow();
  void Layout();
  void OnWebNotify(unsigned id, std::uintptr_t param, std::intptr_t lparam);

  CKVImage m_background;
  CKVImage m_leftBorder;
  CKVImage m_rightBorder;
  CKVImage m_bottomBorder;
  CKVButton m_closeButton;
  CKVLabel m_titleLabel;
  CBrowserView m_view;
};
