// Small drawing sheets for raster tests.
#pragma once

#include <memory>

#include "kelvo/platform/Bitmap.h"

namespace kelvo::test {

// A bitmap of the given size, filled with Background, with a black pen
// and a clear brush ready.
inline std::unique_ptr<vexa::TBitmap> MakeSheet(int w, int h,
                                                vexa::TColor Background = vexa::clWhite) {
  auto b = std::make_unique<vexa::TBitmap>(w, h);
  auto& c = b->Canvas();
  c.Brush().SetColor(Background);
  c.FillRect(vexa::Rect(0, 0, w, h));
  c.Brush().SetStyle(vexa::TBrushStyle::bsClear);
  c.Pen().SetColor(vexa::clBlack);
  return b;
}

// Number of pixels of the given colour.
inline int CountColor(vexa::TBitmap& b, vexa::TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Canvas().Pixels(x, y) == c;
  return n;
}

inline bool SamePixels(const vexa::TBitmap& a, const vexa::TBitmap& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::equal(a.Bits(), a.Bits() + size_t(a.Width()) * a.Height(), b.Bits());
}

}  // namespace kelvo::test
