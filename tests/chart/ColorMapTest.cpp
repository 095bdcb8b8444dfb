// Colour maps: cells against their equivalent boxes, the interpolated rule,
// the published gradients, the colour range kept as data arrives, streaming
// columns, the cell under the pointer and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Raster.h"
#include "support/ChartFixtures.h"
#include "support/Golden.h"
#include "support/Random.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

using kelvo::test::TRandom;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

std::unique_ptr<TKelvo> Chart(int w, int h) { return kelvo::test::PictureChart(w, h); }

void Ranges(TKelvo& c, double x0, double x1, double y0, double y1, bool logX, bool logY) {
  c.Scale1X().SetLogarithmic(logX);
  c.Scale1Y().SetLogarithmic(logY);
  c.SetLayerRanges(1, x0, y0, x1, y1, false);
}

// Every cell as a filled box without outline, row by row, in the colour
// the map gives its value; cells without a colour draw none.
void AppendEquivalentBoxes(TKelvo& c, const TColorMap& m) {
  c.SetPenStyle(TPenStyle::psClear);
  for (int32_t j = 0; j < m.SizeY(); ++j)
    for (int32_t i = 0; i < m.SizeX(); ++i) {
      const TColor colour = m.ColorOf(m.Value(i, j));
      if (colour == clNone) continue;
      c.SetDataColor(colour);
      c.SetFillColor(colour);
      c.Rectangle(m.CellEdgeX(i), m.CellEdgeY(j), m.CellEdgeX(i + 1), m.CellEdgeY(j + 1));
    }
}

std::string Hex(TColor c) {
  char b[8];
  std::snprintf(b, sizeof b, "%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return b;
}

}  // namespace

// Random grids, extents (reversed, partly outside, cells far smaller than a
// pixel), axes (reversed, logarithmic), ratios and NaN cells: the map's
// picture is that of its boxes.
TEST(ColorMapPicture, IsThatOfTheEquivalentBoxes) {
  for (uint64_t seed = 1; seed <= 60; ++seed) {
    TRandom r{seed * 977};
    auto a = Chart(260, 200), b = Chart(260, 200);
    const double ratio = seed % 3 == 0 ? 1.5 : (seed % 3 == 1 ? 1.0 : 2.0);
    const bool logX = seed % 7 == 0, logY = seed % 11 == 0;
    const bool tiny = seed % 5 == 0;  // many cells a pixel
    const int nx = 1 + r.Below(tiny ? 900 : 14), ny = 1 + r.Below(tiny ? 700 : 11);
    double x0 = logX ? 0.5 + r.Real() * 3 : r.Real() * 6 - 2, x1 = x0 + 0.2 + r.Real() * 9;
    double y0 = logY ? 0.5 + r.Real() * 3 : r.Real() * 6 - 2, y1 = y0 + 0.2 + r.Real() * 9;
    if (r.Below(3) == 0) std::swap(x0, x1);
    if (r.Below(3) == 0) std::swap(y0, y1);
    const bool reverseX = r.Below(4) == 0, reverseY = r.Below(4) == 0;
    for (TKelvo* c : {a.get(), b.get()}) {
      c->SetDevicePixelRatio(ratio);
      Ranges(*c, reverseX ? 10 : (logX ? 0.4 : 0), reverseX ? (logX ? 0.4 : 0) : 10,
             reverseY ? 10 : (logY ? 0.4 : 0), reverseY ? (logY ? 0.4 : 0) : 10, logX, logY);
    }
    TColorMap& m = a->AddColorMap("m");
    m.SetSize(nx, ny);
    m.SetExtent(x0, x1, y0, y1);
    std::vector<double> v(size_t(nx) * ny);
    for (double& w : v) w = r.Below(9) == 0 ? NaN : r.Real() * 100 - 30;
    m.SetValues(v.data());
    if (seed % 2 == 0) m.SetNanColor(clFuchsia);
    if (seed % 4 == 3) m.SetGradient(TGradient::grCoolWarm);
    AppendEquivalentBoxes(*b, m);
    const std::string what = "seed " + std::to_string(seed) + ", " + std::to_string(nx) + " x " +
                             std::to_string(ny) + " at " + std::to_string(ratio);
    for (bool shortcuts : {true, false}) {
      a->SetRenderShortcuts(shortcuts);
      a->Paint();
      b->Paint();
      ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface())) << what;
    }
  }
}

// With Interpolate each covered pixel shows the bilinear value between the
// cell centres at its centre; the covered pixels are the boxes'.
TEST(ColorMapPicture, InterpolatesBetweenCellCentres) {
  auto a = Chart(240, 180);
  Ranges(*a, 0, 10, 0, 10, false, false);
  TColorMap& m = a->AddColorMap();
  m.SetSize(4, 3);
  m.SetExtent(1, 9, 2, 8);
  const double v[12] = {0, 1, 2, 3, 4, NaN, 6, 7, 8, 9, 10, 11};
  m.SetValues(v);
  m.SetInterpolate(true);
  a->Paint();
  const TBitmap& pa = a->Surface();
  auto clamp = [&](double u, int n) { return std::clamp(u, 0.0, double(n - 1)); };
  int checked = 0;
  for (int y = 0; y < pa.Height(); ++y)
    for (int x = 0; x < pa.Width(); ++x) {
      // The pixel's own cell: the one under the pointer, the boxes' rule.
      const TNearestItem hit = a->FindNearestItem(x, y, 0);
      if (hit.ColorMap < 0) continue;
      double wx, wy;
      a->PixelToWorld(1, x, y, wx, wy);
      const double u = clamp((wx - 1) / 2 - 0.5, 4), w = clamp((wy - 2) / 2 - 0.5, 3);
      const int i0 = std::min(int(u), 2), j0 = std::min(int(w), 1);
      const double f = u - i0, g = w - j0;
      const double own = m.Value(hit.CellX, hit.CellY);
      auto at = [&](int i, int j) { return std::isnan(m.Value(i, j)) ? own : m.Value(i, j); };
      const double top = at(i0, j0) + (at(i0 + 1, j0) - at(i0, j0)) * f;
      const double bottom = at(i0, j0 + 1) + (at(i0 + 1, j0 + 1) - at(i0, j0 + 1)) * f;
      const TColor want = std::isnan(own) ? clWhite : m.ColorOf(top + (bottom - top) * g);
      ASSERT_EQ(pa.Bits()[size_t(y) * pa.Width() + x], raster::PixelFromColor(ColorToRGB(want)))
          << x << ", " << y;
      ++checked;
    }
  EXPECT_GT(checked, 10000);
}

// Colours at the published tables' own points, and the rule between them.
TEST(ColorMapColors, FollowThePublishedTables) {
  TColorMap m;
  m.SetColorRangeLow(0);
  m.SetColorRangeHigh(255);
  const struct {
    TGradient G;
    const char* Want[4];  // at 0, 64, 128 and 255 of 255
  } table[] = {
      {TGradient::grViridis, {"440154", "3b528b", "21918c", "fde725"}},
      {TGradient::grMagma, {"000004", "51127c", "b73779", "fcfdbf"}},
      {TGradient::grInferno, {"000004", "57106e", "bc3754", "fcffa4"}},
      {TGradient::grPlasma, {"0d0887", "7e03a8", "cc4778", "f0f921"}},
      {TGradient::grCividis, {"00224e", "434e6c", "7d7c78", "fee838"}},
  };
  for (const auto& t : table) {
    m.SetGradient(t.G);
    const double at[4] = {0, 64, 128, 255};
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(Hex(m.ColorOf(at[k])), t.Want[k]) << TGradientNames[int(t.G)] << " at " << at[k];
  }
  m.SetColorRangeHigh(1);
  m.SetGradient(TGradient::grCoolWarm);  // Moreland's ends and middle
  EXPECT_EQ(Hex(m.ColorOf(0)), "3b4cc0");
  EXPECT_EQ(Hex(m.ColorOf(0.5)), "dddddd");
  EXPECT_EQ(Hex(m.ColorOf(1)), "b40426");
  m.SetGradient(TGradient::grGray);
  EXPECT_EQ(Hex(m.ColorOf(0.25)), "404040");  // 63.75: the nearest of 1021 levels mixed
  EXPECT_EQ(Hex(m.ColorOf(-5)), "000000");    // beyond the range: its end
  EXPECT_EQ(Hex(m.ColorOf(Inf)), "ffffff");
  EXPECT_EQ(m.ColorOf(NaN), clNone);
  m.SetGradientStops({{0, clRed}, {0.5, clLime}, {1, clBlue}});
  EXPECT_EQ(m.Gradient(), TGradient::grCustom);
  EXPECT_EQ(Hex(m.ColorOf(0.25)), "808000");
  m.SetColorRangeLow(3), m.SetColorRangeHigh(3);  // no width: the low end
  EXPECT_EQ(m.ColorOf(3), ColorToRGB(clRed));
  EXPECT_EQ(m.ColorOf(Inf), ColorToRGB(clRed));
  m.SetColorRangeLow(1), m.SetColorRangeHigh(100);
  m.SetLogColors(true);
  EXPECT_EQ(Hex(m.ColorOf(10)), "00ff00");  // halfway in the logarithm
  EXPECT_EQ(m.ColorOf(0), clNone);          // NanColor
  m.SetNanColor(clGray);
  EXPECT_EQ(m.ColorOf(-1), ColorToRGB(clGray));
}

// The automatic range is the values' finite extent after any mix of
// writes, appended columns and dropped ones.
TEST(ColorMapRange, FollowsTheValuesAsTheyChange) {
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    TRandom r{seed * 131};
    TColorMap m;
    const int ny = 1 + r.Below(6);
    m.SetSize(1 + r.Below(6), ny);
    if (seed % 2) m.SetCapacity(3 + r.Below(5));
    m.SetLogColors(seed % 3 == 0);
    auto value = [&] {
      const int k = r.Below(12);
      return k == 0 ? NaN : (k == 1 ? Inf : (r.Real() - 0.3) * 50);
    };
    for (int op = 0; op < 300; ++op) {
      if (r.Below(3) == 0) {
        std::vector<double> col(static_cast<size_t>(ny));
        for (double& v : col) v = value();
        m.AppendColumn(col.data());
      } else {
        m.SetValue(r.Below(m.SizeX()), r.Below(ny), value());
      }
      double lo = Inf, hi = -Inf;
      for (int i = 0; i < m.SizeX(); ++i)
        for (int j = 0; j < ny; ++j) {
          const double v = m.Value(i, j);
          if (!std::isfinite(v) || (m.LogColors() && v <= 0)) continue;
          lo = std::min(lo, v), hi = std::max(hi, v);
        }
      // The highest is that of all finite values, the lowest the positive ones' with LogColors.
      double all = -Inf;
      for (int i = 0; i < m.SizeX(); ++i)
        for (int j = 0; j < ny; ++j)
          if (std::isfinite(m.Value(i, j))) all = std::max(all, m.Value(i, j));
      double gotLo, gotHi;
      const bool got = m.DrawnColorRange(gotLo, gotHi);
      ASSERT_EQ(got, lo <= hi) << seed << " op " << op;
      if (got) {
        ASSERT_TRUE(gotLo == lo && gotHi == all) << seed << " op " << op;
      }
    }
  }
}

// Columns appended at the high-x end; at the capacity the oldest goes and
// the extent moves by a cell; a smaller capacity drops the oldest.
TEST(ColorMapStreaming, AppendsAndDropsColumns) {
  TColorMap m;
  m.SetCapacity(3);
  m.SetSize(2, 2);
  m.SetExtent(0, 2, 0, 1);
  double next = 0;
  for (int k = 0; k < 5; ++k) {
    const double col[2] = {next, next + 0.5};
    m.AppendColumn(col);
    next += 1;
  }
  ASSERT_EQ(m.SizeX(), 3);
  EXPECT_EQ(m.Value(0, 0), 2);  // columns 2, 3, 4 of those appended
  EXPECT_EQ(m.Value(2, 1), 4.5);
  EXPECT_DOUBLE_EQ(m.ExtentX0(), 4);  // two empty, five appended: seven columns, four gone
  EXPECT_DOUBLE_EQ(m.ExtentX1(), 7);
  m.SetCapacity(2);
  EXPECT_EQ(m.SizeX(), 2);
  EXPECT_EQ(m.Value(0, 0), 3);
  EXPECT_DOUBLE_EQ(m.ExtentX0(), 5);
  m.SetCapacity(0);  // grows from now on
  for (int k = 0; k < 100; ++k) m.AppendColumn(std::vector<double>{1, 2}.data());
  EXPECT_EQ(m.SizeX(), 102);
  EXPECT_EQ(m.Value(1, 0), 4);
  EXPECT_DOUBLE_EQ(m.ExtentX1(), 107);
}

TEST(ColorMapInput, BadInputIsRefusedAndChangesNothing) {
  TColorMap m("heat");
  m.SetSize(3, 2);
  auto refused = [&](auto f, const char* what) {
    try {
      f();
    } catch (const EVexaKelvoError& e) {
      EXPECT_NE(std::string(e.what()).find("heat"), std::string::npos) << e.what();
      return;
    }
    ADD_FAILURE() << what << " was accepted";
  };
  refused([&] { m.SetSize(0, 4); }, "no columns");
  refused([&] { m.SetSize(65536, 65536); }, "65536 x 65536");
  refused([&] { m.SetExtent(0, 0, 0, 1); }, "no width");
  refused([&] { m.SetExtent(0, NaN, 0, 1); }, "NaN extent");
  refused([&] { m.SetExtent(-1e308, 1e308, 0, 1); }, "a cell wider than a double");
  refused([&] { m.SetValue(3, 0, 1); }, "a column outside");
  refused([&] { (void)m.Value(0, -1); }, "a row outside");
  refused([&] { m.SetColorRangeLow(NaN); }, "NaN range");
  refused([&] { m.SetGradientStops({{0, clRed}, {0.7, clLime}, {0.6, clBlue}}); }, "out of order");
  refused([&] { m.SetGradientStops({{0, clRed}}); }, "one stop");
  refused([&] { m.SetGradientStops({{-0.1, clRed}, {1, clBlue}}); }, "outside 0..1");
  refused([&] { m.SetCapacity(-1); }, "negative capacity");
  refused([&] { m.SetCapacity(TColorMap::MaxCells); }, "capacity past the cells a map holds");
  EXPECT_EQ(m.SizeX(), 3);
  EXPECT_EQ(m.SizeY(), 2);
  EXPECT_EQ(m.Gradient(), TGradient::grViridis);
  EXPECT_EQ(m.ExtentX1(), 1);
  EXPECT_TRUE(std::isnan(m.Value(2, 1)));
}

// A set logarithmic range at or below 0 cannot be drawn: the rest is, then
// the paint says why. With no positive value every cell takes NanColor.
TEST(ColorMapInput, LogColorsWithoutPositiveValues) {
  auto c = Chart(200, 150);
  Ranges(*c, 0, 10, 0, 10, false, false);
  TColorMap& m = c->AddColorMap("log");
  m.SetSize(2, 2);
  m.SetExtent(0, 10, 0, 10);
  const double v[4] = {-1, 0, -3, -4};
  m.SetValues(v);
  m.SetLogColors(true);
  m.SetNanColor(clRed);
  c->Paint();
  EXPECT_EQ(c->Surface().Bits()[size_t(75) * 200 + 100], raster::PixelFromColor(clRed));
  m.SetColorRangeLow(-1);
  m.SetColorRangeHigh(10);
  EXPECT_THROW(c->Paint(), EVexaKelvoError);
}

// The cell under the pointer when no item or point lies within reach; a
// series point within reach wins; a hidden map is not found.
TEST(ColorMapHover, ReportsTheCellUnderThePointer) {
  auto c = Chart(300, 200);
  Ranges(*c, 0, 10, 0, 10, false, false);
  TSeries& s = c->AddSeries("s");
  s.Append(9.0, 9.0);
  c->AddColorMap("below").SetSize(1, 1);
  TColorMap& m = c->AddColorMap("heat");
  m.SetSize(5, 4);
  m.SetExtent(0, 10, 0, 8);
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 5; ++i) m.SetValue(i, j, i + 10 * j);
  int32_t px, py;
  c->WorldToPixel(1, 4.5, 5.5, px, py);
  TNearestItem hit = c->FindNearestItem(px, py, 5);
  EXPECT_EQ(hit.ColorMap, 1);
  EXPECT_EQ(hit.Plottable, 2);
  EXPECT_EQ(hit.CellX, 2);
  EXPECT_EQ(hit.CellY, 2);
  EXPECT_EQ(hit.Value, 22);
  EXPECT_EQ(hit.X, 5);
  EXPECT_EQ(hit.Y, 5);
  c->WorldToPixel(1, 9, 9.2, px, py);
  EXPECT_EQ(c->FindNearestItem(px, py, 5).Series, 0);  // the point beside the map
  c->WorldToPixel(1, 9, 7.9, px, py);
  EXPECT_EQ(c->FindNearestItem(px, py, 1).CellY, 3);
  m.SetVisible(false);
  c->WorldToPixel(1, 0.5, 0.5, px, py);
  EXPECT_EQ(c->FindNearestItem(px, py, 1).ColorMap, 0);  // the one below, 0..1 x 0..1
}

// Colour maps count apart from series; every kind is drawn in the order added.
TEST(ColorMapChart, CountsApartAndDrawsInOrderAdded) {
  auto c = Chart(200, 150);
  Ranges(*c, 0, 10, 0, 10, false, false);
  TSeries& s = c->AddSeries("s");
  s.SetLineWidth(9);
  s.SetColor(clRed);
  s.Append(0.0, 5.0), s.Append(10.0, 5.0);
  TColorMap& m = c->AddColorMap("m");
  m.SetSize(1, 1);
  m.SetExtent(0, 10, 0, 10);
  m.SetValue(0, 0, 1);
  c->AddSeries("t");
  EXPECT_EQ(c->ColorMapCount(), 1u);
  EXPECT_EQ(c->SeriesCount(), 2u);
  EXPECT_EQ(&c->ColorMap(0), &m);
  EXPECT_EQ(c->Series(1).Name(), "t");
  EXPECT_THROW(c->ColorMap(1), EVexaKelvoError);
  int32_t px, py;
  c->WorldToPixel(1, 5, 5, px, py);
  c->Paint();
  EXPECT_EQ(c->Surface().Bits()[size_t(py) * 200 + px],
            raster::PixelFromColor(ColorToRGB(m.ColorOf(1))));  // the map over the line
  c->DeleteColorMap(0);
  EXPECT_EQ(c->ColorMapCount(), 0u);
  EXPECT_EQ(c->PlottableCount(), 2u);
}

// One picture: a heatmap with its colour bar beside a legend on the right,
// and a second map interpolated, with its bar below.
TEST(ColorMapPicture, HeatmapsWithColorBars) {
  auto c = Chart(420, 300);
  c->SetMarginRight(10);
  Ranges(*c, 0, 10, 0, 10, false, false);
  TColorMap& m = c->AddColorMap("heat");
  m.SetSize(24, 16);
  m.SetExtent(0, 6, 0, 10);
  for (int j = 0; j < 16; ++j)
    for (int i = 0; i < 24; ++i)
      m.SetValue(i, j, std::sin(i * 0.3) * std::cos(j * 0.4) * 50 + (i == 5 && j == 5 ? NaN : 0));
  TColorMap& smooth = c->AddColorMap("smooth");
  smooth.SetSize(4, 3);
  smooth.SetExtent(6.5, 10, 2, 8);
  const double v[12] = {1, 10, 100, 1000, 2, 20, 200, 2000, 5, 50, 500, 5000};
  smooth.SetValues(v);
  smooth.SetInterpolate(true);
  smooth.SetLogColors(true);
  smooth.SetGradient(TGradient::grMagma);
  c->Legend().SetVisible(true);
  c->Legend().SetPosition(TLegendPos::lpOutsideRight);
  c->ColorBar().SetVisible(true);
  c->ColorBar().SetCaption("Intensity");
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "colormap-heatmap");
  c->ColorBar().SetColorMapIndex(1);
  c->ColorBar().SetPosition(TLegendPos::lpOutsideBottom);
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "colormap-bar-bottom");
}

// Fitting takes the grid's extent (its smallest positive edge on a
// logarithmic axis); a chart that stops using another's data keeps a copy
// of its maps, values and colours, drawing the same picture.
TEST(ColorMapChart, FitsAndIsCopiedWithItsData) {
  auto c = Chart(240, 180);
  TColorMap& m = c->AddColorMap("m");
  m.SetSize(3, 2);
  m.SetExtent(4, -2, 1, 9);  // reversed in x
  const double v[6] = {1, 2, 3, 4, NaN, 6};
  m.SetValues(v);
  m.SetGradient(TGradient::grCoolWarm);
  c->FitLayerToData(1);
  EXPECT_EQ(c->Scale1X().RangeLow(), -2);
  EXPECT_EQ(c->Scale1X().RangeHigh(), 4);
  EXPECT_EQ(c->Scale1Y().RangeLow(), 1);
  EXPECT_EQ(c->Scale1Y().RangeHigh(), 9);
  c->Scale1X().SetLogarithmic(true);
  c->FitLayerToData(1);
  EXPECT_EQ(c->Scale1X().RangeLow(), 2);  // the edges lie at 4, 2, 0 and -2
  c->Scale1X().SetLogarithmic(false);
  c->FitLayerToData(1);
  c->Paint();
  auto user = Chart(240, 180);
  user->SetUseDataOf(c.get());
  user->SetLayerRanges(1, -2, 1, 4, 9, false);
  user->SetUseDataOf(nullptr);
  c->DeleteColorMap(0);
  ASSERT_EQ(user->ColorMapCount(), 1u);
  EXPECT_EQ(user->ColorMap(0).Value(2, 1), 6);
  user->Paint();
  c->AddPlottable(user->ColorMap(0).Clone());
  c->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(c->Surface(), user->Surface()));
}
