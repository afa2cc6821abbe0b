// Nine-slice geometry: how a small picture with fixed borders is cut into
// pieces that stretch over a larger rectangle, and where a whole picture lands
// when it is not sliced. Pure integer maths, shared by the image and button
// controls.
#pragma once

#include <vector>

struct SliceBorders {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// x, y, width, height.
struct SliceBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const SliceBox& other) const {
    return x == other.x && y == other.y && width == other.width && height == other.height;
  }
};

struct SlicePiece {
  SliceBox dest;
  SliceBox source;
};

// Borders apply in a direction only when they are positive in sum and leave
// room in both the picture and the control.
bool SliceHorizontally(const SliceBorders& b, int controlWidth, int imageWidth);
bool SliceVertically(const SliceBorders& b, int controlHeight, int imageHeight);

// The copies that draw the picture (w by h) over the rectangle (x0, y0, x1, y1):
// nine when both directions slice, three when one does, none otherwise.
std::vector<SlicePiece> SlicePieces(const SliceBorders& b, int x0, int y0, int x1, int y1, int w,
                                    int h);

// Destination of one whole-picture copy: the rectangle itself when stretching,
// else the picture's own size at the left edge, centred vertically when it is
// shorter than the rectangle.
SliceBox PlaceWholePicture(int x0, int y0, int x1, int y1, int w, int h, bool stretch);
