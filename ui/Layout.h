#pragma once
// Sizes are given once, in twips (1/1440 inch), and turned into pixels at the
// screen's dpi when a window is laid out.
#include <windows.h>

namespace polvane {

struct Twips {
  int left, top, width, height;
};

inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, kTwipsPerInch); }

// Edges are converted, not sizes, so that neighbouring controls keep their
// spacing; origin is the parent's own position in the same coordinates.
inline RECT PixelRect(const Twips& twips, int dpi, POINT origin = {0, 0}) {
  return {TwipsToPixels(twips.left, dpi) - origin.x, TwipsToPixels(twips.top, dpi) - origin.y,
          TwipsToPixels(twips.left + twips.width, dpi) - origin.x,
          TwipsToPixels(twips.top + twips.height, dpi) - origin.y};
}

inline SIZE PixelSize(const Twips& twips, int dpi) {
  const RECT r = PixelRect(twips, dpi);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace polvane
