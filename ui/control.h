// CKVBaseControl: the base of every windowless control and of the form itself.
// A control has a rectangle in its host window's client coordinates, a cursor,
// visibility and enabled flags; the form routes mouse input, painting and
// layout to it through the virtual operations below (their order is fixed).
#pragma once

#include <windows.h>

#include <string>

class CKVBaseControl {
 public:
  CKVBaseControl();
  virtual ~CKVBaseControl();

  CKVBaseControl(const CKVBaseControl&) = delete;
  CKVBaseControl& operator=(const CKVBaseControl&) = delete;

  virtual bool OnLButtonDown(WPARAM wParam, const POINT* point);
  virtual bool OnLButtonUp(WPARAM wParam, const POINT* point);
  virtual bool OnMouseMove(WPARAM wParam, const POINT* point);
  virtual bool OnLButtonDblClk(WPARAM wParam, const POINT* point);
  virtual bool OnMouseWheel(WPARAM wParam, const POINT* point);
  virtual void Draw(HDC hdc);
  virtual void SetRect(const RECT* rect);
  virtual void SetAnchorMargins(const RECT* margins);
  virtual RECT* GetRect(RECT* out);
  virtual std::wstring GetTypeName();
  virtual void UpdateLayout(const POINT* offset);
  virtual bool HitTest(const POINT* point);
  virtual void SetParentControl(CKVBaseControl* parent);
  virtual void SetVisible(bool visible, bool redraw);
  virtual void SetEnabled(bool enabled, bool redraw);
  virtual void Redraw();
  virtual INT_PTR ReservedHook(INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR);

  RECT m_rect{};
  HWND m_hwndHost = nullptr;
  HCURSOR m_cursor = nullptr;
  CKVBaseControl* m_parent = nullptr;
  std::wstring m_typeName = L"CKVBaseControl";
  std::wstring m_align;
  RECT m_anchorMargins{};
  bool m_visible = true;
  bool m_enabled = true;
  bool m_marked = false;
  bool m_postPaint = false;
};
