#include "ui/control.h"

CKVBaseControl::CKVBaseControl() : m_cursor(::LoadCursorW(nullptr, IDC_ARROW)) {}

CKVBaseControl::~CKVBaseControl() = default;

bool CKVBaseControl::OnLButtonDown(WPARAM, const POINT*) {
  ::SetCursor(m_cursor);
  return false;
}

bool CKVBaseControl::OnLButtonUp(WPARAM, const POINT*) {
  ::SetCursor(m_cursor);
  return false;
}

bool CKVBaseControl::OnMouseMove(WPARAM, const POINT* point) {
  if (HitTest(point)) ::SetCursor(m_cursor);
  return false;
}

bool CKVBaseControl::OnLButtonDblClk(WPARAM, const POINT*) { return false; }

bool CKVBaseControl::OnMouseWheel(WPARAM, const POINT*) { return false; }

void CKVBaseControl::Draw(HDC) {}

void CKVBaseControl::SetRect(const RECT* rect) { m_rect = *rect; }

void CKVBaseControl::SetAnchorMargins(const RECT* margins) {
  m_anchorMargins = *margins;
  UpdateLayout(nullptr);
}

RECT* CKVBaseControl::GetRect(RECT* out) {
  *out = m_rect;
  return out;
}

std::wstring CKVBaseControl::GetTypeName() { return m_typeName; }

void CKVBaseControl::UpdateLayout(const POINT* offset) {
  if (m_align.compare(0, 5, L"right") == 0 && m_align.size() >= 5) {
    RECT client{};
    ::GetClientRect(m_hwndHost, &client);
    const LONG width = client.right - client.left;
    const RECT anchored{width - m_anchorMargins.left, m_anchorMargins.top,
                        width - m_anchorMargins.right, m_anchorMargins.bottom};
    SetRect(&anchored);
  }
  if (offset != nullptr) ::OffsetRect(&m_rect, offset->x, offset->y);
}

bool CKVBaseControl::HitTest(const POINT* point) {
  return m_visible && m_enabled && ::PtInRect(&m_rect, *point);
}

void CKVBaseControl::SetParentControl(CKVBaseControl* parent) { m_parent = parent; }

void CKVBaseControl::SetVisible(bool visible, bool redraw) {
  if (m_visible == visible) return;
  m_visible = visible;
  if (redraw) Redraw();
}

void CKVBaseControl::SetEnabled(bool enabled, bool redraw) {
  if (m_enabled == enabled) return;
  m_enabled = enabled;
  if (redraw) Redraw();
}

void CKVBaseControl::Redraw() {
  if (m_hwndHost == nullptr) return;
  if (m_postPaint) {
    ::PostMessageW(m_hwndHost, WM_PAINT, 0, 0);
    return;
  }
  ::RedrawWindow(m_hwndHost, &m_rect, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW);
}

INT_PTR CKVBaseControl::ReservedHook(INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR) { return 0; }
