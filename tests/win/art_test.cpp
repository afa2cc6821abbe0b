// The launcher's pictures as the program carries them: every picture at the
// size its window lays it out with, with alpha only where it is meant to have
// it, and the properties the windows depend on - the key colour, the backdrop
// under the login window's buttons and the stretchable bars.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "app/com_ptr.h"
#include "ui/image.h"

namespace {

struct Bgra {
  std::uint8_t b, g, r, a;
};

Bgra PixelAt(const CImage& image, int x, int y) {
  const std::uint8_t* p = image.GetPixelAddress(x, y);
  return {p[0], p[1], p[2], image.GetBPP() == 32 ? p[3] : std::uint8_t{255}};
}

bool SameColour(Bgra a, Bgra b) { return a.b == b.b && a.g == b.g && a.r == b.r; }

bool IsKeyColour(Bgra p) { return p.r == 255 && p.g == 128 && p.b == 255; }

struct ArtCase {
  UINT id;
  int width;
  int height;
  bool alpha;
};

// Every "PNG" picture: the backdrop, the login window's fill and buttons, the
// game window's bar, icon and buttons, the QQ login window's frame and close
// button, and the two spare action buttons.
constexpr ArtCase kArt[] = {
    {170, 1024, 700, true}, {183, 29, 30, false},   {184, 27, 27, false},   {185, 27, 27, false},
    {186, 28, 27, false},   {187, 28, 27, false},   {188, 36, 52, true},    {189, 36, 52, false},
    {190, 134, 41, true},   {191, 134, 41, false},  {192, 36, 47, true},    {193, 36, 47, false},
    {194, 134, 41, false},  {195, 134, 41, false},  {196, 127, 43, false},  {197, 127, 43, false},
    {198, 135, 41, false},  {199, 135, 41, false},  {200, 136, 41, false},  {201, 136, 41, false},
    {202, 38, 18, false},   {203, 38, 18, false},   {204, 24, 24, false},   {205, 27, 27, false},
    {206, 27, 27, false},   {207, 28, 27, false},   {208, 28, 27, false},   {209, 27, 27, false},
    {210, 27, 27, false},   {211, 38, 18, false},   {212, 38, 18, false},   {213, 38, 18, false},
    {214, 38, 18, false},   {215, 38, 18, false},   {216, 38, 18, false},   {217, 38, 18, false},
    {218, 38, 18, false},   {219, 1500, 27, false}, {221, 1500, 27, false}, {222, 3, 359, false},
    {223, 469, 4, false},   {224, 27, 27, false},   {225, 27, 27, false},   {226, 134, 48, false},
    {227, 134, 48, false},
};

// The login window's buttons: normal and hover pictures and their rectangle.
struct LoginButton {
  UINT normal;
  UINT hover;
  RECT rect;
};
constexpr LoginButton kLoginButtons[] = {
    {192, 193, {952, 171, 988, 218}}, {188, 189, {945, 242, 981, 294}},
    {194, 195, {354, 119, 488, 160}}, {198, 199, {787, 120, 922, 161}},
    {200, 201, {642, 119, 778, 160}}, {190, 191, {498, 120, 632, 161}},
};

// Where the login page shows; before it arrives the backdrop shows here.
constexpr RECT kPageArea = {456, 164, 941, 615};

class ArtTest : public ::testing::Test {
 protected:
  static bool Load(UINT id, CImage& image) {
    return LoadResourceImage(::GetModuleHandleW(nullptr), image, id);
  }
  ScopedComInit com_;
};

TEST_F(ArtTest, EveryPictureHasItsSizeAndAlphaOnlyWhereMeant) {
  for (const ArtCase& c : kArt) {
    SCOPED_TRACE(testing::Message() << "picture " << c.id);
    CImage image;
    EXPECT_TRUE(Load(c.id, image));
    ASSERT_FALSE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), c.width);
    EXPECT_EQ(image.GetHeight(), c.height);
    EXPECT_EQ(image.HasAlpha(), c.alpha);
    EXPECT_EQ(image.GetBPP(), c.alpha ? 32 : 24);
    if (!c.alpha) continue;
    // Real alpha: some pixels fully transparent, some fully opaque.
    bool clear = false;
    bool opaque = false;
    for (int y = 0; y < image.GetHeight(); ++y) {
      for (int x = 0; x < image.GetWidth(); ++x) {
        const std::uint8_t a = PixelAt(image, x, y).a;
        clear = clear || a == 0;
        opaque = opaque || a == 255;
      }
    }
    EXPECT_TRUE(clear);
    EXPECT_TRUE(opaque);
  }
}

TEST_F(ArtTest, LoginFillIsTheKeyColourAsPngAndAsBitmap) {
  CImage png;
  EXPECT_TRUE(Load(183, png));
  CImage bitmap;
  EXPECT_FALSE(Load(220, bitmap)) << "220 is a plain bitmap";
  for (const CImage* image : {&png, &bitmap}) {
    SCOPED_TRACE(image == &png ? "PNG 183" : "bitmap 220");
    ASSERT_FALSE(image->IsNull());
    EXPECT_EQ(image->GetWidth(), 29);
    EXPECT_EQ(image->GetHeight(), 30);
    int other = 0;
    for (int y = 0; y < image->GetHeight(); ++y) {
      for (int x = 0; x < image->GetWidth(); ++x)
        other += IsKeyColour(PixelAt(*image, x, y)) ? 0 : 1;
    }
    EXPECT_EQ(other, 0) << "pixels not of the key colour";
  }
}

TEST_F(ArtTest, BackdropFadesOutAtItsEdgesAndIsOpaqueWhereTheLoginWindowDraws) {
  CImage backdrop;
  ASSERT_TRUE(Load(170, backdrop));
  ASSERT_EQ(backdrop.GetWidth(), 1024);
  ASSERT_EQ(backdrop.GetHeight(), 700);

  // Every edge pixel is fully transparent: the shadow has faded out.
  int visibleEdge = 0;
  for (int x = 0; x < 1024; ++x) {
    visibleEdge += PixelAt(backdrop, x, 0).a != 0;
    visibleEdge += PixelAt(backdrop, x, 699).a != 0;
  }
  for (int y = 0; y < 700; ++y) {
    visibleEdge += PixelAt(backdrop, 0, y).a != 0;
    visibleEdge += PixelAt(backdrop, 1023, y).a != 0;
  }
  EXPECT_EQ(visibleEdge, 0);
  // Below the frame the shadow is soft: partly transparent.
  const std::uint8_t shadow = PixelAt(backdrop, 512, 676).a;
  EXPECT_GT(shadow, 0);
  EXPECT_LT(shadow, 255);

  // The page area: opaque and dark, so the yellow status text reads on it.
  int notDarkOpaque = 0;
  for (LONG y = kPageArea.top; y < kPageArea.bottom; ++y) {
    for (LONG x = kPageArea.left; x < kPageArea.right; ++x) {
      const Bgra p = PixelAt(backdrop, x, y);
      notDarkOpaque += (p.a == 255 && p.r < 80 && p.g < 80 && p.b < 96) ? 0 : 1;
    }
  }
  EXPECT_EQ(notDarkOpaque, 0) << "page-area pixels not dark and opaque";
}

TEST_F(ArtTest, LoginButtonsCoverTheirPictureOnTheBackdropExactly) {
  CImage backdrop;
  ASSERT_TRUE(Load(170, backdrop));
  for (const LoginButton& b : kLoginButtons) {
    SCOPED_TRACE(testing::Message() << "button " << b.normal);
    CImage normal;
    CImage hover;
    ASSERT_TRUE(Load(b.normal, normal));
    ASSERT_TRUE(Load(b.hover, hover));
    ASSERT_EQ(normal.GetWidth(), b.rect.right - b.rect.left);
    ASSERT_EQ(normal.GetHeight(), b.rect.bottom - b.rect.top);
    ASSERT_EQ(hover.GetWidth(), normal.GetWidth());
    ASSERT_EQ(hover.GetHeight(), normal.GetHeight());
    int differing = 0;
    int halfTransparent = 0;
    int backdropSeeThrough = 0;
    for (int y = 0; y < normal.GetHeight(); ++y) {
      for (int x = 0; x < normal.GetWidth(); ++x) {
        const Bgra under = PixelAt(backdrop, b.rect.left + x, b.rect.top + y);
        const Bgra p = PixelAt(normal, x, y);
        // The opaque hover picture hides the backdrop; it must not show a hole.
        backdropSeeThrough += under.a != 255;
        // Over the key colour a half-transparent pixel would turn pink.
        halfTransparent += p.a != 0 && p.a != 255;
        differing += p.a == 255 && !SameColour(p, under);
      }
    }
    EXPECT_EQ(backdropSeeThrough, 0);
    EXPECT_EQ(halfTransparent, 0);
    EXPECT_EQ(differing, 0) << "pixels unlike the backdrop under the button";
  }
}

TEST_F(ArtTest, BarsAndBordersStretchWithoutDistortion) {
  // Pictures stretched along one direction must be the same all along it.
  struct Stretched {
    UINT id;
    bool alongRows;  // true: every column equal; false: every row equal
  };
  for (const Stretched s :
       {Stretched{219, true}, Stretched{221, true}, Stretched{223, true}, Stretched{222, false}}) {
    SCOPED_TRACE(testing::Message() << "picture " << s.id);
    CImage image;
    ASSERT_TRUE(Load(s.id, image));
    int unlike = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
      for (int x = 0; x < image.GetWidth(); ++x) {
        const Bgra first = s.alongRows ? PixelAt(image, 0, y) : PixelAt(image, x, 0);
        unlike += !SameColour(PixelAt(image, x, y), first);
      }
    }
    EXPECT_EQ(unlike, 0);
  }
}

TEST_F(ArtTest, TitleBarButtonsContinueTheBarBehindThem) {
  // Picture, bar it sits on, and the bar row its top row lies on: the game
  // window puts its window buttons at row 1 and its icon at row 2, the QQ
  // login window its close button at row 0.
  struct OnBar {
    UINT id;
    UINT bar;
    int top;
  };
  constexpr OnBar kOnBar[] = {
      {184, 219, 1}, {185, 219, 1}, {186, 219, 1}, {187, 219, 1}, {205, 219, 1},
      {206, 219, 1}, {207, 219, 1}, {208, 219, 1}, {209, 219, 1}, {210, 219, 1},
      {204, 219, 2}, {224, 221, 0}, {225, 221, 0},
  };
  for (const OnBar& c : kOnBar) {
    SCOPED_TRACE(testing::Message() << "picture " << c.id << " on " << c.bar);
    CImage bar;
    CImage image;
    ASSERT_TRUE(Load(c.bar, bar));
    ASSERT_TRUE(Load(c.id, image));
    // The leftmost column is plain bar, row for row.
    int unlike = 0;
    for (int y = 0; y < image.GetHeight() && c.top + y < bar.GetHeight(); ++y) {
      unlike += !SameColour(PixelAt(image, 0, y), PixelAt(bar, 0, c.top + y));
    }
    EXPECT_EQ(unlike, 0);
  }
}

}  // namespace
