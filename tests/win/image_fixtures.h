// Pictures for the toolkit and window tests: a BGRA pixel type, PNGs encoded
// in memory through WIC, and a throwaway module carrying chosen resources.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "app/com_ptr.h"
#include "test_support.h"
#include "ui/image.h"

struct Bgra {
  std::uint8_t b, g, r, a;
  bool operator==(const Bgra& o) const { return b == o.b && g == o.g && r == o.r && a == o.a; }
};

inline void PrintTo(const Bgra& p, std::ostream* os) {
  *os << "(" << int(p.b) << "," << int(p.g) << "," << int(p.r) << "," << int(p.a) << ")";
}

inline Bgra PixelAt(const CImage& image, int x, int y) {
  const std::uint8_t* p = image.GetPixelAddress(x, y);
  return {p[0], p[1], p[2], image.GetBPP() == 32 ? p[3] : std::uint8_t{0}};
}

inline void Fill(CImage& image, Bgra colour) {
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
inline ComPtr<IStream> EncodePng(int width, int height, const std::vector<std::uint8_t>& pixels,
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

inline std::vector<std::uint8_t> StreamBytes(IStream* stream) {
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

// A copy of qb_recorder.exe with the given resources (language 2052), loaded as
// a data file; removed again when the object goes.
class ResourceModule {
 public:
  struct Resource {
    const wchar_t* type;
    UINT id;
    std::vector<std::uint8_t> bytes;
  };
  explicit ResourceModule(const std::vector<Resource>& resources) {
    static int serial = 0;
    path_ = ModuleFolder() + L"res-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++serial) + L".exe";
    if (!::CopyFileW((ModuleFolder() + L"qb_recorder.exe").c_str(), path_.c_str(), FALSE)) return;
    const HANDLE update = ::BeginUpdateResourceW(path_.c_str(), FALSE);
    if (update == nullptr) return;
    const WORD chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    for (const Resource& r : resources) {
      ::UpdateResourceW(update, r.type, MAKEINTRESOURCEW(r.id), chinese,
                        const_cast<std::uint8_t*>(r.bytes.data()),
                        static_cast<DWORD>(r.bytes.size()));
    }
    if (!::EndUpdateResourceW(update, FALSE)) return;
    module_ = ::LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~ResourceModule() {
    if (module_ != nullptr) ::FreeLibrary(module_);
    ::DeleteFileW(path_.c_str());
  }
  ResourceModule(const ResourceModule&) = delete;
  ResourceModule& operator=(const ResourceModule&) = delete;
  HMODULE Get() const { return module_; }

 private:
  std::wstring path_;
  HMODULE module_ = nullptr;
};
