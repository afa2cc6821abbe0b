// Pixel maths on 32-bit BGRA rows: premultiplying colour by alpha for the
// system's blending function.
#pragma once

#include <cstdint>

// Each colour byte becomes value * alpha / 255, truncated; alpha stays. `pitch`
// is the byte distance from one row to the next (negative for bottom-up rows,
// with `firstRow` then pointing at row 0 as seen on screen).
void PremultiplyRows(std::uint8_t* firstRow, int width, int height, int pitch);
