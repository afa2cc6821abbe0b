// One small owner per kind of Windows handle. Each is move-only and names its
// close function exactly once, in its traits; nothing else in the program closes
// these handles by hand.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Type value) noexcept : value_(value) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Type Get() const noexcept { return value_; }
  bool IsValid() const noexcept { return Traits::IsValid(value_); }
  explicit operator bool() const noexcept { return IsValid(); }

  // For out-parameters of the API: closes what is held, then lends the slot.
  Type* Receive() noexcept {
    Reset();
    return &value_;
  }

  Type Release() noexcept { return std::exchange(value_, Traits::Invalid()); }

  void Reset(Type value = Traits::Invalid()) noexcept {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = value;
  }

 private:
  Type value_ = Traits::Invalid();
};

// Kernel objects: processes, threads, events, files. Both null and
// INVALID_HANDLE_VALUE mean "nothing held".
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::CloseHandle(h); }
};
using ScopedHandle = UniqueHandle<KernelHandleTraits>;

struct RegKeyTraits {
  using Type = HKEY;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
using ScopedRegKey = UniqueHandle<RegKeyTraits>;

// Any GDI object that DeleteObject frees: fonts, bitmaps, brushes, pens, regions.
template <typename T>
struct GdiObjectTraits {
  using Type = T;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { ::DeleteObject(h); }
};
using ScopedFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using ScopedBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using ScopedBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using ScopedRegion = UniqueHandle<GdiObjectTraits<HRGN>>;

// Global memory blocks from GlobalAlloc.
struct GlobalMemoryTraits {
  using Type = HGLOBAL;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { ::GlobalFree(h); }
};
using ScopedGlobalMemory = UniqueHandle<GlobalMemoryTraits>;

// Memory DCs from CreateCompatibleDC.
struct MemoryDcTraits {
  using Type = HDC;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { ::DeleteDC(h); }
};
using ScopedMemoryDc = UniqueHandle<MemoryDcTraits>;

// A window's DC from GetDC, released to that same window.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~ScopedWindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(hwnd_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;

  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back on scope exit.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) noexcept
      : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
