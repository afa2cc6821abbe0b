// Pictures: PNG decoding, premultiplication, and what the image control's
// copies leave in a 32-bit destination.
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/com_ptr.h"
#include "ui/image.h"
#include "ui/image_control.h"
#include "test_support.h"

namespace {

struct Bgra {
  std::uint8_t b, g, r, a;
  bool operator==(const Bgra& o) const { return b == o.b && g == o.g && r == o.r && a == o.a; }
};

void PrintTo(const Bgra& p, std::ostream* os) {
  *os << "(" << int(p.b) << "," << int(p.g) << "," << int(p.r) << "," << int(p.a) << ")";
}

Bgra PixelAt(const CImage& image, int x, int y) {
  const std::uint8_t* p = image.GetPixelAddress(x, y);
  return {p[0], p[1], p[2], image.GetBPP() == 32 ? p[3] : std::uint8_t{0}};
}

void Fill(CImage& image, Bgra colour) {
  for (int y = 0; y < image.GetHeight(); ++y) {
    for (int x = 0; x < image.GetWidth(); ++x) {
      std::uint8_t* p = image.GetPixelAddress(x, y);
      p[0] = colour.b;
      p[1] = colour.g;
      p[2] = colour.r;
      if (image.GetBPP() == 32) p[3] = colour.a;
    }
  }
}

// Encodes rows of pixels (BGRA, or BGR with 3 bytes each) as a PNG in memory,
// ready to be read from its start.
ComPtr<IStream> EncodePng(int width, int height, const std::vector<std::uint8_t>& pixels,
                          bool alpha) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> props;
  EXPECT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                              CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                              factory.ReceiveVoid()));
  EXPECT_HRESULT_SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()));
  if (!factory || !stream) return {};
  EXPECT_HRESULT_SUCCEEDED(
      factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive()));
  EXPECT_HRESULT_SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
  EXPECT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(frame.Receive(), props.Receive()));
  EXPECT_HRESULT_SUCCEEDED(frame->Initialize(props.Get()));
  EXPECT_HRESULT_SUCCEEDED(frame->SetSize(width, height));
  WICPixelFormatGUID format = alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  EXPECT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
  const UINT stride = static_cast<UINT>(width * (alpha ? 4 : 3));
  std::vector<std::uint8_t> copy = pixels;
  EXPECT_HRESULT_SUCCEEDED(
      frame->WritePixels(height, stride, static_cast<UINT>(copy.size()), copy.data()));
  EXPECT_HRESULT_SUCCEEDED(frame->Commit());
  EXPECT_HRESULT_SUCCEEDED(encoder->Commit());
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

class ToolkitImageTest : public ::testing::Test {
 protected:
  ScopedComInit com_;
};

TEST_F(ToolkitImageTest, RgbaPngDecodesStraightAndPremultipliesByTruncation) {
  // B, G, R, A.
  const std::vector<std::uint8_t> pixels = {200, 100, 50, 128, 10,  20,  30,  0,
                                            1,   2,   3,  255, 255, 255, 255, 1};
  ComPtr<IStream> png = EncodePng(2, 2, pixels, true);
  ASSERT_TRUE(png);
  CImage image;
  ASSERT_TRUE(image.Load(png.Get()));
  EXPECT_EQ(image.GetBPP(), 32);
  EXPECT_TRUE(image.HasAlpha());
  ASSERT_EQ(image.GetWidth(), 2);
  ASSERT_EQ(image.GetHeight(), 2);
  EXPECT_EQ(PixelAt(image, 0, 0), (Bgra{200, 100, 50, 128})) << "decoded with straight alpha";
  EXPECT_EQ(PixelAt(image, 1, 1), (Bgra{255, 255, 255, 1}));

  EXPECT_TRUE(PremultiplyAlpha(image));
  EXPECT_EQ(PixelAt(image, 0, 0), (Bgra{100, 50, 25, 128}));  // 25600/255 = 100.39
  EXPECT_EQ(PixelAt(image, 1, 0), (Bgra{0, 0, 0, 0}));
  EXPECT_EQ(PixelAt(image, 0, 1), (Bgra{1, 2, 3, 255}));
  EXPECT_EQ(PixelAt(image, 1, 1), (Bgra{1, 1, 1, 1}));
}

TEST_F(ToolkitImageTest, RgbPngIsTwentyFourBitAndNotPremultiplied) {
  const std::vector<std::uint8_t> pixels = {10, 20, 30, 40, 50, 60};
  ComPtr<IStream> png = EncodePng(2, 1, pixels, false);
  ASSERT_TRUE(png);
  CImage image;
  ASSERT_TRUE(image.Load(png.Get()));
  EXPECT_EQ(image.GetBPP(), 24);
  EXPECT_FALSE(image.HasAlpha());
  EXPECT_FALSE(PremultiplyAlpha(image));
  EXPECT_EQ(PixelAt(image, 1, 0), (Bgra{40, 50, 60, 0}));
}

TEST_F(ToolkitImageTest, BrokenDataAndMissingResourcesLeaveTheImageEmpty) {
  ComPtr<IStream> junk;
  ASSERT_HRESULT_SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, junk.Receive()));
  junk->Write("not a png at all", 16, nullptr);
  const LARGE_INTEGER start{};
  junk->Seek(start, STREAM_SEEK_SET, nullptr);
  CImage image;
  EXPECT_FALSE(image.Load(junk.Get()));
  EXPECT_TRUE(image.IsNull());
  EXPECT_FALSE(PremultiplyAlpha(image));

  CKVImage control;
  EXPECT_FALSE(LoadResourceImage(::GetModuleHandleW(nullptr), control.m_image, 60001));
  EXPECT_TRUE(control.m_image.IsNull());
  EXPECT_EQ(control.GetImageWidth(), 0);
  EXPECT_EQ(control.GetImageHeight(), 0);
}

// A 32-bit canvas filled with one colour, drawn into through a memory DC.
struct Canvas {
  Canvas(int w, int h, Bgra background) {
    image.Create(w, h, 32, false);
    Fill(image, background);
  }
  CImage image;
};

constexpr Bgra kBackground{0x44, 0x33, 0x22, 0x11};

TEST_F(ToolkitImageTest, ColourKeyCopyLeavesKeyPixelsUntouched) {
  CKVImage control;
  ASSERT_TRUE(control.m_image.Create(2, 2, 24, false));
  Fill(control.m_image, {255, 128, 255, 0});  // the key colour everywhere...
  std::uint8_t* p = control.m_image.GetPixelAddress(1, 1);
  p[0] = 10, p[1] = 20, p[2] = 30;  // ...but one pixel
  control.m_rect = {1, 1, 3, 3};    // stretched 1:1 at (1, 1)
  Canvas canvas(4, 4, kBackground);
  {
    CImageDc dc(canvas.image);
    control.Draw(dc.Get());
    ::GdiFlush();
  }
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const Bgra got = PixelAt(canvas.image, x, y);
      // GDI leaves the alpha byte of a 32-bit destination undefined; compare colour only.
      const Bgra colour{got.b, got.g, got.r, 0};
      if (x == 2 && y == 2) {
        EXPECT_EQ(colour, (Bgra{10, 20, 30, 0}));
      } else {
        EXPECT_EQ(colour, (Bgra{kBackground.b, kBackground.g, kBackground.r, 0}))
            << "at " << x << "," << y;
      }
    }
  }
}

TEST_F(ToolkitImageTest, BlendCopyUsesPremultipliedAlpha) {
  CKVImage control;
  control.m_hasAlpha = true;
  ASSERT_TRUE(control.m_image.Create(3, 1, 32, true));
  const Bgra straight[] = {{200, 100, 50, 0}, {200, 100, 50, 255}, {200, 100, 50, 128}};
  for (int x = 0; x < 3; ++x) std::memcpy(control.m_image.GetPixelAddress(x, 0), &straight[x], 4);
  ASSERT_TRUE(PremultiplyAlpha(control.m_image));
  control.m_rect = {0, 0, 3, 1};
  Canvas canvas(3, 1, {0, 0, 0, 255});
  {
    CImageDc dc(canvas.image);
    control.Draw(dc.Get());
    ::GdiFlush();
  }
  EXPECT_EQ(PixelAt(canvas.image, 0, 0), (Bgra{0, 0, 0, 255})) << "transparent: background stays";
  const Bgra opaque = PixelAt(canvas.image, 1, 0);
  EXPECT_EQ((Bgra{opaque.b, opaque.g, opaque.r, 0}), (Bgra{200, 100, 50, 0}));
  const Bgra half = PixelAt(canvas.image, 2, 0);
  EXPECT_NEAR(half.b, 100, 1);
  EXPECT_NEAR(half.g, 50, 1);
  EXPECT_NEAR(half.r, 25, 1);
}

TEST_F(ToolkitImageTest, UnstretchedPictureIsCentredVertically) {
  // A 36x52 picture in a 36x100 rectangle at top 10 lands at y 34..85.
  CKVImage control;
  ASSERT_TRUE(control.m_image.Create(36, 52, 24, false));
  Fill(control.m_image, {0, 0, 255, 0});
  control.m_stretch = false;
  control.m_rect = {0, 10, 36, 110};
  Canvas canvas(36, 120, kBackground);
  {
    CImageDc dc(canvas.image);
    control.Draw(dc.Get());
    ::GdiFlush();
  }
  EXPECT_EQ(PixelAt(canvas.image, 5, 33), kBackground);
  EXPECT_EQ(PixelAt(canvas.image, 5, 34).r, 255);
  EXPECT_EQ(PixelAt(canvas.image, 5, 85).r, 255);
  EXPECT_EQ(PixelAt(canvas.image, 5, 86), kBackground);
}

TEST_F(ToolkitImageTest, OpaqueNineSliceKeepsCornersAndStretchesTheMiddle) {
  // 3x3 picture, one colour per cell, 1-pixel borders, drawn over 10x8.
  CKVImage control;
  ASSERT_TRUE(control.m_image.Create(3, 3, 32, false));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      std::uint8_t* p = control.m_image.GetPixelAddress(x, y);
      p[0] = static_cast<std::uint8_t>(10 * (y * 3 + x + 1));
      p[1] = p[2] = 0;
      p[3] = 255;
    }
  }
  control.m_blend = false;
  control.m_slice = {1, 1, 1, 1};
  control.m_rect = {0, 0, 10, 8};
  Canvas canvas(10, 8, kBackground);
  {
    CImageDc dc(canvas.image);
    control.Draw(dc.Get());
    ::GdiFlush();
  }
  struct Case {
    int x, y;
    std::uint8_t blue;
  } cases[] = {{0, 0, 10}, {5, 0, 20}, {9, 0, 30}, {0, 4, 40}, {5, 4, 50}, {9, 4, 60},
               {0, 7, 70}, {5, 7, 80}, {9, 7, 90}, {1, 1, 50}, {8, 6, 50}};
  for (const Case& c : cases) {
    EXPECT_EQ(PixelAt(canvas.image, c.x, c.y).b, c.blue) << "at " << c.x << "," << c.y;
  }
}

// A copy of a small program of ours with art resources added: "PNG" 170 (an
// RGBA picture) and an ordinary bitmap 220, loaded as a data file.
class ResourceModule {
 public:
  ResourceModule(const std::vector<std::uint8_t>& png, const std::vector<std::uint8_t>& dib) {
    path_ = ModuleFolder() + L"toolkit-res-" + std::to_wstring(::GetTickCount64()) + L".exe";
    if (!::CopyFileW((ModuleFolder() + L"qb_recorder.exe").c_str(), path_.c_str(), FALSE)) return;
    const HANDLE update = ::BeginUpdateResourceW(path_.c_str(), FALSE);
    if (update == nullptr) return;
    const WORD chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    ::UpdateResourceW(update, L"PNG", MAKEINTRESOURCEW(170), chinese,
                      const_cast<std::uint8_t*>(png.data()), static_cast<DWORD>(png.size()));
    ::UpdateResourceW(update, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(220), chinese,
                      const_cast<std::uint8_t*>(dib.data()), static_cast<DWORD>(dib.size()));
    if (!::EndUpdateResourceW(update, FALSE)) return;
    module_ = ::LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~ResourceModule() {
    if (module_ != nullptr) ::FreeLibrary(module_);
    ::DeleteFileW(path_.c_str());
  }
  HMODULE Get() const { return module_; }

 private:
  std::wstring path_;
  HMODULE module_ = nullptr;
};

std::vector<std::uint8_t> StreamBytes(IStream* stream) {
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<std::uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  return bytes;
}

// A packed, bottom-up 24-bit DIB of 2x2 pixels. Top row: the key colour, then
// (10, 20, 30); bottom row (first in memory): two dark greys.
std::vector<std::uint8_t> KeyedDib() {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = 2;
  header.biHeight = 2;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  std::vector<std::uint8_t> bytes(sizeof(header));
  std::memcpy(bytes.data(), &header, sizeof(header));
  const std::uint8_t rows[16] = {1, 1, 1, 2, 2, 2, 0, 0, 255, 128, 255, 10, 20, 30, 0, 0};
  bytes.insert(bytes.end(), rows, rows + sizeof(rows));
  return bytes;
}

TEST_F(ToolkitImageTest, ResourcesLoadAsPngOrFallBackToBitmaps) {
  ComPtr<IStream> png = EncodePng(1, 1, {200, 100, 50, 128}, true);
  ASSERT_TRUE(png);
  ResourceModule module(StreamBytes(png.Get()), KeyedDib());
  ASSERT_NE(module.Get(), nullptr);

  CKVImage art;
  EXPECT_TRUE(LoadResourceImage(module.Get(), art.m_image, 170));
  ASSERT_FALSE(art.m_image.IsNull());
  EXPECT_TRUE(art.m_image.HasAlpha());
  EXPECT_EQ(PixelAt(art.m_image, 0, 0), (Bgra{100, 50, 25, 128})) << "premultiplied on load";

  // Only a bitmap: loaded, but not reported as a PNG; drawn with the colour key.
  CKVImage keyed;
  keyed.m_hasAlpha = LoadResourceImage(module.Get(), keyed.m_image, 220);
  EXPECT_FALSE(keyed.m_hasAlpha);
  ASSERT_FALSE(keyed.m_image.IsNull());
  EXPECT_EQ(keyed.GetImageWidth(), 2);
  EXPECT_EQ(keyed.GetImageHeight(), 2);
  EXPECT_EQ(PixelAt(keyed.m_image, 1, 0), (Bgra{10, 20, 30, 0})) << "row 0 is the top row";
  EXPECT_EQ(PixelAt(keyed.m_image, 1, 1), (Bgra{2, 2, 2, 0}));
  keyed.m_rect = {0, 0, 2, 2};
  Canvas canvas(2, 2, kBackground);
  {
    CImageDc dc(canvas.image);
    keyed.Draw(dc.Get());
    ::GdiFlush();
  }
  const Bgra left = PixelAt(canvas.image, 0, 0);
  const Bgra right = PixelAt(canvas.image, 1, 0);
  EXPECT_EQ((Bgra{left.b, left.g, left.r, 0}),
            (Bgra{kBackground.b, kBackground.g, kBackground.r, 0}));
  EXPECT_EQ((Bgra{right.b, right.g, right.r, 0}), (Bgra{10, 20, 30, 0}));
}

}  // namespace
