// The two premultiplications side by side: buttons truncate, the backdrop
// rounds. Where they differ is where a wrong choice shows as a darker halo.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/core/pixels.h"

namespace {

struct Case {
  std::uint8_t value;
  std::uint8_t alpha;
  std::uint8_t truncated;
  std::uint8_t rounded;
};

TEST(PremultiplyTest, TruncatingAndRoundingPerChannel) {
  const Case cases[] = {
      {200, 128, 100, 100},  // 25600 / 255 = 100.4; (25600 + 127) / 255 = 100.9
      {100, 128, 50, 50},   {50, 128, 25, 25},
      {1, 128, 0, 1},  // 0.50: truncation loses the pixel, rounding keeps it
      {3, 128, 1, 2},  // 1.51
      {255, 1, 1, 1},       {254, 1, 0, 1},
      {128, 2, 1, 1},       {77, 0, 0, 0},  // transparent: colour gone either way
      {77, 255, 77, 77},                    // opaque: unchanged either way
      {255, 255, 255, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "value " << int(c.value) << " alpha " << int(c.alpha));
    std::vector<std::uint8_t> truncated = {c.value, c.value, c.value, c.alpha};
    std::vector<std::uint8_t> rounded = truncated;
    PremultiplyRows(truncated.data(), 1, 1, 4);
    PremultiplyRowsRounded(rounded.data(), 1, 1, 4);
    EXPECT_EQ(truncated,
              (std::vector<std::uint8_t>{c.truncated, c.truncated, c.truncated, c.alpha}));
    EXPECT_EQ(rounded, (std::vector<std::uint8_t>{c.rounded, c.rounded, c.rounded, c.alpha}));
  }
}

TEST(PremultiplyTest, RoundingWalksRowsByPitch) {
  // The worked backdrop pixel (B 200, G 100, R 50, A 128) on two bottom-up rows
  // with padding that must stay.
  std::vector<std::uint8_t> px = {200, 100, 50, 128, 9, 9, 9, 9, 1, 3, 254, 128, 9, 9, 9, 9};
  PremultiplyRowsRounded(px.data() + 8, 1, 2, -8);
  EXPECT_EQ(px,
            (std::vector<std::uint8_t>{100, 50, 25, 128, 9, 9, 9, 9, 1, 2, 127, 128, 9, 9, 9, 9}));
}

}  // namespace
