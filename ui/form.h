// CKVForm: a borderless top-level window that draws itself from an ordered list
// of windowless child controls. All forms share one window class and window
// procedure, which hands each message to the form's HandleMessage.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/control.h"

class CKVForm : public CKVBaseControl {
 public:
  CKVForm() = default;
  ~CKVForm() override;

  bool OnLButtonDown(WPARAM wParam, const POINT* point) override;
  bool OnMouseMove(WPARAM wParam, const POINT* point) override;
  bool OnMouseWheel(WPARAM wParam, const POINT* point) override;
  void Draw(HDC hdc) override;
  void UpdateLayout(const POINT* offset) override;

  virtual bool AddControl(CKVBaseControl* child);
  virtual bool RemoveControl(CKVBaseControl* child);
  virtual bool OnMouseLeave(WPARAM wParam, const POINT* point);
  virtual bool OnMouseHover(WPARAM wParam, const POINT* point);
  virtual void OnSize();
  virtual void OnMove();
  virtual void OnActivate();
  virtual void TrackMouse();
  virtual LRESULT SendSysCommand(int code, HWND target);
  virtual bool Create(const wchar_t* className, const wchar_t* windowName, HINSTANCE instance,
                      HWND owner);
  virtual bool ShowCentered(int showCommand);
  virtual void Hide();
  virtual void Minimize();
  virtual void BringToFront();
  virtual bool Close();
  virtual void RedrawControls(bool onlyMarked);
  virtual void ReservedFormHook();
  virtual HWND GetHwnd();
  // 0 for the messages the form handled, 1 for all others (the derived form
  // then handles them or passes them to DefWindowProcW).
  virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL PreTranslateMessage(MSG* msg);

  // The topmost child under the point (last added wins), or null.
  CKVBaseControl* ControlAt(const POINT* point);
  void ApplyWindowRegion();

  bool m_tracking = false;
  bool m_hoverSeen = false;
  bool m_roundCorners = false;
  HWND m_hwnd = nullptr;
  std::vector<CKVBaseControl*> m_controls;
};
