#include "ui/core/slice.h"

bool SliceHorizontally(const SliceBorders& b, int controlWidth, int imageWidth) {
  const int sum = b.left + b.right;
  return 0 < sum && sum < imageWidth && sum < controlWidth;
}

bool SliceVertically(const SliceBorders& b, int controlHeight, int imageHeight) {
  const int sum = b.top + b.bottom;
  return 0 < sum && sum < imageHeight && sum < controlHeight;
}

std::vector<SlicePiece> SlicePieces(const SliceBorders& b, int x0, int y0, int x1, int y1, int w,
                                    int h) {
  const int cw = x1 - x0;
  const int ch = y1 - y0;
  const bool across = SliceHorizontally(b, cw, w);
  const bool down = SliceVertically(b, ch, h);
  const int L = b.left, T = b.top, R = b.right, B = b.bottom;
  std::vector<SlicePiece> pieces;
  if (across && down) {
    const int midW = cw - L - R, midH = ch - T - B;
    const int srcMidW = w - L - R, srcMidH = h - T - B;
    pieces = {
        {{x0, y0, L, T}, {0, 0, L, T}},
        {{x0 + L, y0, midW, T}, {L, 0, srcMidW, T}},
        {{x1 - R, y0, R, T}, {w - R, 0, R, T}},
        {{x0, y0 + T, L, midH}, {0, T, L, srcMidH}},
        {{x0 + L, y0 + T, midW, midH}, {L, T, srcMidW, srcMidH}},
        {{x1 - R, y0 + T, R, midH}, {w - R, T, R, srcMidH}},
        {{x0, y1 - B, L, B}, {0, h - B, L, B}},
        {{x0 + L, y1 - B, midW, B}, {L, h - B, srcMidW, B}},
        {{x1 - R, y1 - B, R, B}, {w - R, h - B, R, B}},
    };
  } else if (across) {
    pieces = {
        {{x0, y0, L, ch}, {0, 0, L, h}},
        {{x0 + L, y0, cw - L - R, ch}, {L, 0, w - L - R, h}},
        {{x1 - R, y0, R, ch}, {w - R, 0, R, h}},
    };
  } else if (down) {
    pieces = {
        {{x0, y0, cw, T}, {0, 0, w, T}},
        {{x0, y0 + T, cw, ch - T - B}, {0, T, w, h - T - B}},
        {{x0, y1 - B, cw, B}, {0, h - B, w, B}},
    };
  }
  return pieces;
}

SliceBox PlaceWholePicture(int x0, int y0, int x1, int y1, int w, int h, bool stretch) {
  if (stretch) return {x0, y0, x1 - x0, y1 - y0};
  const int ch = y1 - y0;
  const int y = h < ch ? y0 + (ch - h) / 2 : y0;
  return {x0, y, w, h};
}
