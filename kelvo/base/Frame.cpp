#include "kelvo/base/Frame.h"

namespace vexa {

void DrawFrame(TCanvas& c, TFrameStyle Style, int32_t L, int32_t T, int32_t R, int32_t B,
               const TFrameColors& Colors) {
  const TColor D = Colors.Dark, S = Colors.Shadow, W = Colors.Light, V = clSilver;
  TColor c1, c2, c3, c4;
  switch (Style) {
    case TFrameStyle::fsNone:
      return;
    case TFrameStyle::fsSimple:
      c.Pen().SetColor(D);
      c.MoveTo(L, T);
      c.LineTo(L, B);
      c.LineTo(R, B);
      c.LineTo(R, T);
      c.LineTo(L, T);
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
  c.MoveTo(L, B);
  c.LineTo(L, T);
  c.LineTo(R + 1, T);
  c.Pen().SetColor(c2);
  c.MoveTo(R, T + 1);
  c.LineTo(R, B);
  c.LineTo(L - 1, B);
  c.Pen().SetColor(c3);
  c.MoveTo(L + 1, B - 1);
  c.LineTo(L + 1, T + 1);
  c.LineTo(R, T + 1);
  c.Pen().SetColor(c4);
  c.MoveTo(R - 1, T + 2);
  c.LineTo(R - 1, B - 1);
  c.LineTo(L, B - 1);
}

}  // namespace vexa
