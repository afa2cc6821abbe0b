#include "ui/core/pixels.h"

#include <cstddef>

void PremultiplyRows(std::uint8_t* firstRow, int width, int height, int pitch) {
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = firstRow + static_cast<std::ptrdiff_t>(y) * pitch;
    for (int x = 0; x < width; ++x, p += 4) {
      const unsigned a = p[3];
      p[0] = static_cast<std::uint8_t>(p[0] * a / 255);
      p[1] = static_cast<std::uint8_t>(p[1] * a / 255);
      p[2] = static_cast<std::uint8_t>(p[2] * a / 255);
    }
  }
}
