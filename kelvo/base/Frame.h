// The frame routine: a bevelled one- or two-pixel frame around a rectangle.
#pragma once

#include "kelvo/base/Enums.h"
#include "kelvo/platform/Canvas.h"

namespace vexa {

struct TFrameColors {
  TColor Dark = clBlack;
  TColor Shadow = clGray;
  TColor Light = clWhite;
};

// Frames the rectangle from (L, T) to (R, B), both corners inside the frame,
// in logical pixels: at a device scale the canvas's positions and pen follow.
// fsSimple draws a one-pixel outline in the dark colour; the other styles
// two rings with the outer top-left, outer bottom-right, inner top-left and
// inner bottom-right colours of their style. Leaves the pen colour changed.
void DrawFrame(TCanvas& Canvas, TFrameStyle Style, int32_t L, int32_t T, int32_t R, int32_t B,
               const TFrameColors& Colors);

}  // namespace vexa
