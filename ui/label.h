// CKVLabel: one line of text in a GDI font, drawn by its form. It can size
// itself to the text, shorten the text with "...", change colour and underline
// while hovered (link mode) and grey out while disabled.
#pragma once

#include <string>

#include "app/handles.h"
#include "ui/control.h"

class CKVLabel : public CKVBaseControl {
 public:
  CKVLabel();
  ~CKVLabel() override;

  bool OnMouseMove(WPARAM wParam, const POINT* point) override;
  void Draw(HDC hdc) override;

  virtual void SetText(const wchar_t* text, bool redraw);
  // exactHeight > 0 wins; otherwise "微软雅黑" is drawn 5 pixels smaller.
  virtual void SetFontSize(int size, int exactHeight, bool redraw);
  virtual void SetFontName(const wchar_t* face, bool redraw);
  virtual void SetLinkUnderline(int normalUnderline, int hoverUnderline, bool redraw);
  virtual void SetUnderline(int underline, bool redraw);
  virtual std::wstring GetText();
  virtual void SetStateColors(COLORREF normal, COLORREF hover, COLORREF selected, bool redraw);
  virtual void SetLinkColors(COLORREF normal, COLORREF hover, bool redraw);
  virtual void SetColor(COLORREF color, bool redraw);
  virtual void SetDisabledColor(COLORREF color);
  virtual void SetBackColor(COLORREF color, bool opaque);
  // Adopts the font.
  virtual void SetFont(HFONT font);
  virtual void SetFormat(UINT format);
  virtual void SetAutoWidth(bool autoWidth, int maxWidth);
  virtual int GetTextWidth();
  virtual void SetBold(bool bold, bool redraw);
  virtual void SetTailLength(int length);

  // The font handle in use (null until one is made or given).
  HFONT GetFontHandle() const { return m_font.Get(); }

  std::wstring m_text;
  int m_fontSize = 12;
  std::wstring m_fontName = L"宋体";
  int m_underline = 0;
  COLORREF m_color = 0;
  COLORREF m_backColor = 0;
  bool m_opaque = false;
  ScopedFont m_font;
  bool m_fontDirty = false;
  UINT m_format = 0;
  bool m_autoWidth = true;
  int m_maxWidth = 0;
  int m_textWidth = -1;
  int m_weight = 0;
  int m_tailLength = 0;
  bool m_multiLine = false;
  int m_lineSpacing = 10;
  bool m_linkMode = false;
  bool m_stateColorMode = false;
  bool m_hover = false;
  int m_hoverUnderline = 0;
  int m_normalUnderline = 0;
  COLORREF m_selectedColor = 0;
  COLORREF m_hoverColor = 0;
  COLORREF m_normalColor = 0;
  COLORREF m_disabledColor = 0xAAAAAA;

 protected:
  // Recreates the font when a property changed since it was made.
  void EnsureFont();
  // Widens the rectangle so that the next measurement is not cut short.
  void WidenForMeasuring();
};
