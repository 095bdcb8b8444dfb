// DrawMark: a mark symbol centred on a pixel. Codes 0..51 are small shapes
// drawn with the canvas' current pen; 52..255 draw one character of the
// canvas' current font (200..209 are the digits 0..9).
#pragma once

#include <cstdint>

#include "kelvo/platform/Canvas.h"

namespace vexa {

void DrawMark(TCanvas& Canvas, uint8_t Symbol, int32_t X, int32_t Y);

// One logical pixel with its top-left corner at (X, Y): a pixel, or at a
// device scale the block of Length(1) x Length(1) pixels.
void DrawDot(TCanvas& Canvas, int32_t X, int32_t Y, TColor Color);

}  // namespace vexa
