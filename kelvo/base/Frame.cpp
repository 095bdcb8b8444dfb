#include "kelvo/base/Frame.h"

namespace vexa {

void DrawFrame(TCanvas& c, TFrameStyle Style, int32_t L, int32_t T, int32_t R, int32_t B,
               const TFrameColors& Colors) {
  const TColor D = Colors.Dark, S = Colors.Shadow, W = Colors.Light, V = clSilver;
  // Logical corners to the canvas's pixels; the pen draws each logical
  // pixel of a line as a block.
  const TDeviceScale& d = c.DeviceScale();
  auto moveTo = [&](int64_t x, int64_t y) { c.MoveTo(d.Position(x), d.Position(y)); };
  auto lineTo = [&](int64_t x, int64_t y) { c.LineTo(d.Position(x), d.Position(y)); };
  TColor c1, c2, c3, c4;
  switch (Style) {
    case TFrameStyle::fsNone:
      return;
    case TFrameStyle::fsSimple:
      c.Pen().SetColor(D);
      moveTo(L, T);
      lineTo(L, B);
      lineTo(R, B);
      lineTo(R, T);
      lineTo(L, T);
      return;
    case TFrameStyle::fsLowered:
      c1 = S, c2 = W, c3 = D, c4 = V;
      break;
    case TFrameStyle::fsRaised:
      c1 = W, c2 = D, c3 = V, c4 = S;
      break;
    case TFrameStyle::fsEmbossed:
      c1 = W, c2 = S, c3 = S, c4 = W;
      break;
    case TFrameStyle::fsEngraved:
      c1 = S, c2 = W, c3 = W, c4 = S;
      break;
    default:
      return;
  }
  // Outer ring, then inner ring; every line leaves out its end pixel.
  c.Pen().SetColor(c1);
  moveTo(L, B);
  lineTo(L, T);
  lineTo(R + 1, T);
  c.Pen().SetColor(c2);
  moveTo(R, T + 1);
  lineTo(R, B);
  lineTo(L - 1, B);
  c.Pen().SetColor(c3);
  moveTo(L + 1, B - 1);
  lineTo(L + 1, T + 1);
  lineTo(R, T + 1);
  c.Pen().SetColor(c4);
  moveTo(R - 1, T + 2);
  lineTo(R - 1, B - 1);
  lineTo(L, B - 1);
}

}  // namespace vexa
