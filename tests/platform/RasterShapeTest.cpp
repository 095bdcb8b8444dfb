// Rectangles, ellipses, polygons and polylines: coverage, outlines, fills,
// tiling and clipping.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "support/Golden.h"
#include "support/Sheet.h"

using namespace vexa;
using kelvo::test::CountColor;
using kelvo::test::MakeSheet;
using kelvo::test::SamePixels;

namespace {

TEST(CanvasRectangle, OutlineWithPenInsideWithBrushRightAndBottomExclusive) {
  auto b = MakeSheet(10, 10);
  auto& c = b->Canvas();
  c.Brush().SetColor(clRed);
  c.Rectangle(2, 3, 7, 8);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inBox = x >= 2 && x <= 6 && y >= 3 && y <= 7;
      const bool edge = inBox && (x == 2 || x == 6 || y == 3 || y == 7);
      EXPECT_EQ(c.Pixels(x, y), edge ? clBlack : inBox ? clRed : clWhite) << x << "," << y;
    }
}

TEST(CanvasRectangle, ReversedCornersDrawTheSameBox) {
  auto a = MakeSheet(12, 12), b = MakeSheet(12, 12);
  a->Canvas().Brush().SetColor(clLime);
  b->Canvas().Brush().SetColor(clLime);
  a->Canvas().Rectangle(2, 3, 9, 10);
  b->Canvas().Rectangle(9, 10, 2, 3);
  EXPECT_TRUE(SamePixels(*a, *b));
  auto c = MakeSheet(12, 12);
  c->Canvas().Brush().SetColor(clLime);
  c->Canvas().Rectangle(9, 3, 2, 10);
  EXPECT_TRUE(SamePixels(*a, *c));
}

TEST(CanvasRectangle, TinyAndEmptyBoxes) {
  auto b = MakeSheet(10, 10);
  auto& c = b->Canvas();
  c.Brush().SetColor(clRed);
  c.Rectangle(1, 1, 2, 2);  // 1 x 1: one outline pixel
  EXPECT_EQ(c.Pixels(1, 1), clBlack);
  EXPECT_EQ(CountColor(*b, clBlack), 1);
  c.Rectangle(4, 4, 6, 6);  // 2 x 2: all outline
  EXPECT_EQ(CountColor(*b, clBlack), 5);
  EXPECT_EQ(CountColor(*b, clRed), 0);
  c.Rectangle(7, 7, 7, 9);  // no width: nothing
  c.Rectangle(7, 7, 9, 7);
  EXPECT_EQ(CountColor(*b, clBlack), 5);
}

TEST(CanvasRectangle, ClearPenBoxesTileWithoutGapsOrOverlaps) {
  // Each pixel is XORed exactly once when the boxes tile the sheet.
  auto b = MakeSheet(37, 29, clBlack);
  auto& c = b->Canvas();
  c.Pen().SetStyle(TPenStyle::psClear);
  c.Pen().SetMode(TPenMode::pmXor);
  c.Brush().SetColor(clWhite);
  std::mt19937 rng(7);
  std::vector<int> xs{0, 37}, ys{0, 29};
  for (int i = 0; i < 5; ++i) {
    xs.push_back(1 + rng() % 35);
    ys.push_back(1 + rng() % 27);
  }
  std::sort(xs.begin(), xs.end());
  std::sort(ys.begin(), ys.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  for (size_t i = 0; i + 1 < xs.size(); ++i)
    for (size_t j = 0; j + 1 < ys.size(); ++j) c.Rectangle(xs[i], ys[j], xs[i + 1], ys[j + 1]);
  EXPECT_EQ(CountColor(*b, clWhite), 37 * 29);
}

TEST(CanvasRectangle, ClearBrushLeavesInsideAndDashedOutlineRunsClockwise) {
  auto b = MakeSheet(40, 30);
  auto& c = b->Canvas();
  c.Pen().SetStyle(TPenStyle::psDot);
  c.Rectangle(2, 2, 38, 28);
  EXPECT_EQ(c.Pixels(20, 15), clWhite);
  EXPECT_EQ(c.Pixels(2, 2), clBlack);  // the pattern starts at the top-left corner
  EXPECT_EQ(c.Pixels(5, 2), clWhite);
  EXPECT_GOLDEN(*b, "rect/dotted-clear-brush");
}

TEST(CanvasRectangle, WidePensAndInsideFrame) {
  auto b = MakeSheet(60, 30);
  auto& c = b->Canvas();
  c.Brush().SetColor(clSilver);
  c.Pen().SetWidth(3);
  c.Rectangle(4, 4, 24, 24);  // band centred on the outline: 3..5 and 22..24
  EXPECT_EQ(c.Pixels(3, 10), clBlack);
  EXPECT_EQ(c.Pixels(5, 10), clBlack);
  EXPECT_EQ(c.Pixels(6, 10), clSilver);
  EXPECT_EQ(c.Pixels(24, 10), clBlack);
  EXPECT_EQ(c.Pixels(25, 10), clWhite);
  c.Pen().SetStyle(TPenStyle::psInsideFrame);
  c.Rectangle(32, 4, 52, 24);  // band inside the box: 32..34 and 49..51
  EXPECT_EQ(c.Pixels(31, 10), clWhite);
  EXPECT_EQ(c.Pixels(32, 10), clBlack);
  EXPECT_EQ(c.Pixels(34, 10), clBlack);
  EXPECT_EQ(c.Pixels(35, 10), clSilver);
  EXPECT_EQ(c.Pixels(51, 10), clBlack);
  EXPECT_EQ(c.Pixels(52, 10), clWhite);
  EXPECT_GOLDEN(*b, "rect/width3");
}

TEST(CanvasRectangle, ClearPenFillsTheWholeBox) {
  auto b = MakeSheet(10, 10);
  auto& c = b->Canvas();
  c.Pen().SetStyle(TPenStyle::psClear);
  c.Brush().SetColor(clBlue);
  c.Rectangle(2, 2, 6, 5);
  EXPECT_EQ(CountColor(*b, clBlue), 4 * 3);
  EXPECT_EQ(c.Pixels(5, 4), clBlue);
  EXPECT_EQ(c.Pixels(6, 4), clWhite);
}

TEST(CanvasRectangle, ExtremeCornersClipToTheSheet) {
  auto b = MakeSheet(20, 20);
  auto& c = b->Canvas();
  c.Brush().SetColor(clRed);
  c.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // outline far away: all brush
  EXPECT_EQ(CountColor(*b, clRed), 400);
  c.Rectangle(-30000, 5, 10, 30000);  // right outline at column 9
  EXPECT_EQ(c.Pixels(9, 10), clBlack);
  EXPECT_EQ(c.Pixels(8, 10), clRed);
  EXPECT_EQ(c.Pixels(5, 5), clBlack);
  c.Pen().SetWidth(5);
  c.Rectangle(INT_MAX - 3, INT_MAX - 3, INT_MAX, INT_MAX);
  c.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
}

TEST(CanvasRectangle, LongRunsAndWholeRowsInEveryKindOfColour) {
  // Widths around the vectorised run lengths, boxes spanning whole rows, and
  // colours whose bytes agree (black, white, grey) or differ.
  for (const TColor colour : {clBlack, clWhite, TColor(0x808080), clRed, TColor(0x123456)}) {
    for (const int width : {63, 64, 65, 130, 200}) {
      auto b = MakeSheet(width, 6);
      auto& c = b->Canvas();
      c.Pen().SetStyle(TPenStyle::psClear);
      c.Brush().SetStyle(TBrushStyle::bsSolid);
      c.Brush().SetColor(colour);
      c.Rectangle(0, 1, width, 4);  // a clear pen fills the whole box: rows 1 to 3
      c.FillRect(Rect(1, 4, width - 1, 5));
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < width; ++x) {
          const bool in = (y >= 1 && y < 4) || (y == 4 && x >= 1 && x < width - 1);
          ASSERT_EQ(c.Pixels(x, y), in ? colour : clWhite)
              << std::hex << colour << std::dec << " w" << width << " " << x << "," << y;
        }
    }
  }
}

TEST(CanvasRectangle, ShortRunsTouchExactlyTheirPixels) {
  // Runs of 1 to 20 pixels at every offset within a vector, as filled boxes
  // whose pen and brush agree (the filled marks) and as plain fills.
  for (int n = 1; n <= 20; ++n)
    for (int x0 = 0; x0 < 5; ++x0) {
      auto b = MakeSheet(32, 4);
      auto& c = b->Canvas();
      c.Pen().SetColor(clRed);
      c.Brush().SetStyle(TBrushStyle::bsSolid);
      c.Brush().SetColor(clRed);
      c.Rectangle(x0, 0, x0 + n, 2);
      c.Brush().SetColor(TColor(0x123456));
      c.FillRect(Rect(x0 + 1, 2, x0 + 1 + n, 3));
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 32; ++x) {
          const bool red = y < 2 && x >= x0 && x < x0 + n;
          const bool fill = y == 2 && x > x0 && x <= x0 + n;
          ASSERT_EQ(c.Pixels(x, y), red ? clRed : (fill ? TColor(0x123456) : clWhite))
              << "n" << n << " at " << x0 << ": " << x << "," << y;
        }
    }
}

TEST(CanvasEllipse, SmallCirclesOfTheMarkSizes) {
  auto b = MakeSheet(48, 12);
  auto& c = b->Canvas();
  c.Brush().SetColor(clRed);
  int x = 1;
  for (int size : {1, 2, 3, 4, 5, 7, 9}) {
    c.Ellipse(x, 1, x + size, 1 + size);
    x += size + 2;
  }
  EXPECT_GOLDEN(*b, "ellipse/small");
  // The 5 x 5 circle: a plus-shaped ring with a 3 x 3 inside.
  auto d = MakeSheet(7, 7);
  d->Canvas().Brush().SetColor(clRed);
  d->Canvas().Ellipse(1, 1, 6, 6);
  const char* rows[] = {".......", "..###..", ".#RRR#.", ".#RRR#.",
                        ".#RRR#.", "..###..", "......."};
  for (int y = 0; y < 7; ++y)
    for (int xx = 0; xx < 7; ++xx) {
      const char e = rows[y][xx];
      EXPECT_EQ(d->Canvas().Pixels(xx, y), e == '#'   ? clBlack
                                           : e == 'R' ? clRed
                                                      : clWhite)
          << xx << "," << y;
    }
}

TEST(CanvasEllipse, StaysInItsBoxAndIsMirrorSymmetric) {
  for (int w = 1; w <= 30; w += 3)
    for (int h = 1; h <= 30; h += 4) {
      auto b = MakeSheet(w + 4, h + 4);
      auto& c = b->Canvas();
      c.Brush().SetColor(clRed);
      c.Ellipse(2, 2, 2 + w, 2 + h);
      for (int y = 0; y < h + 4; ++y)
        for (int x = 0; x < w + 4; ++x) {
          const TColor p = c.Pixels(x, y);
          const bool inBox = x >= 2 && x < 2 + w && y >= 2 && y < 2 + h;
          if (!inBox) {
            ASSERT_EQ(p, clWhite) << w << "x" << h << " at " << x << "," << y;
          }
          ASSERT_EQ(p, c.Pixels(w + 3 - x, y)) << w << "x" << h;
          ASSERT_EQ(p, c.Pixels(x, h + 3 - y)) << w << "x" << h;
        }
      // The ellipse touches all four sides of its box.
      EXPECT_EQ(c.Pixels(2 + w / 2, 2), clBlack);
      EXPECT_EQ(c.Pixels(2, 2 + h / 2), clBlack);
    }
}

TEST(CanvasEllipse, LargeWideAndClearStyles) {
  auto b = MakeSheet(120, 80);
  auto& c = b->Canvas();
  c.Brush().SetColor(clYellow);
  c.Ellipse(4, 4, 116, 76);
  c.Pen().SetWidth(4);
  c.Pen().SetColor(clBlue);
  c.Ellipse(20, 15, 60, 65);
  c.Pen().SetStyle(TPenStyle::psClear);
  c.Brush().SetColor(clGreen);
  c.Ellipse(70, 20, 100, 60);
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetWidth(1);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Ellipse(-200, 50, 300, 400);  // mostly outside
  EXPECT_GOLDEN(*b, "ellipse/large");
}

TEST(CanvasPolygon, BoxPolygonFillsTheRectanglesPixels) {
  auto a = MakeSheet(12, 12), b = MakeSheet(12, 12);
  for (auto* s : {a.get(), b.get()}) {
    s->Canvas().Pen().SetStyle(TPenStyle::psClear);
    s->Canvas().Brush().SetColor(clRed);
  }
  a->Canvas().Rectangle(2, 3, 9, 11);
  const TPoint box[] = {{2, 3}, {9, 3}, {9, 11}, {2, 11}};
  b->Canvas().Polygon(box);
  EXPECT_TRUE(SamePixels(*a, *b));
}

TEST(CanvasPolygon, ConvexConcaveAndSelfIntersecting) {
  auto b = MakeSheet(100, 40);
  auto& c = b->Canvas();
  c.Brush().SetColor(clRed);
  const TPoint diamond[] = {{15, 5}, {25, 15}, {15, 25}, {5, 15}};
  c.Polygon(diamond);
  const TPoint arrow[] = {{35, 5}, {60, 5}, {45, 15}, {60, 30}, {35, 30}};
  c.Polygon(arrow);
  // Five-pointed star: the even-odd rule leaves the pentagon in the middle empty.
  const TPoint star[] = {{80, 2}, {92, 36}, {64, 14}, {96, 14}, {68, 36}};
  c.Polygon(star);
  EXPECT_EQ(c.Pixels(80, 20), clWhite);
  EXPECT_EQ(c.Pixels(80, 10), clRed);
  EXPECT_EQ(c.Pixels(15, 15), clRed);
  EXPECT_GOLDEN(*b, "polygon/shapes");
}

TEST(CanvasPolygon, OutlineDrawsEveryVertexOnce) {
  auto b = MakeSheet(20, 20, clBlack);
  auto& c = b->Canvas();
  c.Pen().SetMode(TPenMode::pmXor);
  c.Pen().SetColor(clWhite);
  const TPoint tri[] = {{2, 2}, {16, 4}, {6, 15}};
  c.Polygon(tri);  // clear brush: outline only
  for (const TPoint& p : tri) EXPECT_EQ(c.Pixels(p.X, p.Y), clWhite);
}

TEST(CanvasPolygon, HugeCoordinatesClip) {
  auto b = MakeSheet(30, 30);
  auto& c = b->Canvas();
  c.Brush().SetColor(clRed);
  const TPoint big[] = {
      {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
  c.Polygon(big);
  EXPECT_EQ(CountColor(*b, clRed), 900);
  const TPoint wedge[] = {{-30000, 15}, {30000, 0}, {30000, 29}};
  c.Brush().SetColor(clBlue);
  c.Polygon(wedge);
  EXPECT_EQ(c.Pixels(15, 15), clBlue);
}

TEST(CanvasPolyline, DoesNotDrawItsLastPoint) {
  auto b = MakeSheet(20, 20);
  auto& c = b->Canvas();
  c.MoveTo(0, 0);
  const TPoint pts[] = {{2, 2}, {12, 2}, {12, 12}};
  c.Polyline(pts);
  EXPECT_EQ(c.Pixels(2, 2), clBlack);
  EXPECT_EQ(c.Pixels(12, 2), clBlack);
  EXPECT_EQ(c.Pixels(12, 11), clBlack);
  EXPECT_EQ(c.Pixels(12, 12), clWhite);
  EXPECT_EQ(CountColor(*b, clBlack), 20);
  EXPECT_EQ(c.PenPos(), Point(0, 0));  // Polyline does not move the pen
}

TEST(CanvasPixels, SetAndReadWithinAndOutside) {
  auto b = MakeSheet(4, 4);
  auto& c = b->Canvas();
  c.SetPixels(3, 3, 0x123456);
  EXPECT_EQ(c.Pixels(3, 3), 0x123456u);
  c.SetPixels(4, 0, clRed);
  c.SetPixels(-1, 0, clRed);
  EXPECT_EQ(CountColor(*b, clRed), 0);
  EXPECT_EQ(c.Pixels(-1, 0), clInvalidPixel);
  c.SetPixels(0, 0, clBtnFace);  // system colours resolve
  EXPECT_EQ(c.Pixels(0, 0), 0xF0F0F0u);
}

// A canvas redirected into a rectangle of a larger bitmap draws there
// exactly what it draws on its own bitmap, every kind of shape clipped at
// the rectangle's edges, and touches nothing outside it.
TEST(CanvasRedirect, DrawsInTheRectangleWhatItDrawsOnItsOwn) {
  std::mt19937 rng(5);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto stamp = MakeSheet(5, 4, clYellow);
  for (int round = 0; round < 30; ++round) {
    auto own = MakeSheet(37, 23), big = MakeSheet(80, 50, clLime);
    auto redirected = MakeSheet(37, 23, clFuchsia);  // its own pixels must stay as they are
    const int x0 = any(0, 80 - 37), y0 = any(0, 50 - 23);
    redirected->Canvas().Redirect(*big, x0, y0);
    for (TCanvas* c : {&own->Canvas(), &redirected->Canvas()}) {
      std::mt19937 same(round);
      auto v = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(same); };
      c->Brush().SetColor(clWhite);
      c->FillRect(Rect(0, 0, 37, 23));
      for (int k = 0; k < 12; ++k) {
        c->Pen().SetColor(v(0, 1) ? clRed : clNavy);
        c->Pen().SetWidth(v(0, 3) == 0 ? 3 : 1);
        c->Pen().SetStyle(v(0, 3) == 0 ? TPenStyle::psDot : TPenStyle::psSolid);
        c->Brush().SetStyle(v(0, 1) ? TBrushStyle::bsSolid : TBrushStyle::bsClear);
        c->Brush().SetColor(clAqua);
        const int a = v(-10, 46), b = v(-10, 32), d = v(-10, 46), e = v(-10, 32);
        switch (v(0, 7)) {
          case 0:
            c->MoveTo(a, b);
            c->LineTo(d, e);
            break;
          case 1:
            c->MoveTo(a, b);
            c->LineTo(a, e);
            break;  // upright
          case 2:
            c->Rectangle(a, b, d, e);
            break;
          case 3:
            c->FillRect(Rect(-5, b, 50, e));
            break;  // whole rows
          case 4:
            c->Ellipse(a, b, d, e);
            break;
          case 5:
            c->TextOut(a, b, "Kelvo");
            break;
          case 6:
            c->Draw(a, b, *stamp);
            c->StretchDraw(Rect(d, e, d + 9, e + 7), *stamp);
            break;
          default:
            c->SetPixels(v(0, 36), v(0, 22), clMaroon);
            break;
        }
      }
    }
    EXPECT_EQ(redirected->Canvas().Pixels(3, 3), own->Canvas().Pixels(3, 3));  // read through too
    redirected->Canvas().Draw(1, 1, *big);  // its target onto itself: nothing
    redirected->Canvas().EndRedirect();
    EXPECT_EQ(CountColor(*redirected, clFuchsia), 37 * 23) << round;
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 80; ++x) {
        const bool inside = x >= x0 && x < x0 + 37 && y >= y0 && y < y0 + 23;
        ASSERT_EQ(big->Canvas().Pixels(x, y),
                  inside ? own->Canvas().Pixels(x - x0, y - y0) : clLime)
            << "round " << round << " at " << x << "," << y;
      }
  }
  auto small = MakeSheet(10, 10), target = MakeSheet(20, 20);
  EXPECT_THROW(small->Canvas().Redirect(*target, 11, 0), EInvalidGraphic);
  EXPECT_THROW(small->Canvas().Redirect(*target, 0, -1), EInvalidGraphic);
  EXPECT_FALSE(small->Canvas().Redirected());
}

}  // namespace
