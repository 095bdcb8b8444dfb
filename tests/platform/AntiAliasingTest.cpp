// Anti-aliased lines and ellipses: coverage adds up to the shape's area,
// mirrored shapes give mirrored pictures, and nothing is drawn beyond one
// pixel from the aliased shape.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "kelvo/platform/Bitmap.h"
#include "support/Random.h"
#include "support/Sheet.h"

using namespace vexa;
using kelvo::test::MakeSheet;
using kelvo::test::SamePixels;
using kelvo::test::TRandom;

namespace {

constexpr int N = 48;
constexpr int Rim = 3;  // the aliased reference is drawn with a rim, for lines near the edges

// A figure drawn with its coordinates moved by Offset.
using TFigure = std::function<void(TCanvas&, int Offset)>;

// White on black, on a sheet of Size: a pixel's red channel is its
// coverage times 255.
std::unique_ptr<TBitmap> Draw(const TFigure& Figure, bool Smooth, double Ratio = 1.0,
                              int Offset = 0, int Size = N) {
  auto b = MakeSheet(Size, Size, clBlack);
  TCanvas& c = b->Canvas();
  c.SetDeviceScale(TDeviceScale{Ratio});
  c.Pen().SetColor(clWhite);
  c.SetAntiAliased(Smooth);
  Figure(c, Offset);
  return b;
}

int Coverage(const TBitmap& b, int x, int y) { return b.Bits()[y * b.Width() + x] & 0xFF; }

// Every pixel the smooth picture touches lies within one of a pixel of the
// aliased picture (drawn with a rim, so that pixels just off the sheet count).
void ExpectWithinOnePixel(const TFigure& Figure, double Ratio, const std::string& What) {
  const auto smooth = Draw(Figure, true, Ratio);
  const auto aliased = Draw(Figure, false, Ratio, Rim, N + 2 * Rim);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      if (Coverage(*smooth, x, y) == 0) continue;
      bool near = false;
      for (int v = y - 1; v <= y + 1 && !near; ++v)
        for (int u = x - 1; u <= x + 1 && !near; ++u)
          near = Coverage(*aliased, u + Rim, v + Rim) != 0;
      ASSERT_TRUE(near) << What << ": pixel " << x << "," << y;
    }
}

TEST(AntiAliasedLine, CoverageSumsToTheBandAndStaysBesideTheAliasedLine) {
  TRandom rng{11};
  for (int k = 0; k < 400; ++k) {
    const double ratio = k % 2 ? 2.0 : 1.0;  // lines 1 and 2 pixels wide
    const int w = static_cast<int>(ratio);
    const int x0 = rng.Below(N + 20) - 10, y0 = rng.Below(N + 20) - 10;
    const int x1 = rng.Below(N + 20) - 10, y1 = rng.Below(N + 20) - 10;
    auto line = [&](TCanvas& c, int o) {
      c.MoveTo(x0 + o, y0 + o);
      c.LineTo(x1 + o, y1 + o);
    };
    const auto smooth = Draw(line, true, ratio);
    const std::string what = "line " + std::to_string(x0) + "," + std::to_string(y0) + " to " +
                             std::to_string(x1) + "," + std::to_string(y1) + " width " +
                             std::to_string(w);
    ExpectWithinOnePixel(line, ratio, what);
    // Along the major axis, away from the ends and the edges, each column
    // (row) holds w * sqrt(1 + slope^2) of coverage.
    const int dx = x1 - x0, dy = y1 - y0;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int major = std::max(std::abs(dx), std::abs(dy)),
              minor = std::min(std::abs(dx), std::abs(dy));
    if (major < 4) continue;
    const double slope = double(minor) / major, band = w * std::sqrt(1 + slope * slope);
    const int from = std::min(xMajor ? x0 : y0, xMajor ? x1 : y1) + w + 1;
    const int to = std::max(xMajor ? x0 : y0, xMajor ? x1 : y1) - w - 1;
    for (int m = std::max(from, 0); m <= std::min(to, N - 1); ++m) {
      // Only where the band lies wholly on the sheet.
      const double centre =
          (xMajor ? y0 + (m - x0) * double(dy) / dx : x0 + (m - y0) * double(dx) / dy);
      if (centre - band < 1 || centre + band > N - 2) continue;
      int sum = 0, touched = 0;
      for (int n = 0; n < N; ++n) {
        const int v = xMajor ? Coverage(*smooth, m, n) : Coverage(*smooth, n, m);
        sum += v;
        touched += v != 0;  // each rounded, and at most two more rounded to nothing
      }
      EXPECT_NEAR(sum / 255.0, band, 0.5 * (touched + 2) / 255.0) << what << " at " << m;
    }
  }
}

TEST(AntiAliasedLine, MirroredLinesGiveMirroredPictures) {
  TRandom rng{12};
  for (int k = 0; k < 200; ++k) {
    const int x0 = rng.Below(N), y0 = rng.Below(N), x1 = rng.Below(N), y1 = rng.Below(N);
    const auto a = Draw([&](TCanvas& c, int) { c.MoveTo(x0, y0), c.LineTo(x1, y1); }, true);
    const auto b =
        Draw([&](TCanvas& c, int) { c.MoveTo(N - 1 - x0, y0), c.LineTo(N - 1 - x1, y1); }, true);
    const auto v =
        Draw([&](TCanvas& c, int) { c.MoveTo(x0, N - 1 - y0), c.LineTo(x1, N - 1 - y1); }, true);
    for (int y = 0; y < N; ++y)
      for (int x = 0; x < N; ++x) {
        ASSERT_NEAR(Coverage(*a, x, y), Coverage(*b, N - 1 - x, y), 1)
            << k << " at " << x << "," << y;
        ASSERT_NEAR(Coverage(*a, x, y), Coverage(*v, x, N - 1 - y), 1)
            << k << " at " << x << "," << y;
      }
  }
}

TEST(AntiAliasedLine, LevelAndUprightLinesAreTheAliasedOnesAndXorStaysAliased) {
  for (double ratio : {1.0, 2.0}) {
    auto figure = [](TCanvas& c, int) {
      c.MoveTo(3, 5), c.LineTo(40, 5), c.LineTo(40, 30);
      c.Pen().SetStyle(TPenStyle::psDot);
      c.MoveTo(3, 40), c.LineTo(44, 40);
    };
    EXPECT_TRUE(SamePixels(*Draw(figure, true, ratio), *Draw(figure, false, ratio))) << ratio;
  }
  // XOR figures must undo themselves: they are drawn aliased.
  auto twice = [](TCanvas& c, int) {
    c.Pen().SetMode(TPenMode::pmXor);
    for (int i = 0; i < 2; ++i) c.MoveTo(2, 3), c.LineTo(41, 17), c.Ellipse(5, 5, 30, 21);
  };
  EXPECT_TRUE(SamePixels(*Draw(twice, true), *MakeSheet(N, N, clBlack)));
}

// A wide pen's line is its disc swept along it: the coverage adds up to the
// band's area and the two half discs', and mirrors with the line.
TEST(AntiAliasedLine, WidePensCoverTheSweptDisc) {
  TRandom rng{14};
  for (int k = 0; k < 200; ++k) {
    const int w = 3 + 2 * rng.Below(2);  // odd widths are centred on their pixel
    const int x0 = 8 + rng.Below(N - 16), y0 = 8 + rng.Below(N - 16);
    const int x1 = 8 + rng.Below(N - 16), y1 = 8 + rng.Below(N - 16);
    auto line = [&](int ax, int ay, int bx, int by) {
      return [=](TCanvas& c, int) {
        c.Pen().SetWidth(w);
        c.MoveTo(ax, ay);
        c.LineTo(bx, by);
      };
    };
    const auto a = Draw(line(x0, y0, x1, y1), true);
    const auto m = Draw(line(N - 1 - x0, y0, N - 1 - x1, y1), true);
    double sum = 0;
    for (int y = 0; y < N; ++y)
      for (int x = 0; x < N; ++x) {
        sum += Coverage(*a, x, y) / 255.0;
        ASSERT_NEAR(Coverage(*a, x, y), Coverage(*m, N - 1 - x, y), 1)
            << k << " at " << x << "," << y;
      }
    const double length = std::hypot(x1 - x0, y1 - y0);
    const double area = w * length + std::numbers::pi * w * w / 4;
    EXPECT_NEAR(sum, area, 0.02 * (2 * length + std::numbers::pi * w) + 0.5) << k;
  }
}

TEST(AntiAliasedEllipse, AreaSymmetryAndBorder) {
  TRandom rng{13};
  for (int k = 0; k < 300; ++k) {
    const int l = rng.Below(N / 2) - 4, t = rng.Below(N / 2) - 4;
    const int r = l + 1 + rng.Below(N / 2 + 4), b = t + 1 + rng.Below(N / 2 + 4);
    const bool outlined = k % 3 != 0, filled = k % 3 != 1;
    auto ellipse = [&](int L, int T, int R, int B) {
      return [=](TCanvas& c, int o) {
        c.Pen().SetStyle(outlined ? TPenStyle::psSolid : TPenStyle::psClear);
        c.Brush().SetStyle(filled ? TBrushStyle::bsSolid : TBrushStyle::bsClear);
        c.Brush().SetColor(ColorFromRGB(128, 128, 128));
        c.Pen().SetColor(clWhite);
        c.Ellipse(L + o, T + o, R + o, B + o);
      };
    };
    const std::string what = "ellipse " + std::to_string(l) + "," + std::to_string(t) + " to " +
                             std::to_string(r) + "," + std::to_string(b);
    const auto smooth = Draw(ellipse(l, t, r, b), true);
    ExpectWithinOnePixel(ellipse(l, t, r, b), 1.0, what);
    // Mirrored about the middle of the sheet: the mirrored picture.
    const auto mirrored = Draw(ellipse(N - r, N - b, N - l, N - t), true);
    for (int y = 0; y < N; ++y)
      for (int x = 0; x < N; ++x)
        ASSERT_NEAR(Coverage(*smooth, x, y), Coverage(*mirrored, N - 1 - x, N - 1 - y), 1)
            << what << " at " << x << "," << y;
    // A filled ellipse wholly on the sheet without outline covers its area,
    // to a small part of its boundary (not so a sliver a few pixels wide,
    // which is drawn as its pixels).
    if (outlined || l < 0 || t < 0 || r > N || b > N || r - l < 4 || b - t < 4) continue;
    const double a = (r - l) / 2.0, e = (b - t) / 2.0;
    double sum = 0;
    for (int y = 0; y < N; ++y)
      for (int x = 0; x < N; ++x) sum += Coverage(*smooth, x, y) / 128.0;
    const double perimeter =
        std::numbers::pi * (3 * (a + e) - std::sqrt((3 * a + e) * (a + 3 * e)));
    EXPECT_NEAR(sum, std::numbers::pi * a * e, 0.02 * perimeter + 0.5) << what;
  }
}

// Ellipses far larger than the surface (a deep zoom into a circle): only
// their part on the surface is worked out, and it stays within one pixel of
// the aliased picture; the inside is the fill's.
TEST(AntiAliasedEllipse, HugeBoxesDrawTheirVisiblePart) {
  const int32_t big = 1'000'000'000;
  struct TCase {
    int32_t L, T, R, B;
  } cases[] = {{-big, -big, big, big},             // the sheet wholly inside
               {-big, 20, big, 20 + big},          // the flat top crossing the sheet
               {30, -big / 2, 30 + big, big / 2},  // the upright left side
               {-100, -100, 40, 40}};              // a corner of a medium one
  for (const TCase& k : cases)
    for (const bool outlined : {false, true}) {
      auto ellipse = [&](TCanvas& c, int o) {
        c.Pen().SetStyle(outlined ? TPenStyle::psSolid : TPenStyle::psClear);
        c.Pen().SetWidth(outlined ? 3 : 1);
        c.Brush().SetColor(ColorFromRGB(128, 128, 128));
        c.Ellipse(k.L + o, k.T + o, k.R + o, k.B + o);
      };
      const std::string what = std::to_string(k.L) + "," + std::to_string(k.T);
      ExpectWithinOnePixel(ellipse, 1.0, what);
      const auto smooth = Draw(ellipse, true);
      const int x = k.L == 30 ? 45 : 10, y = k.T == 20 ? 45 : 10;  // well inside
      EXPECT_EQ(Coverage(*smooth, x, y), 128) << what;
    }
}

}  // namespace
