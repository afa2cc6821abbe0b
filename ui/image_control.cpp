#include "ui/image_control.h"

CKVImage::CKVImage() { m_typeName = L"CKVImage"; }

CKVImage::~CKVImage() = default;

int CKVImage::GetImageWidth() { return m_image.IsNull() ? 0 : m_image.GetWidth(); }

int CKVImage::GetImageHeight() { return m_image.IsNull() ? 0 : m_image.GetHeight(); }

void CKVImage::Draw(HDC hdc) {
  if (!m_visible || m_image.IsNull()) return;
  const int w = GetImageWidth();
  const int h = GetImageHeight();
  const auto pieces =
      SlicePieces(m_slice, m_rect.left, m_rect.top, m_rect.right, m_rect.bottom, w, h);
  if (!m_blend) {
    if (m_stretch && !pieces.empty()) {
      for (const SlicePiece& p : pieces) {
        m_image.StretchBlt(hdc, p.dest.x, p.dest.y, p.dest.width, p.dest.height, p.source.x,
                           p.source.y, p.source.width, p.source.height);
      }
    } else {
      m_image.BitBlt(hdc, 0, 0);
    }
    return;
  }
  auto copy = [&](const SliceBox& d, const SliceBox& s) {
    if (m_hasAlpha) {
      m_image.AlphaBlend(hdc, d.x, d.y, d.width, d.height, s.x, s.y, s.width, s.height, 255);
    } else {
      m_image.TransparentBlt(hdc, d.x, d.y, d.width, d.height, s.x, s.y, s.width, s.height);
    }
  };
  if (!pieces.empty()) {
    for (const SlicePiece& p : pieces) copy(p.dest, p.source);
    return;
  }
  copy(PlaceWholePicture(m_rect.left, m_rect.top, m_rect.right, m_rect.bottom, w, h, m_stretch),
       SliceBox{0, 0, w, h});
}
