// Nine-slice geometry and premultiplication, with the launcher's real shapes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/core/pixels.h"
#include "ui/core/slice.h"

namespace {

TEST(SliceTest, FrameBordersOverTheLoginWindowGiveNinePieces) {
  // The 29x30 frame picture with 5-pixel borders over the 1024x700 window.
  const auto pieces = SlicePieces({5, 5, 5, 5}, 0, 0, 1024, 700, 29, 30);
  ASSERT_EQ(pieces.size(), 9u);
  const std::vector<SlicePiece> expected = {
      {{0, 0, 5, 5}, {0, 0, 5, 5}},        {{5, 0, 1014, 5}, {5, 0, 19, 5}},
      {{1019, 0, 5, 5}, {24, 0, 5, 5}},    {{0, 5, 5, 690}, {0, 5, 5, 20}},
      {{5, 5, 1014, 690}, {5, 5, 19, 20}}, {{1019, 5, 5, 690}, {24, 5, 5, 20}},
      {{0, 695, 5, 5}, {0, 25, 5, 5}},     {{5, 695, 1014, 5}, {5, 25, 19, 5}},
      {{1019, 695, 5, 5}, {24, 25, 5, 5}},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(pieces[i].dest, expected[i].dest) << "piece " << i;
    EXPECT_EQ(pieces[i].source, expected[i].source) << "piece " << i;
  }
}

TEST(SliceTest, OneDirectionGivesThreeFullLengthPieces) {
  // Left/right borders only: three pieces at full height, offset by the rectangle.
  auto across = SlicePieces({10, 0, 10, 0}, 100, 20, 300, 61, 134, 41);
  ASSERT_EQ(across.size(), 3u);
  EXPECT_EQ(across[0].dest, (SliceBox{100, 20, 10, 41}));
  EXPECT_EQ(across[0].source, (SliceBox{0, 0, 10, 41}));
  EXPECT_EQ(across[1].dest, (SliceBox{110, 20, 180, 41}));
  EXPECT_EQ(across[1].source, (SliceBox{10, 0, 114, 41}));
  EXPECT_EQ(across[2].dest, (SliceBox{290, 20, 10, 41}));
  EXPECT_EQ(across[2].source, (SliceBox{124, 0, 10, 41}));

  auto down = SlicePieces({0, 4, 0, 6}, 0, 10, 3, 410, 3, 359);
  ASSERT_EQ(down.size(), 3u);
  EXPECT_EQ(down[0].dest, (SliceBox{0, 10, 3, 4}));
  EXPECT_EQ(down[1].dest, (SliceBox{0, 14, 3, 390}));
  EXPECT_EQ(down[1].source, (SliceBox{0, 4, 3, 349}));
  EXPECT_EQ(down[2].dest, (SliceBox{0, 404, 3, 6}));
  EXPECT_EQ(down[2].source, (SliceBox{0, 353, 3, 6}));
}

TEST(SliceTest, BordersThatLeaveNoRoomDisableSlicing) {
  struct Case {
    SliceBorders borders;
    int controlW, controlH, imageW, imageH;
    size_t pieces;
  } cases[] = {
      {{0, 0, 0, 0}, 100, 100, 29, 30, 0},
      {{15, 0, 14, 0}, 100, 100, 29, 30, 0},  // sum equals picture width
      {{10, 0, 10, 0}, 20, 100, 29, 30, 0},   // sum equals control width
      {{10, 0, 10, 0}, 21, 100, 29, 30, 3},
      {{5, 15, 5, 15}, 100, 100, 29, 30, 3},  // vertical sum equals picture height
      {{5, 5, 5, 5}, 100, 10, 29, 30, 3},     // vertical sum equals control height
      {{0, 0, 0, 0}, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SlicePieces(c.borders, 0, 0, c.controlW, c.controlH, c.imageW, c.imageH).size(),
              c.pieces)
        << c.borders.left << "," << c.borders.top << "," << c.borders.right << ","
        << c.borders.bottom << " over " << c.controlW << "x" << c.controlH;
  }
}

TEST(SliceTest, WholePictureIsStretchedOrCentredVertically) {
  EXPECT_EQ(PlaceWholePicture(0, 10, 36, 110, 36, 52, false), (SliceBox{0, 34, 36, 52}));
  EXPECT_EQ(PlaceWholePicture(5, 10, 41, 110, 36, 52, true), (SliceBox{5, 10, 36, 100}));
  // Taller than the rectangle: top edge, own height.
  EXPECT_EQ(PlaceWholePicture(0, 10, 36, 40, 36, 52, false), (SliceBox{0, 10, 36, 52}));
  // Odd leftover truncates: (41 - 24) / 2 = 8.
  EXPECT_EQ(PlaceWholePicture(0, 0, 24, 41, 24, 24, false), (SliceBox{0, 8, 24, 24}));
}

TEST(PixelsTest, PremultiplyTruncatesAndKeepsAlpha) {
  // B, G, R, A per pixel.
  std::vector<std::uint8_t> px = {
      200, 100, 50,  128,  // 25600/255 = 100.39 -> 100; 12800/255 -> 50; 6400/255 -> 25
      10,  20,  30,  0,    // transparent: colour gone
      1,   2,   255, 255,  // opaque: unchanged
      255, 255, 255, 1,    // faint white -> 1
  };
  PremultiplyRows(px.data(), 4, 1, 16);
  const std::vector<std::uint8_t> expected = {100, 50, 25,  128, 0, 0, 0, 0,
                                              1,   2,  255, 255, 1, 1, 1, 1};
  EXPECT_EQ(px, expected);
}

TEST(PixelsTest, PremultiplyWalksRowsByPitchAndSkipsPadding) {
  // Two rows of one pixel, 8 bytes apart; the padding bytes must stay.
  std::vector<std::uint8_t> px = {200, 200, 200, 51,  77, 77, 77, 77,
                                  100, 100, 100, 102, 77, 77, 77, 77};
  PremultiplyRows(px.data(), 1, 2, 8);
  EXPECT_EQ(px, (std::vector<std::uint8_t>{40, 40, 40, 51, 77, 77, 77, 77, 40, 40, 40, 102, 77, 77,
                                           77, 77}));
  // Bottom-up: start at the last row and walk backwards.
  std::vector<std::uint8_t> up = {255, 255, 255, 0, 255, 255, 255, 255};
  PremultiplyRows(up.data() + 4, 1, 2, -4);
  EXPECT_EQ(up, (std::vector<std::uint8_t>{0, 0, 0, 0, 255, 255, 255, 255}));
}

}  // namespace
