#include "ui/image.h"

#include <wincodec.h>

#include <cstring>

#include "app/com_ptr.h"
#include "ui/core/pixels.h"

namespace {

bool FormatHasAlpha(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame,
                    const WICPixelFormatGUID& format) {
  static const GUID* const kAlphaFormats[] = {
      &GUID_WICPixelFormat32bppBGRA,  &GUID_WICPixelFormat32bppRGBA, &GUID_WICPixelFormat32bppPBGRA,
      &GUID_WICPixelFormat32bppPRGBA, &GUID_WICPixelFormat64bppRGBA, &GUID_WICPixelFormat64bppPRGBA,
      &GUID_WICPixelFormat64bppBGRA,
  };
  for (const GUID* alpha : kAlphaFormats) {
    if (IsEqualGUID(format, *alpha)) return true;
  }
  // Palette pictures carry alpha in their palette (PNG tRNS).
  if (IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed) ||
      IsEqualGUID(format, GUID_WICPixelFormat4bppIndexed) ||
      IsEqualGUID(format, GUID_WICPixelFormat2bppIndexed) ||
      IsEqualGUID(format, GUID_WICPixelFormat1bppIndexed)) {
    ComPtr<IWICPalette> palette;
    BOOL alpha = FALSE;
    if (SUCCEEDED(factory->CreatePalette(palette.Receive())) &&
        SUCCEEDED(frame->CopyPalette(palette.Get())) && SUCCEEDED(palette->HasAlpha(&alpha))) {
      return alpha != FALSE;
    }
  }
  return false;
}

}  // namespace

bool CImage::Create(int width, int height, int bpp, bool hasAlpha) {
  Destroy();
  if (width <= 0 || height <= 0 || (bpp != 32 && bpp != 24)) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return false;
  bitmap_ = bitmap;
  owned_ = true;
  if (!ReadDibSection(true)) {
    Destroy();
    return false;
  }
  hasAlpha_ = hasAlpha && bpp == 32;
  return true;
}

bool CImage::Attach(HBITMAP bitmap) {
  Destroy();
  if (bitmap == nullptr) return false;
  bitmap_ = bitmap;
  owned_ = true;
  if (!ReadDibSection(false)) {
    Destroy();
    return false;
  }
  return true;
}

bool CImage::ReadDibSection(bool topDown) {
  DIBSECTION dib{};
  if (::GetObjectW(bitmap_, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBits == nullptr) {
    return false;
  }
  width_ = dib.dsBm.bmWidth;
  height_ = dib.dsBm.bmHeight;
  bpp_ = dib.dsBm.bmBitsPixel;
  const int stride = dib.dsBm.bmWidthBytes;
  auto* base = static_cast<std::uint8_t*>(dib.dsBm.bmBits);
  if (topDown || dib.dsBmih.biHeight < 0) {
    pitch_ = stride;
    bits_ = base;
  } else {
    // Bottom-up: row 0 on screen is the last row in memory.
    pitch_ = -stride;
    bits_ = base + static_cast<std::ptrdiff_t>(height_ - 1) * stride;
  }
  hasAlpha_ = false;
  return true;
}

void CImage::AliasOf(const CImage& other) {
  Destroy();
  bitmap_ = other.bitmap_;
  owned_ = false;
  width_ = other.width_;
  height_ = other.height_;
  bpp_ = other.bpp_;
  pitch_ = other.pitch_;
  bits_ = other.bits_;
  hasAlpha_ = other.hasAlpha_;
}

void CImage::Destroy() {
  if (bitmap_ != nullptr && owned_) ScopedBitmap owned(bitmap_);
  bitmap_ = nullptr;
  owned_ = false;
  width_ = height_ = bpp_ = pitch_ = 0;
  bits_ = nullptr;
  hasAlpha_ = false;
}

bool CImage::Load(IStream* stream) {
  Destroy();
  if (stream == nullptr) return false;
  ScopedComInit com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.ReceiveVoid()))) {
    return false;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Receive()))) {
    return false;
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  WICPixelFormatGUID format{};
  if (FAILED(decoder->GetFrame(0, frame.Receive())) || FAILED(frame->GetSize(&width, &height)) ||
      FAILED(frame->GetPixelFormat(&format))) {
    return false;
  }
  const bool alpha = FormatHasAlpha(factory.Get(), frame.Get(), format);
  const WICPixelFormatGUID& target =
      alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Receive())) ||
      FAILED(converter->Initialize(frame.Get(), target, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return false;
  }
  if (width > 0x7FFF || height > 0x7FFF ||
      !Create(static_cast<int>(width), static_cast<int>(height), alpha ? 32 : 24, alpha)) {
    Destroy();
    return false;
  }
  const UINT bufferSize = static_cast<UINT>(pitch_) * height;
  if (FAILED(converter->CopyPixels(nullptr, static_cast<UINT>(pitch_), bufferSize, bits_))) {
    Destroy();
    return false;
  }
  return true;
}

bool CImage::AlphaBlend(HDC dest, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                        BYTE constantAlpha) const {
  if (IsNull()) return false;
  CImageDc source(*this);
  BLENDFUNCTION blend{};
  blend.BlendOp = AC_SRC_OVER;
  blend.SourceConstantAlpha = constantAlpha;
  blend.AlphaFormat = hasAlpha_ ? AC_SRC_ALPHA : 0;
  return ::GdiAlphaBlend(dest, dx, dy, dw, dh, source.Get(), sx, sy, sw, sh, blend) != FALSE;
}

bool CImage::TransparentBlt(HDC dest, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                            int sh) const {
  if (IsNull()) return false;
  CImageDc source(*this);
  return ::GdiTransparentBlt(dest, dx, dy, dw, dh, source.Get(), sx, sy, sw, sh, kKeyColor) !=
         FALSE;
}

bool CImage::StretchBlt(HDC dest, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                        int sh) const {
  if (IsNull()) return false;
  CImageDc source(*this);
  return ::StretchBlt(dest, dx, dy, dw, dh, source.Get(), sx, sy, sw, sh, SRCCOPY) != FALSE;
}

bool CImage::BitBlt(HDC dest, int x, int y) const {
  if (IsNull()) return false;
  CImageDc source(*this);
  return ::BitBlt(dest, x, y, width_, height_, source.Get(), 0, 0, SRCCOPY) != FALSE;
}

bool LoadResourceImage(HINSTANCE module, CImage& image, UINT id) {
  const HRSRC png = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
  if (png == nullptr) {
    if (::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2)) != nullptr) {
      image.Attach(static_cast<HBITMAP>(
          ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    return false;
  }
  const HGLOBAL loaded = ::LoadResource(module, png);
  if (loaded == nullptr) return false;
  const void* bytes = ::LockResource(loaded);
  const DWORD size = ::SizeofResource(module, png);
  if (bytes == nullptr) return false;
  ScopedGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  if (!block) return false;
  if (void* target = ::GlobalLock(block.Get())) {
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(block.Get());
  }
  {
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.Get(), FALSE, stream.Receive()))) return false;
    // An undecodable picture stays empty; the resource was still a PNG.
    image.Load(stream.Get());
  }
  PremultiplyAlpha(image);
  return true;
}

bool PremultiplyAlpha(CImage& image) {
  if (image.IsNull() || image.GetBPP() != 32) return false;
  PremultiplyRows(image.GetBits(), image.GetWidth(), image.GetHeight(), image.GetPitch());
  return true;
}
