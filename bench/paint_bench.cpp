// Paint cost of the login window: a full repaint of a 1024x700 form holding the
// login window's frame picture and six buttons, against a repaint of the same
// window whose drawing is one BitBlt of a 1024x700 picture. Both run in one
// process on one window, in alternating rounds; medians and their ratio are
// printed. The pictures come from the program's resources when they are
// there, else they are made in memory at the same sizes and formats.
// It also times the backdrop's picture: decoding PNG 170, premultiplying it and
// handing it to UpdateLayeredWindow.
// Usage: qb_bench_paint.exe [rounds] [--plain]   (--plain: not a layered window)
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "ui/button.h"
#include "ui/core/pixels.h"
#include "ui/form.h"
#include "ui/image.h"
#include "ui/image_control.h"
#include "ui/label.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 700;

class BenchForm : public CKVForm {
 public:
  void Draw(HDC hdc) override {
    if (baseline) {
      picture.BitBlt(hdc, 0, 0);
    } else {
      CKVForm::Draw(hdc);
    }
  }
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_PAINT) ++paints;
    return CKVForm::HandleMessage(hwnd, message, wParam, lParam);
  }

  bool baseline = false;
  CImage picture;  // the baseline's 1024x700 picture
  long paints = 0;
};

LRESULT CALLBACK BenchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<BenchForm*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form != nullptr && form->HandleMessage(hwnd, message, wParam, lParam) == 0) return 0;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// A stand-in picture: 32-bit premultiplied with a soft edge, or 24-bit.
void Synthesise(CImage& image, int w, int h, bool alpha, std::uint8_t shade) {
  image.Create(w, h, alpha ? 32 : 24, alpha);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = image.GetPixelAddress(x, y);
      const int edge = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
      const std::uint8_t a = alpha ? static_cast<std::uint8_t>(std::min(255, 64 + 48 * edge)) : 255;
      p[0] = static_cast<std::uint8_t>(shade * a / 255);
      p[1] = static_cast<std::uint8_t>((x * 3) * a / 255 % 256);
      p[2] = static_cast<std::uint8_t>((y * 5) * a / 255 % 256);
      if (alpha) p[3] = a;
    }
  }
}

struct ButtonArt {
  UINT normal, hover;
  RECT rect;
  int w, h;
  bool rgba;
};

// The login window's buttons, in the order it adds them.
const ButtonArt kButtons[] = {
    {192, 193, {952, 171, 988, 218}, 36, 47, true},    // minimise
    {188, 189, {945, 242, 981, 294}, 36, 52, true},    // close
    {194, 195, {354, 119, 488, 160}, 134, 41, false},  // official site
    {198, 199, {787, 120, 922, 161}, 135, 41, false},  // recharge
    {200, 201, {642, 119, 778, 160}, 136, 41, false},  // customer service
    {190, 191, {498, 120, 632, 161}, 134, 41, true},   // forum
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double Microseconds(const LARGE_INTEGER& begin, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(end.QuadPart - begin.QuadPart) * 1e6 /
         static_cast<double>(frequency.QuadPart);
}

// The backdrop's one-off work at start-up, `rounds` times: medians printed.
void TimeBackdrop(HINSTANCE module, int rounds) {
  const HRSRC png = ::FindResourceW(module, MAKEINTRESOURCEW(170), L"PNG");
  if (png == nullptr) {
    std::printf("backdrop: no picture 170 in this build\n");
    return;
  }
  const HWND hwnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0,
                                      0, kWidth, kHeight, nullptr, nullptr, module, nullptr);
  std::vector<double> decode, premultiply, update;
  for (int i = 0; i < rounds; ++i) {
    LARGE_INTEGER t0, t1, t2, t3;
    CImage picture;
    ::QueryPerformanceCounter(&t0);
    DecodePngResource(module, png, picture);
    ::QueryPerformanceCounter(&t1);
    PremultiplyRowsRounded(picture.GetBits(), picture.GetWidth(), picture.GetHeight(),
                           picture.GetPitch());
    ::QueryPerformanceCounter(&t2);
    {
      CImageDc source(picture);
      POINT origin{0, 0};
      SIZE size{picture.GetWidth(), picture.GetHeight()};
      BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      ::UpdateLayeredWindow(hwnd, nullptr, &origin, &size, source.Get(), &origin, 0, &blend,
                            ULW_ALPHA);
      ::GdiFlush();
    }
    ::QueryPerformanceCounter(&t3);
    decode.push_back(Microseconds(t0, t1));
    premultiply.push_back(Microseconds(t1, t2));
    update.push_back(Microseconds(t2, t3));
  }
  ::DestroyWindow(hwnd);
  std::printf(
      "backdrop 1024x700: decode median %.1f us, premultiply %.1f us, "
      "UpdateLayeredWindow %.1f us (%d rounds)\n",
      Median(decode), Median(premultiply), Median(update), rounds);
}

}  // namespace

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
  int rounds = 201;
  bool layered = true;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--plain") == 0) {
      layered = false;
    } else {
      rounds = std::max(1, _wtoi(argv[i]));
    }
  }
  const HINSTANCE module = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = BenchProc;
  wc.hInstance = module;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"QbPaintBench";
  ::RegisterClassExW(&wc);

  BenchForm form;
  form.m_rect = {0, 0, kWidth, kHeight};
  if (!form.Create(wc.lpszClassName, L"", module, nullptr)) {
    std::printf("cannot create the window\n");
    return 1;
  }
  const HWND hwnd = form.GetHwnd();
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
  if (layered) {
    // As the login window: colour-keyed layered window.
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(hwnd, CImage::kKeyColor, 0, LWA_COLORKEY);
  }

  int fromResources = 0, made = 0;
  CKVImage background;
  background.m_hasAlpha = LoadResourceImage(module, background.m_image, 183);
  if (background.m_image.IsNull()) {
    background.m_image.Create(29, 30, 24, false);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 29; ++x) {
        std::uint8_t* p = background.m_image.GetPixelAddress(x, y);
        p[0] = GetBValue(CImage::kKeyColor);
        p[1] = GetGValue(CImage::kKeyColor);
        p[2] = GetRValue(CImage::kKeyColor);
      }
    }
    background.m_hasAlpha = true;
    ++made;
  } else {
    ++fromResources;
  }
  background.m_slice = {5, 5, 5, 5};
  background.m_blend = false;
  background.m_stretch = true;
  const RECT whole{0, 0, kWidth, kHeight};
  background.SetRect(&whole);
  form.AddControl(&background);

  CKVButton buttons[6];
  for (int i = 0; i < 6; ++i) {
    const ButtonArt& art = kButtons[i];
    CKVButton& b = buttons[i];
    LoadButtonImages(art.normal, module, &b, art.hover, art.hover);
    if (b.m_normal.IsNull()) {
      Synthesise(b.m_normal, art.w, art.h, art.rgba, 120);
      Synthesise(b.m_hoverImage, art.w, art.h, art.rgba, 200);
      Synthesise(b.m_pressed, art.w, art.h, art.rgba, 200);
      b.m_current.AliasOf(b.m_normal);
      b.m_hasAlpha = true;  // pictures from "PNG" resources
      ++made;
    } else {
      ++fromResources;
    }
    b.SetRect(&art.rect);
    b.m_cursor = ::LoadCursorW(nullptr, IDC_HAND);
    b.m_fitImage = true;
    form.AddControl(&b);
  }

  CKVLabel status;
  status.m_hwndHost = hwnd;
  const RECT statusRect{538, 376, 858, 402};
  status.SetRect(&statusRect);
  status.SetColor(0x0000FFFF, false);
  status.SetUnderline(1, false);
  status.SetFontSize(26, 0, false);
  form.AddControl(&status);

  form.picture.Create(kWidth, kHeight, 32, false);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      std::uint8_t* p = form.picture.GetPixelAddress(x, y);
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = 90;
      p[3] = 255;
    }
  }

  ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  ::UpdateWindow(hwnd);
  auto pump = [] {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  };
  pump();

  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  // Microseconds for one full repaint: erase, WM_PAINT, flushed.
  auto repaint = [&](bool baseline) {
    form.baseline = baseline;
    const long before = form.paints;
    LARGE_INTEGER begin, end;
    ::QueryPerformanceCounter(&begin);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ::GdiFlush();
    ::QueryPerformanceCounter(&end);
    if (form.paints != before + 1) return -1.0;
    return static_cast<double>(end.QuadPart - begin.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
  };

  for (int i = 0; i < 10; ++i) {  // warm-up: fonts, caches, the window surface
    repaint(false);
    repaint(true);
    pump();
  }
  std::vector<double> login, baseline;
  for (int i = 0; i < rounds; ++i) {
    // Alternate which goes first so that neither always follows the other.
    const bool baselineFirst = (i % 2) != 0;
    const double first = repaint(baselineFirst);
    const double second = repaint(!baselineFirst);
    pump();
    if (first < 0 || second < 0) {
      std::printf("a repaint did not paint the window\n");
      return 1;
    }
    (baselineFirst ? baseline : login).push_back(first);
    (baselineFirst ? login : baseline).push_back(second);
  }

  const double ml = Median(login), mb = Median(baseline);
  std::printf("window: 1024x700, %s; pictures: %d from resources, %d made in memory\n",
              layered ? "colour-keyed layered (as the login window)" : "plain popup", fromResources,
              made);
  std::printf("rounds: %d (alternating)\n", rounds);
  std::printf("login window full repaint  median %9.1f us\n", ml);
  std::printf("one BitBlt of 1024x700     median %9.1f us\n", mb);
  std::printf("ratio login/BitBlt: %.2f (goal <= 4)\n", mb > 0 ? ml / mb : 0.0);
  form.Close();
  TimeBackdrop(module, std::max(5, rounds / 10));
  return 0;
}
