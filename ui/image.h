// CImage: a picture held as a DIB section (32-bit BGRA or 24-bit BGR), with
// direct access to its pixels, PNG decoding through WIC, and the four ways the
// toolkit copies a picture onto a device context. LoadResourceImage and
// PremultiplyAlpha turn the program's art resources into such pictures.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>

#include "app/handles.h"

class CImage {
 public:
  // Source pixels of exactly this colour are not copied by TransparentBlt.
  static constexpr COLORREF kKeyColor = RGB(255, 128, 255);

  CImage() = default;
  ~CImage() { Destroy(); }
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  // A new top-down DIB section, zero-filled; bpp is 32 or 24.
  bool Create(int width, int height, int bpp, bool hasAlpha);
  // Takes ownership of a DIB section made elsewhere (LoadImageW and friends).
  bool Attach(HBITMAP bitmap);
  // Shows the same bitmap as `other` without owning it; `other` must outlive
  // this alias or the alias must be reset first.
  void AliasOf(const CImage& other);
  // Decodes a PNG (or any WIC format). Images with an alpha channel become
  // 32-bit with straight alpha and HasAlpha; others become 24-bit.
  bool Load(IStream* stream);
  void Destroy();

  bool IsNull() const { return bitmap_ == nullptr; }
  HBITMAP GetHandle() const { return bitmap_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  int GetBPP() const { return bpp_; }
  bool HasAlpha() const { return hasAlpha_; }
  void SetHasAlpha(bool hasAlpha) { hasAlpha_ = hasAlpha; }
  // Bytes from one row to the next; negative for bottom-up bitmaps.
  int GetPitch() const { return pitch_; }
  // Row 0 as seen on screen.
  std::uint8_t* GetBits() const { return bits_; }
  std::uint8_t* GetPixelAddress(int x, int y) const {
    return bits_ + static_cast<std::ptrdiff_t>(y) * pitch_ + x * (bpp_ / 8);
  }

  // The copies; each selects the bitmap into a memory DC for the call.
  // Blend: AlphaBlend with per-pixel alpha when HasAlpha, else constant alpha only.
  bool AlphaBlend(HDC dest, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                  BYTE constantAlpha) const;
  // Colour key: kKeyColor pixels are left out.
  bool TransparentBlt(HDC dest, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                      int sh) const;
  bool StretchBlt(HDC dest, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) const;
  // The whole picture at its own size at (x, y).
  bool BitBlt(HDC dest, int x, int y) const;

 private:
  // Not every GDI reports a top-down section's negative height back, so the
  // creator says which way its rows run.
  bool ReadDibSection(bool topDown);

  HBITMAP bitmap_ = nullptr;
  bool owned_ = false;
  int width_ = 0;
  int height_ = 0;
  int bpp_ = 0;
  int pitch_ = 0;
  std::uint8_t* bits_ = nullptr;
  bool hasAlpha_ = false;
};

// A memory DC with the picture selected for as long as it lives.
class CImageDc {
 public:
  explicit CImageDc(const CImage& image)
      : dc_(::CreateCompatibleDC(nullptr)), select_(dc_.Get(), image.GetHandle()) {}
  HDC Get() const { return dc_.Get(); }

 private:
  ScopedMemoryDc dc_;
  ScopedSelectObject select_;
};

// Loads picture `id` from the "PNG" resources of `module` (decoded and
// premultiplied) and returns true; an id found only as an ordinary bitmap is
// loaded too but gives false, as does a missing one.
bool LoadResourceImage(HINSTANCE module, CImage& image, UINT id);

// Multiplies each colour byte of a 32-bit picture by its alpha (truncating);
// false and no change for other depths.
bool PremultiplyAlpha(CImage& image);
