// DrawMark: a mark symbol centred on a pixel. Codes 0..51 are small shapes
// drawn with the canvas' current pen; 52..255 draw one character of the
// canvas' current font (200..209 are the digits 0..9).
#pragma once

#include <cstdint>

#include "kelvo/platform/Canvas.h"
#include "kelvo/platform/Raster.h"

namespace vexa {

void DrawMark(TCanvas& Canvas, uint8_t Symbol, int32_t X, int32_t Y);

// One logical pixel with its top-left corner at (X, Y): a pixel, or at a
// device scale the block of Length(1) x Length(1) pixels.
void DrawDot(TCanvas& Canvas, int32_t X, int32_t Y, TColor Color);

// The fast path of the filled squares (codes 7 to 9) for a one-pixel pen at
// a device scale of 1: the (2n+1)-pixel square DrawMark covers (outline and
// inside in the pen's colour), written in copy mode straight into the
// surface. Callers keep to those conditions and draw in copy mode without a
// recording canvas; the render tests prove the pictures equal DrawMark's.
inline void FillSquareMark(const raster::TSurface& Surface, uint8_t Symbol, int32_t X, int32_t Y,
                    raster::TPaint Paint) {
  const int64_t h = int64_t{Symbol} - 6;  // 1, 2 or 3
  const int64_t l = int64_t{X} - h, t = int64_t{Y} - h, side = 2 * h + 1;
  if (l < 0 || t < 0 || l + side > Surface.Width || t + side > Surface.Height || Paint.Xor) {
    raster::FillRect(Surface, l, t, l + side, t + side, Paint);
    return;
  }
  // Wholly on the surface: the rows written straight in, each size with its
  // own fixed loop so that it unrolls.
  uint32_t* row = Surface.Row(static_cast<int32_t>(t)) + l;
  const auto box = [row, stride = size_t(Surface.Stride), pixel = Paint.Pixel]<int Side>() {
    uint32_t* r = row;
    for (int y = 0; y < Side; ++y, r += stride)
      for (int x = 0; x < Side; ++x) r[x] = pixel;
  };
  if (side == 3)
    box.template operator()<3>();
  else if (side == 5)
    box.template operator()<5>();
  else
    box.template operator()<7>();
}


}  // namespace vexa
