// The backdrop window: its picture premultiplied with rounding onto a
// transparent surface, its styles, where it is shown, the login window
// following its moves, and the drag (recorded, not started).
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <vector>

#include "app/global_module.h"
#include "form_test_support.h"
#include "image_fixtures.h"
#include "windows/form_back.h"

namespace {

std::vector<std::uint8_t> Png(int width, int height, const std::vector<std::uint8_t>& pixels,
                              bool alpha) {
  ComPtr<IStream> stream = EncodePng(width, height, pixels, alpha);
  return stream ? StreamBytes(stream.Get()) : std::vector<std::uint8_t>{};
}

// What RenderPngResource leaves on a transparent 32-bit surface.
std::vector<Bgra> Render(const std::vector<std::uint8_t>& resource, int width) {
  ResourceModule module({{L"PNG", 170, resource}});
  EXPECT_NE(module.Get(), nullptr);
  const HRSRC png = ::FindResourceW(module.Get(), MAKEINTRESOURCEW(170), L"PNG");
  EXPECT_NE(png, nullptr);
  CImage surface;
  EXPECT_TRUE(surface.Create(width, 1, 32, true));
  {
    CImageDc dc(surface);
    EXPECT_TRUE(CFormBack::RenderPngResource(module.Get(), png, dc.Get()));
    ::GdiFlush();
  }
  std::vector<Bgra> row;
  for (int x = 0; x < width; ++x) row.push_back(PixelAt(surface, x, 0));
  return row;
}

class BackdropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    formtest::FormRoute::Form() = &back_;
    savedTopMost_ = g_globalModule.topMost;
    login_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"login", WS_POPUP, 0, 0, 100, 100,
                               nullptr, nullptr, nullptr, nullptr);
    g_globalModule.loginForm.m_hwnd = login_;
  }
  void TearDown() override {
    if (back_.GetHwnd() != nullptr) ::DestroyWindow(back_.GetHwnd());
    g_globalModule.loginForm.m_hwnd = nullptr;
    ::DestroyWindow(login_);
    g_globalModule.topMost = savedTopMost_;
  }

  // Start-up's steps: the 1024 x 700 rectangle, then Initialize, here with the
  // pictures of `resources`.
  void Initialize(HINSTANCE resources) {
    g_globalModule.hInstance = resources;
    const RECT frame{0, 0, 1024, 700};
    back_.SetRect(&frame);
    ASSERT_TRUE(back_.Initialize());
    g_globalModule.hInstance = ::GetModuleHandleW(nullptr);
  }

  RECT WindowRect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
  }

  formtest::ModuleForForms module_;
  CFormBack back_;
  HWND login_ = nullptr;
  int savedTopMost_ = 0;
};

TEST_F(BackdropTest, PictureIsPremultipliedByRoundingOntoTransparency) {
  ScopedComInit com;
  // B, G, R, A: the worked pixel; one where rounding and truncation differ
  // (truncation would give 0, 1, 127); fully transparent; opaque.
  const std::vector<std::uint8_t> pixels = {200, 100, 50, 128, 1, 3, 254, 128,
                                            10,  20,  30, 0,   7, 8, 9,   255};
  EXPECT_EQ(
      Render(Png(4, 1, pixels, true), 4),
      (std::vector<Bgra>{{100, 50, 25, 128}, {1, 2, 127, 128}, {0, 0, 0, 0}, {7, 8, 9, 255}}));
}

TEST_F(BackdropTest, UndecodablePictureDrawsNothing) {
  ScopedComInit com;
  EXPECT_EQ(Render({'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'}, 2),
            (std::vector<Bgra>{{0, 0, 0, 0}, {0, 0, 0, 0}}));
}

TEST_F(BackdropTest, InitializeMakesACaptionlessLayeredWindowAtTheScreenOrigin) {
  ScopedComInit com;
  ResourceModule module({{L"PNG", 170, Png(1, 1, {1, 2, 3, 4}, true)}});
  ASSERT_NE(module.Get(), nullptr);
  Initialize(module.Get());
  const HWND hwnd = back_.GetHwnd();
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX), WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME), WS_EX_LAYERED);
  EXPECT_FALSE(::IsWindowVisible(hwnd)) << "created hidden; start-up shows it";
  EXPECT_EQ(WindowRect(hwnd), (RECT{0, 0, 1024, 700}));
}

TEST_F(BackdropTest, PresentedCentredOnTheWorkAreaOrKeptInPlace) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = (work.right - 1024) / 2;
  const int y = (work.bottom - 700) / 2;
  for (int topMost : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "topMost " << topMost);
    g_globalModule.topMost = topMost;
    Initialize(::GetModuleHandleW(nullptr));
    const HWND hwnd = back_.GetHwnd();
    ::SetWindowPos(hwnd, nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    back_.PresentBackdrop(false);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_EQ(WindowRect(hwnd), (RECT{x, y, x + 1024, y + 700}));
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW), WS_EX_APPWINDOW)
        << "the pair's taskbar button";
    EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, topMost == 1);

    ::SetWindowPos(hwnd, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    back_.PresentBackdrop(true);
    EXPECT_EQ(WindowRect(hwnd), (RECT{40, 30, 1064, 730}));
    ::DestroyWindow(hwnd);
    back_.m_hwnd = nullptr;
  }
}

TEST_F(BackdropTest, LoginWindowFollowsEveryMove) {
  Initialize(::GetModuleHandleW(nullptr));
  for (POINT to : {POINT{100, 50}, POINT{-20, 7}, POINT{300, 200}}) {
    ::SetWindowPos(back_.GetHwnd(), nullptr, to.x, to.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowRect(login_), (RECT{to.x, to.y, to.x + 100, to.y + 100}));
  }
}

TEST_F(BackdropTest, ShowsItsPictureWithPerPixelAlphaOnceTheLoopRuns) {
  ScopedComInit com;
  // Left half fully transparent, right half an opaque colour.
  std::vector<std::uint8_t> pixels(static_cast<size_t>(1024) * 700 * 4);
  for (size_t y = 0; y < 700; ++y) {
    for (size_t x = 512; x < 1024; ++x) {
      std::uint8_t* p = &pixels[(y * 1024 + x) * 4];
      p[0] = 40, p[1] = 120, p[2] = 200, p[3] = 255;
    }
  }
  ResourceModule module({{L"PNG", 170, Png(1024, 700, pixels, true)}});
  ASSERT_NE(module.Get(), nullptr);
  Initialize(module.Get());
  g_globalModule.hInstance = module.Get();  // where the picture is read from
  const RECT before = WindowRect(back_.GetHwnd());
  back_.PresentBackdrop(false);
  const RECT at = WindowRect(back_.GetHwnd());
  const POINT left{at.left + 256, at.top + 350};
  const POINT right{at.left + 768, at.top + 350};
  const RECT probe{left.x, left.y, left.x + 1, left.y + 1};
  const ScreenShot desktop = CaptureScreen(probe);
  // Applied from the message loop, after start-up's own messages.
  PumpMessages(5000, [&] {
    return CaptureScreen(RECT{right.x, right.y, right.x + 1, right.y + 1}).pixels ==
           std::vector<std::uint32_t>{0x00C87828};
  });
  EXPECT_EQ(CaptureScreen(RECT{right.x, right.y, right.x + 1, right.y + 1}).pixels,
            std::vector<std::uint32_t>{0x00C87828})
      << "the opaque half shows the picture";
  EXPECT_EQ(CaptureScreen(probe), desktop) << "the transparent half shows what is behind";
  EXPECT_EQ(before, (RECT{0, 0, 1024, 700}));
  EXPECT_EQ(WindowRect(back_.GetHwnd()), at) << "applying the picture does not move the window";
}

TEST_F(BackdropTest, PressAnywhereStartsTheSystemDrag) {
  Initialize(::GetModuleHandleW(nullptr));
  for (LPARAM at : {MAKELPARAM(5, 5), MAKELPARAM(512, 350), MAKELPARAM(1023, 699)}) {
    ::SendMessageW(back_.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  }
  EXPECT_EQ(formtest::FormRoute::Drags(), (std::vector<WPARAM>(3, SC_MOVE | HTCAPTION)));
}

}  // namespace
