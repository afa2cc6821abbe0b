#include "ui/button.h"

#include <algorithm>

CKVButton::CKVButton() {
  m_typeName = L"CKVButton";
  m_format = DT_CENTER;
  m_autoWidth = false;
}

CKVButton::~CKVButton() {
  // The alias goes first so that nothing shows a released bitmap.
  m_current.Destroy();
}

bool CKVButton::OnLButtonDown(WPARAM, const POINT*) {
  ::SetCursor(m_cursor);
  SetState(kPressed, true);
  return false;
}

bool CKVButton::OnLButtonUp(WPARAM, const POINT*) {
  ::SetCursor(m_cursor);
  SetState(kReleased, true);
  return false;
}

bool CKVButton::OnMouseMove(WPARAM wParam, const POINT* point) {
  CKVLabel::OnMouseMove(wParam, point);
  SetState(HitTest(point) ? kHover : kNormal, true);
  return false;
}

int CKVButton::GetImageWidth() {
  if (!m_current.IsNull()) return m_current.GetWidth();
  return m_normal.IsNull() ? 0 : m_normal.GetWidth();
}

int CKVButton::GetImageHeight() {
  if (!m_current.IsNull()) return m_current.GetHeight();
  return m_normal.IsNull() ? 0 : m_normal.GetHeight();
}

bool CKVButton::Show(const CImage& image) {
  if (image.IsNull()) return false;
  m_current.AliasOf(image);
  return true;
}

void CKVButton::SetState(int state, bool redraw) {
  if (state == m_state) return;
  if (state != kReapply) m_state = state;
  const bool reapply = state == kReapply;
  bool changed = false;

  if (m_selected) {
    // Hover and pressed: the selected colour in state-colour mode, else the link hover colour.
    auto activeColor = [this] {
      if (m_stateColorMode) {
        SetColor(m_selectedColor, true);
      } else if (m_linkMode) {
        SetColor(m_hoverColor, true);
      }
    };
    switch (m_state) {
      case kHover:
      case kReleased:
        activeColor();
        changed = Show(m_selHover) || (reapply && Show(m_selNormal));
        break;
      case kPressed:
        activeColor();
        changed = Show(m_selPressed) || (reapply && Show(m_selNormal));
        break;
      default:
        if (m_stateColorMode) {
          SetColor(m_selectedColor, true);
        } else if (m_linkMode) {
          SetColor(m_normalColor, true);
        }
        changed = Show(m_selNormal);
        break;
    }
  }
  if (!changed) {
    switch (m_state) {
      case kHover:
      case kReleased:
        if (m_linkMode) SetColor(m_hoverColor, true);
        changed = Show(m_hoverImage) || (reapply && Show(m_normal));
        break;
      case kPressed:
        if (m_linkMode) SetColor(m_hoverColor, true);
        changed = Show(m_pressed) || (reapply && Show(m_normal));
        break;
      default:
        if (m_linkMode) SetColor(m_normalColor, true);
        changed = Show(m_normal);
        break;
    }
  }
  if (m_visible && m_enabled && redraw && (changed || reapply)) Redraw();
}

void CKVButton::SetEnabled(bool enabled, bool redraw) {
  if (enabled) {
    if (!(m_selected && Show(m_selNormal))) Show(m_normal);
  } else {
    m_current.AliasOf(m_normal);
    if (!m_selected) {
      Show(m_disabled);
    } else if (!Show(m_selDisabled)) {
      Show(m_selNormal);
    }
  }
  if (m_enabled != enabled) {
    m_enabled = enabled;
    if (redraw) Redraw();
  }
}

void CKVButton::CopyPicture(HDC hdc, const SliceBox& d, const SliceBox& s, BYTE alpha) {
  if (m_hasAlpha) {
    m_current.AlphaBlend(hdc, d.x, d.y, d.width, d.height, s.x, s.y, s.width, s.height, alpha);
  } else {
    m_current.TransparentBlt(hdc, d.x, d.y, d.width, d.height, s.x, s.y, s.width, s.height);
  }
}

void CKVButton::Draw(HDC hdc) {
  if (!m_visible) return;
  if (!m_current.IsNull()) {
    const int w = GetImageWidth();
    const int h = GetImageHeight();
    const auto pieces =
        SlicePieces(m_slice, m_rect.left, m_rect.top, m_rect.right, m_rect.bottom, w, h);
    if (!m_fitImage) {
      m_current.BitBlt(hdc, 0, 0);
    } else if (!pieces.empty()) {
      for (const SlicePiece& p : pieces) CopyPicture(hdc, p.dest, p.source, 255);
    } else {
      CopyPicture(
          hdc,
          PlaceWholePicture(m_rect.left, m_rect.top, m_rect.right, m_rect.bottom, w, h, m_stretch),
          SliceBox{0, 0, w, h}, 254);
    }
  }
  if (!m_text.empty()) DrawText(hdc);
}

void CKVButton::DrawText(HDC hdc) {
  const RECT area{m_rect.left + m_textMargins.left, m_rect.top + m_textMargins.top,
                  m_rect.right - m_textMargins.right, m_rect.bottom - m_textMargins.bottom};
  const int saved = ::SaveDC(hdc);
  ::SetBkMode(hdc, TRANSPARENT);
  ::SetTextColor(hdc, m_enabled ? m_color : m_disabledColor);
  EnsureFont();
  {
    ScopedSelectObject font(
        hdc, m_font ? static_cast<HGDIOBJ>(m_font.Get()) : ::GetCurrentObject(hdc, OBJ_FONT));
    std::wstring shown = m_text;
    RECT measured = area;
    int height =
        ::DrawTextW(hdc, shown.c_str(), static_cast<int>(shown.size()), &measured, DT_CALCRECT);
    if (measured.right > area.right) {
      const size_t length = m_text.size();
      const size_t tailLength =
          m_tailLength > 0 ? std::min(static_cast<size_t>(m_tailLength), length) : 0;
      const std::wstring tail = m_text.substr(length - tailLength);
      for (size_t i = 0; tailLength + i < length; ++i) {
        shown = m_text.substr(0, i) + L"..." + tail;
        height =
            ::DrawTextW(hdc, shown.c_str(), static_cast<int>(shown.size()), &measured, DT_CALCRECT);
        if (measured.right + 16 > area.right) break;
      }
    }
    RECT box = area;
    ::InflateRect(&box, 0, -((box.bottom - box.top - height) / 2));
    ::DrawTextW(hdc, shown.c_str(), static_cast<int>(shown.size()), &box, m_format);
  }
  ::RestoreDC(hdc, saved);
}

void LoadButtonImages(UINT normalId, HINSTANCE module, CKVButton* button, UINT hoverId,
                      UINT pressedId) {
  button->m_hasAlpha = LoadResourceImage(module, button->m_normal, normalId);
  LoadResourceImage(module, button->m_hoverImage, hoverId);
  LoadResourceImage(module, button->m_pressed, pressedId);
  button->m_current.AliasOf(button->m_normal);
}
