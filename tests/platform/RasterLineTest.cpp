// Lines: the excluded end pixel, octants, dash patterns and their gaps,
// XOR, wide pens and extreme coordinates.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "kelvo/platform/Raster.h"
#include "support/Golden.h"
#include "support/Sheet.h"

using namespace vexa;
using kelvo::test::CountColor;
using kelvo::test::MakeSheet;

namespace {

TEST(CanvasLine, DrawsStartPixelButNotEndPixelAndMovesPen) {
  auto b = MakeSheet(10, 10);
  auto& c = b->Canvas();
  c.MoveTo(1, 2);
  c.LineTo(6, 2);
  for (int x = 1; x <= 5; ++x) EXPECT_EQ(c.Pixels(x, 2), clBlack) << x;
  EXPECT_EQ(c.Pixels(6, 2), clWhite);
  EXPECT_EQ(c.Pixels(0, 2), clWhite);
  EXPECT_EQ(c.PenPos(), Point(6, 2));
  EXPECT_EQ(CountColor(*b, clBlack), 5);
}

TEST(CanvasLine, ConsecutiveSegmentsMeetWithoutGapOrOverlap) {
  // Under XOR a doubly drawn joint pixel would cancel out.
  auto b = MakeSheet(20, 20, clBlack);
  auto& c = b->Canvas();
  c.Pen().SetMode(TPenMode::pmXor);
  c.Pen().SetColor(clWhite);
  c.MoveTo(2, 2);
  c.LineTo(15, 2);
  c.LineTo(15, 15);
  c.LineTo(2, 15);
  c.LineTo(2, 2);
  EXPECT_EQ(CountColor(*b, clWhite), 4 * 13);
  for (TPoint p : {Point(2, 2), Point(15, 2), Point(15, 15), Point(2, 15)})
    EXPECT_EQ(c.Pixels(p.X, p.Y), clWhite) << p.X << "," << p.Y;
}

TEST(CanvasLine, ZeroLengthLineDrawsNothing) {
  auto b = MakeSheet(8, 8);
  auto& c = b->Canvas();
  c.MoveTo(3, 3);
  c.LineTo(3, 3);
  EXPECT_EQ(CountColor(*b, clBlack), 0);
  EXPECT_EQ(c.PenPos(), Point(3, 3));
}

TEST(CanvasLine, AllOctantsExcludeTheirEndPoints) {
  auto b = MakeSheet(65, 65);
  auto& c = b->Canvas();
  const TPoint centre{32, 32};
  const int ends[][2] = {{30, 0},    {30, 12},   {30, 30},  {12, 30},  {0, 30},
                         {-12, 30},  {-30, 30},  {-30, 12}, {-30, 0},  {-30, -12},
                         {-30, -30}, {-12, -30}, {0, -30},  {12, -30}, {30, -30},
                         {30, -12},  {29, 7},    {-7, 29},  {-29, -7}, {7, -29}};
  for (auto& e : ends) {
    auto probe = MakeSheet(65, 65);
    auto& pc = probe->Canvas();
    pc.MoveTo(centre.X, centre.Y);
    pc.LineTo(centre.X + e[0], centre.Y + e[1]);
    const int steps = std::max(std::abs(e[0]), std::abs(e[1]));
    EXPECT_EQ(CountColor(*probe, clBlack), steps) << e[0] << "," << e[1];
    EXPECT_EQ(pc.Pixels(centre.X, centre.Y), clBlack);
    EXPECT_EQ(pc.Pixels(centre.X + e[0], centre.Y + e[1]), clWhite);
    c.MoveTo(centre.X, centre.Y);
    c.LineTo(centre.X + e[0], centre.Y + e[1]);
  }
  EXPECT_GOLDEN(*b, "line/octants");
}

struct DashCase {
  TPenStyle Style;
  const char* Name;
  std::vector<int> Runs;  // on, off, on, off, ...
};

void PrintTo(const DashCase& d, std::ostream* os) { *os << d.Name; }

class CanvasDash : public ::testing::TestWithParam<DashCase> {};

TEST_P(CanvasDash, PatternRunsAndGapsFollowTheBrush) {
  const DashCase& d = GetParam();
  auto b = MakeSheet(64, 6);
  auto& c = b->Canvas();
  c.Pen().SetStyle(d.Style);
  c.Brush().SetColor(clRed);  // solid brush: gaps in red
  c.MoveTo(0, 1);
  c.LineTo(60, 1);
  c.Brush().SetStyle(TBrushStyle::bsClear);  // clear brush: gaps untouched
  c.MoveTo(0, 4);
  c.LineTo(60, 4);
  int x = 0;
  for (size_t k = 0; x < 60; ++k) {
    const int run = d.Runs[k % d.Runs.size()];
    const bool on = k % 2 == 0;
    for (int i = 0; i < run && x < 60; ++i, ++x) {
      EXPECT_EQ(c.Pixels(x, 1), on ? clBlack : clRed) << d.Name << " x=" << x;
      EXPECT_EQ(c.Pixels(x, 4), on ? clBlack : clWhite) << d.Name << " x=" << x;
    }
  }
  EXPECT_EQ(c.Pixels(60, 1), clWhite);
  EXPECT_GOLDEN(*b, std::string("line/dash-") + d.Name);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, CanvasDash,
    ::testing::Values(DashCase{TPenStyle::psDash, "dash", {18, 6}},
                      DashCase{TPenStyle::psDot, "dot", {3, 3}},
                      DashCase{TPenStyle::psDashDot, "dashdot", {9, 6, 3, 6}},
                      DashCase{TPenStyle::psDashDotDot, "dashdotdot", {9, 3, 3, 3, 3, 3}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CanvasDashPhase, ContinuesAcrossLineToAndRestartsAtMoveTo) {
  auto b = MakeSheet(40, 4);
  auto& c = b->Canvas();
  c.Pen().SetStyle(TPenStyle::psDot);
  c.MoveTo(0, 0);
  c.LineTo(4, 0);   // on on on off
  c.LineTo(10, 0);  // off off on on on off
  const char* expect = "###---###-";
  for (int x = 0; x < 10; ++x) EXPECT_EQ(c.Pixels(x, 0), expect[x] == '#' ? clBlack : clWhite) << x;
  c.MoveTo(4, 2);  // a fresh start draws its first pixel
  c.LineTo(8, 2);
  EXPECT_EQ(c.Pixels(4, 2), clBlack);
}

TEST(CanvasLine, PsClearDrawsNothingAndInsideFrameIsSolid) {
  auto b = MakeSheet(20, 4);
  auto& c = b->Canvas();
  c.Pen().SetStyle(TPenStyle::psClear);
  c.MoveTo(0, 1);
  c.LineTo(20, 1);
  EXPECT_EQ(CountColor(*b, clBlack), 0);
  EXPECT_EQ(c.PenPos(), Point(20, 1));
  c.Pen().SetStyle(TPenStyle::psInsideFrame);
  c.MoveTo(0, 2);
  c.LineTo(20, 2);
  EXPECT_EQ(CountColor(*b, clBlack), 20);
}

TEST(CanvasXor, DrawingEveryFigureTwiceRestoresThePicture) {
  auto b = MakeSheet(80, 60);
  auto& c = b->Canvas();
  // A busy background: horizontal colour bands and a diagonal.
  for (int y = 0; y < 60; y += 4) {
    c.Pen().SetColor(static_cast<TColor>(0x102030 * (y / 4 + 1)) & 0xFFFFFF);
    c.MoveTo(0, y);
    c.LineTo(80, y);
  }
  TBitmap before;
  before.Assign(b.get());
  auto figures = [&] {
    c.Pen().SetMode(TPenMode::pmXor);
    c.Pen().SetColor(clWhite);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Rectangle(5, 5, 50, 40);  // the rubber band
    c.MoveTo(0, 59);
    c.LineTo(79, 0);
    c.Pen().SetStyle(TPenStyle::psDot);
    c.Rectangle(10, 10, 70, 55);
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.Brush().SetColor(clYellow);
    c.Ellipse(20, 5, 60, 35);
    const TPoint tri[] = {{40, 2}, {78, 58}, {2, 50}};
    c.Polygon(tri);
    c.Pen().SetWidth(3);
    c.MoveTo(3, 30);
    c.LineTo(77, 33);
    c.Pen().SetWidth(1);
    c.Pen().SetMode(TPenMode::pmCopy);
  };
  figures();
  EXPECT_FALSE(kelvo::test::SamePixels(before, *b));
  figures();
  EXPECT_TRUE(kelvo::test::SamePixels(before, *b));
}

TEST(CanvasXor, RubberFrameShowsOverBackground) {
  auto b = MakeSheet(30, 20);
  auto& c = b->Canvas();
  c.Pen().SetMode(TPenMode::pmXor);
  c.Pen().SetColor(clWhite);
  c.Rectangle(2, 2, 28, 18);
  EXPECT_EQ(c.Pixels(2, 2), clBlack);  // white XOR white
  EXPECT_EQ(c.Pixels(27, 17), clBlack);
  EXPECT_EQ(c.Pixels(28, 18), clWhite);
  EXPECT_EQ(c.Pixels(10, 10), clWhite);  // clear brush: inside untouched
  EXPECT_GOLDEN(*b, "line/xor-frame");
}

TEST(CanvasWidePen, Width3LinesAreThreePixelsAcrossWithRoundCaps) {
  auto b = MakeSheet(40, 30);
  auto& c = b->Canvas();
  c.Pen().SetWidth(3);
  c.MoveTo(5, 5);
  c.LineTo(30, 5);
  for (int y = 4; y <= 6; ++y) EXPECT_EQ(c.Pixels(15, y), clBlack) << y;
  EXPECT_EQ(c.Pixels(15, 3), clWhite);
  EXPECT_EQ(c.Pixels(15, 7), clWhite);
  EXPECT_EQ(c.Pixels(30, 5), clBlack);  // the cap covers the end point
  c.Pen().SetStyle(TPenStyle::psDash);  // wide pens draw solid
  c.MoveTo(5, 15);
  c.LineTo(35, 25);
  c.LineTo(5, 25);
  EXPECT_GOLDEN(*b, "line/width3");
}

TEST(CanvasClip, HugeCoordinatesAreClippedExactly) {
  auto b = MakeSheet(50, 40);
  auto& c = b->Canvas();
  c.MoveTo(-30000, 10);
  c.LineTo(30000, 10);
  for (int x = 0; x < 50; ++x) ASSERT_EQ(c.Pixels(x, 10), clBlack) << x;
  c.MoveTo(20, -30000);
  c.LineTo(20, 30000);
  for (int y = 0; y < 40; ++y) ASSERT_EQ(c.Pixels(20, y), clBlack) << y;
  // Slope 1 through the origin from one int32 limit to the other.
  c.Pen().SetColor(clRed);
  c.MoveTo(INT_MIN + 1, INT_MIN + 1);
  c.LineTo(INT_MAX, INT_MAX);
  for (int i = 0; i < 40; ++i) ASSERT_EQ(c.Pixels(i, i), clRed) << i;
  // Lines wholly outside, or crossing only a corner's neighbourhood.
  c.MoveTo(INT_MIN, INT_MAX);
  c.LineTo(INT_MAX, INT_MIN);
  c.MoveTo(INT_MAX, INT_MAX);
  c.LineTo(INT_MAX - 5, INT_MIN);
  c.Pen().SetColor(clBlue);
  c.Pen().SetWidth(3);
  c.MoveTo(-30000, 30000);
  c.LineTo(30000, -29965);
  c.Pen().SetWidth(1);
  EXPECT_GOLDEN(*b, "line/clip-extremes");
}

TEST(CanvasClip, ShallowLineFromFarAwayKeepsItsExactPixels) {
  // The pixels a clipped line draws must equal those of the same line drawn in full.
  auto full = MakeSheet(3000, 40);
  auto& fc = full->Canvas();
  fc.MoveTo(0, 0);
  fc.LineTo(2999, 37);
  auto clipped = MakeSheet(100, 40);
  auto& cc = clipped->Canvas();
  cc.MoveTo(-1400, 0);
  cc.LineTo(2999 - 1400, 37);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x)
      ASSERT_EQ(cc.Pixels(x, y), fc.Pixels(x + 1400, y)) << x << "," << y;
}

// The quick path of solid polylines must set exactly the pixels of the
// general line routine, for every direction and slope, and leave lines with
// an end off the surface to it.
TEST(RasterSolidLine, OnSurfacePathDrawsTheGeneralLinesPixels) {
  constexpr int W = 61, H = 47;
  std::vector<uint32_t> quick(W * H), general(W * H);
  const raster::TSurface qs{quick.data(), W, H}, gs{general.data(), W, H};
  const raster::TDashPattern solid{};
  const raster::TPaint paint{0xFF123456u, false};
  uint32_t seed = 5;
  auto next = [&](int n) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(n));
  };
  int drawn = 0;
  for (int i = 0; i < 20000; ++i) {
    // Ends anywhere from a little off the sheet to its far side; short
    // lines often, so every octant and tie occurs.
    const int32_t x0 = next(W + 6) - 3, y0 = next(H + 6) - 3;
    const int32_t x1 = i % 2 ? x0 + next(13) - 6 : next(W + 6) - 3;
    const int32_t y1 = i % 2 ? y0 + next(13) - 6 : next(H + 6) - 3;
    std::fill(quick.begin(), quick.end(), 0u);
    std::fill(general.begin(), general.end(), 0u);
    const bool onSurface =
        x0 >= 0 && x0 < W && y0 >= 0 && y0 < H && x1 >= 0 && x1 < W && y1 >= 0 && y1 < H;
    ASSERT_EQ(raster::SolidLineOnSurface(qs, x0, y0, x1, y1, paint.Pixel), onSurface);
    uint32_t phase = 0;
    if (onSurface) raster::Line(gs, x0, y0, x1, y1, paint, solid, phase, nullptr);
    ASSERT_EQ(quick, general) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    drawn += onSurface;
  }
  EXPECT_GT(drawn, 10000);
}

}  // namespace
