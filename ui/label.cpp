#include "ui/label.h"

CKVLabel::CKVLabel() { m_typeName = L"CKVLabel"; }

CKVLabel::~CKVLabel() = default;

void CKVLabel::EnsureFont() {
  if (!m_fontDirty) return;
  m_font.Reset(::CreateFontW(m_fontSize, 0, 0, 0, m_weight, 0, static_cast<DWORD>(m_underline), 0,
                             ANSI_CHARSET, 0, 0, 0, FF_SWISS, m_fontName.c_str()));
  m_fontDirty = false;
}

void CKVLabel::WidenForMeasuring() {
  if (m_autoWidth) m_rect.right = m_rect.left + 800;
}

void CKVLabel::SetText(const wchar_t* text, bool redraw) {
  WidenForMeasuring();
  m_text = text != nullptr ? text : L"";
  m_fontDirty = true;
  m_textWidth = -1;
  if (redraw) Redraw();
}

void CKVLabel::SetFontSize(int size, int exactHeight, bool redraw) {
  WidenForMeasuring();
  m_fontSize = size;
  if (exactHeight > 0) {
    m_fontSize = exactHeight;
  } else if (m_fontName == L"微软雅黑") {
    m_fontSize = size - 5;
  }
  m_fontDirty = true;
  if (redraw) Redraw();
}

void CKVLabel::SetFontName(const wchar_t* face, bool redraw) {
  WidenForMeasuring();
  m_fontName = face != nullptr ? face : L"";
  m_fontDirty = true;
  if (redraw) Redraw();
}

void CKVLabel::SetLinkUnderline(int normalUnderline, int hoverUnderline, bool redraw) {
  m_linkMode = true;
  m_normalUnderline = normalUnderline;
  m_hoverUnderline = hoverUnderline;
  m_underline = normalUnderline;
  if (redraw) Redraw();
}

void CKVLabel::SetUnderline(int underline, bool redraw) {
  m_underline = underline;
  m_fontDirty = true;
  if (redraw) Redraw();
}

std::wstring CKVLabel::GetText() { return m_text; }

void CKVLabel::SetStateColors(COLORREF normal, COLORREF hover, COLORREF selected, bool redraw) {
  m_linkMode = true;
  m_stateColorMode = true;
  m_normalColor = normal;
  m_hoverColor = hover;
  m_selectedColor = selected;
  m_color = normal;
  if (redraw) Redraw();
}

void CKVLabel::SetLinkColors(COLORREF normal, COLORREF hover, bool redraw) {
  m_linkMode = true;
  m_normalColor = normal;
  m_hoverColor = hover;
  m_color = normal;
  if (redraw) Redraw();
}

void CKVLabel::SetColor(COLORREF color, bool redraw) {
  if (color == m_color) return;
  m_color = color;
  m_fontDirty = true;
  if (redraw) Redraw();
}

void CKVLabel::SetDisabledColor(COLORREF color) { m_disabledColor = color; }

void CKVLabel::SetBackColor(COLORREF color, bool opaque) {
  if (color == m_backColor) return;
  m_backColor = color;
  m_opaque = opaque;
  Redraw();
}

void CKVLabel::SetFont(HFONT font) { m_font.Reset(font); }

void CKVLabel::SetFormat(UINT format) {
  m_format = format;
  if (format != 0) m_autoWidth = false;
}

void CKVLabel::SetAutoWidth(bool autoWidth, int maxWidth) {
  m_autoWidth = autoWidth;
  m_maxWidth = maxWidth;
}

void CKVLabel::SetBold(bool bold, bool redraw) {
  const int weight = bold ? FW_BOLD : 0;
  if (weight == m_weight) return;
  m_weight = weight;
  m_fontDirty = true;
  if (redraw) Redraw();
}

void CKVLabel::SetTailLength(int length) { m_tailLength = length; }

int CKVLabel::GetTextWidth() {
  if (m_textWidth >= 0) return m_textWidth;
  ScopedWindowDc dc(m_hwndHost);
  if (!dc) return 0;
  const int saved = ::SaveDC(dc.Get());
  ::SetBkMode(dc.Get(), TRANSPARENT);
  ::SetTextColor(dc.Get(), m_color);
  EnsureFont();
  RECT measured = m_rect;
  {
    ScopedSelectObject font(dc.Get(), m_font.Get());
    ::DrawTextW(dc.Get(), m_text.c_str(), static_cast<int>(m_text.size()), &measured, DT_CALCRECT);
  }
  ::RestoreDC(dc.Get(), saved);
  int width = measured.right - measured.left;
  if (m_maxWidth != 0 && m_maxWidth < width) width = m_maxWidth;
  m_textWidth = width;
  return width;
}

bool CKVLabel::OnMouseMove(WPARAM, const POINT* point) {
  const bool inside = HitTest(point);
  if (inside) ::SetCursor(m_cursor);
  if (!m_linkMode) return false;
  if (inside && !m_hover) {
    m_hover = true;
    SetUnderline(m_hoverUnderline, false);
    SetColor(m_hoverColor, true);
  } else if (!inside && m_hover) {
    m_hover = false;
    SetUnderline(m_normalUnderline, false);
    SetColor(m_normalColor, true);
  }
  return false;
}

namespace {

// Height of the text; `box` keeps left and top and gets the text's extent.
int Measure(HDC dc, const std::wstring& text, RECT* box) {
  return ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), box, DT_CALCRECT);
}

}  // namespace

void CKVLabel::Draw(HDC hdc) {
  if (!m_visible) return;
  const int saved = ::SaveDC(hdc);
  if (m_opaque) {
    ::SetBkColor(hdc, m_backColor);
    ::SetBkMode(hdc, OPAQUE);
  } else {
    ::SetBkMode(hdc, TRANSPARENT);
  }
  ::SetTextColor(hdc, m_enabled ? m_color : m_disabledColor);
  EnsureFont();
  {
    // Without a font of its own the label uses the DC's current one.
    ScopedSelectObject font(
        hdc, m_font ? static_cast<HGDIOBJ>(m_font.Get()) : ::GetCurrentObject(hdc, OBJ_FONT));
    std::wstring shown = m_text;
    RECT measured = m_rect;
    const int height = Measure(hdc, shown, &measured);

    if (m_autoWidth) {
      const int width = measured.right - measured.left;
      m_rect.right = m_rect.left + (m_maxWidth > 0 && width > m_maxWidth ? m_maxWidth : width);
    }

    if (measured.right > m_rect.right && !m_text.empty()) {
      for (size_t i = 0; i < m_text.size(); ++i) {
        shown = i == 0 ? std::wstring(L"...") : m_text.substr(0, i) + L"...";
        Measure(hdc, shown, &measured);
        if (measured.right + 16 > m_rect.right) break;
      }
    }

    RECT box = m_rect;
    ::InflateRect(&box, 0, -((box.bottom - box.top - height) / 2));
    ::DrawTextW(hdc, shown.c_str(), static_cast<int>(shown.size()), &box, m_format);
  }
  ::RestoreDC(hdc, saved);
}
