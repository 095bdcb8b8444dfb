// Any int32 is a valid coordinate, size or offset: every public integer
// parameter of the canvas, the marks and the drawing commands is driven over
// the extremes of the range. The sanitizer build turns an overflow into a
// failure; the checks here catch wrapped pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "kelvo/base/Marks.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "support/ChartFixtures.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kExtremes[] = {kMin, kMin + 1, -(1 << 30) - 1, -40000,   -1,  0,
                                 20,   40000,    (1 << 30) + 1,  kMax - 1, kMax};

// The opposite value, where it exists.
int32_t Neg(int32_t v) { return v == kMin ? kMax : -v; }

TEST(Int32Extremes, CanvasOperations) {
  auto sheet = kelvo::test::MakeSheet(41, 41);
  TCanvas& c = sheet->Canvas();
  TBitmap small(3, 3);
  for (const bool smooth : {false, true}) {
    c.SetAntiAliased(smooth);
    for (int32_t a : kExtremes)
      for (int32_t b : kExtremes) {
        for (int width : {1, 5}) {
          c.Pen().SetWidth(width);
          for (TPenStyle style : {TPenStyle::psSolid, TPenStyle::psDot}) {
            c.Pen().SetStyle(style);
            c.MoveTo(a, b);
            c.LineTo(b, a);
            c.LineTo(a / -2, b);
            const TPoint pts[] = {{a, b}, {b, a}, {20, 20}, {Neg(b), a}};
            c.Polyline(pts);
            c.Polygon(pts);
          }
        }
        c.Pen().SetWidth(1);
        c.Pen().SetStyle(TPenStyle::psSolid);
        c.Rectangle(a, b, b, a);
        c.Ellipse(a, b, b, a);
        c.FillRect(Rect(a, b, b, a));
        c.SetPixels(a, b, clRed);
        EXPECT_EQ(c.Pixels(a, b) == clInvalidPixel, a < 0 || a > 40 || b < 0 || b > 40);
        c.TextOut(a, b, "Ag");
        c.Draw(a, b, small);
        c.StretchDraw(TRect{a, b, b, a}, small);
      }
  }
}

// A mark whose centre lies beyond the sheet leaves it alone, however far.
TEST(Int32Extremes, MarksFarOutsideDrawNothing) {
  auto sheet = kelvo::test::MakeSheet(41, 41);
  TCanvas& c = sheet->Canvas();
  c.Pen().SetColor(clBlack);
  c.Brush().SetColor(clRed);
  for (int32_t a : kExtremes)
    for (int32_t b : kExtremes) {
      const bool far = a < -10 || a > 50 || b < -10 || b > 50;  // marks reach 8 pixels
      if (!far) continue;
      for (int symbol = 0; symbol < 256; ++symbol) DrawMark(c, static_cast<uint8_t>(symbol), a, b);
    }
  EXPECT_EQ(kelvo::test::CountColor(*sheet, clWhite), 41 * 41);
}

// At every device ratio: offsets and depths are scaled before they are
// kept in range, not after.
TEST(Int32Extremes, DrawingCommandsAndMargins) {
  for (double ratio : {1.0, 3.0}) {
    auto c = kelvo::test::PlainChart();
    c->SetDevicePixelRatio(ratio);
    for (int32_t v : kExtremes) {
      c->Bar3D(v, v, 1, 1, 3, 3);
      c->Bar3D(20, v, 1, 1, 3, 3);
      c->MoveTo(5, 5);
      c->MoveRel(v, v / -2);
      c->LineRel(v, v);
      c->LineRel(v / -3, v);
      c->Text(5, 5, "x", v);
      c->TextOffset(5, 5, v, v, "y", 8);
      c->Arrow(1, 1, 8, 8, v);
      c->PixelBox(5, 5, v, v);
      c->PixelBox(5, 5, v, 3, true);
      c->MarkAt(5, 5, static_cast<uint8_t>(v));
    }
    c->Rectangle(1, 1, 9, 9);
    c->Bar3D(kMax, 45, 1, 1, 9, 9);
    c->BevelBox(1, 1, 9, 9, TFrameStyle::fsEmbossed, clRed, clBlue);
    c->ErrorBar(5, 5, 1, 1, true, 9);
    c->Ellipse(5, 5, 2, 2);
    c->SetGridStyle(GridStyleType::gsDotLines);
    c->CrossHair1().SetMode(TCrossHMode::chBoth);
    c->CrossHair1().SetPosX(5);
    c->CrossHair1().SetPosY(5);
    c->TextLabels(1).SetCaption("label");
    c->TextLabels(1).SetMode(TTxtLblMode::tlBox);
    c->TextLabels(1).SetVisible(true);
    c->SetShadowWidth(8);
    EXPECT_NO_THROW(c->Paint());
    for (int32_t m : {kMin + 1, -40000, kMax - 1, kMax}) {
      c->SetMarginLeft(m);
      c->SetMarginRight(m / -2);
      EXPECT_NO_THROW(c->Paint());
      c->SetMarginTop(m);
      EXPECT_NO_THROW(c->ShowGraph());
      c->SetMarginLeft(50);
      c->SetMarginRight(20);
      c->SetMarginTop(20);
    }
  }
}

}  // namespace
