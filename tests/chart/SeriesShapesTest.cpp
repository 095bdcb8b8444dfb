// Series shapes beyond the straight line: areas and bands by the polygon
// pixel rule, stacking, translucent fills, transparent dash gaps, partners
// that name nothing, and one picture of every shape. (Steps, stems and bars
// against their equivalent items: SeriesTest.cpp's random scenes.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Raster.h"
#include "support/Golden.h"
#include "support/Random.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

using kelvo::test::TRandom;

std::unique_ptr<TKelvo> Chart(int w, int h) {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, w, h);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  c->Scale1X().SetRangeLow(0);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1Y().SetRangeLow(0);
  c->Scale1Y().SetRangeHigh(10);
  return c;
}

// A world point on the data bitmap, found through the public mapping.
TPoint OnBitmap(const TKelvo& c, double x, double y) {
  int32_t px, py;
  c.WorldToPixel(1, x, y, px, py);
  TKelvo::ClipPixel(px, py);
  return {px - c.DataArea().Left, py - c.DataArea().Top};
}

// The canvas' polygon rule, written out: pixel (X, Y) lies inside when an
// odd number of edges cross row Y (top end in, bottom end out) at or left
// of X.
bool Inside(const std::vector<TPoint>& P, int64_t X, int64_t Y) {
  bool in = false;
  for (size_t i = 0; i < P.size(); ++i) {
    TPoint a = P[i], b = P[(i + 1) % P.size()];
    if (a.Y == b.Y) continue;
    if (a.Y > b.Y) std::swap(a, b);
    if (Y < a.Y || Y >= b.Y) continue;
    const int64_t dy = int64_t{b.Y} - a.Y;
    // crossing x = a.X + (Y - a.Y) * (b.X - a.X) / dy <= X
    if (int64_t{a.X} * dy + (Y - a.Y) * (int64_t{b.X} - a.X) <= X * dy) in = !in;
  }
  return in;
}

uint32_t PixelAt(const TBitmap& b, int x, int y) { return b.Bits()[size_t(y) * b.Width() + x]; }

}  // namespace

// An area to the baseline and a band fill exactly the pixels inside their
// polygon (the path closed along the baseline, or back along the partner),
// for straight and stepped paths over random data with gaps.
TEST(SeriesArea, FillsThePixelsInsideItsPolygon) {
  for (uint64_t seed = 1; seed <= 24; ++seed) {
    TRandom r{seed * 31};
    auto c = Chart(230, 190);
    c->SetChartColor(clWhite);
    TSeries& s = c->AddSeries();
    TSeries& partner = c->AddSeries();
    const auto shape = static_cast<TSeriesShape>(r.Below(4));  // straight or a step
    const bool band = seed % 2 == 0;
    s.SetShape(shape);
    s.SetPenStyle(TPenStyle::psClear);  // the fill alone
    s.SetAreaColor(clRed);
    s.SetAreaFill(band ? TAreaFill::afToSeries : TAreaFill::afToBaseline);
    s.SetBaseline(r.Real() * 10);
    partner.SetVisible(false);
    const int n = 2 + r.Below(25);
    std::vector<double> xs, ys, ps;
    double x = -1 + r.Real();
    for (int i = 0; i < n; ++i) {
      x += r.Real() * 1.5;
      double y = r.Real() * 12 - 1, p = r.Real() * 12 - 1;
      if (r.Below(8) == 0) y = std::nan("");
      xs.push_back(x), ys.push_back(y), ps.push_back(p);
      s.Append(x, y);
      partner.Append(x, p);
    }
    if (band) s.SetAreaPartner(1);
    c->Paint();
    const TBitmap& bmp = c->DataBitmap();
    // Expected: the union of the polygons of each run of finite points.
    std::vector<std::vector<TPoint>> polygons;
    for (int a = 0; a < n;) {
      if (!std::isfinite(ys[a])) {
        ++a;
        continue;
      }
      int b = a;
      while (b + 1 < n && std::isfinite(ys[b + 1])) ++b;
      std::vector<std::pair<double, double>> up, low;
      for (int k = a; k <= b; ++k) {
        if (k > a)
          s.StepVertices(xs[k - 1], ys[k - 1], xs[k], ys[k],
                         [&](double vx, double vy) { up.emplace_back(vx, vy); });
        up.emplace_back(xs[k], ys[k]);
        if (band) low.emplace_back(xs[k], ps[k]);  // the partner's straight line
      }
      if (!band) low = {{xs[a], s.Baseline()}, {xs[b], s.Baseline()}};
      std::vector<TPoint> poly;
      for (const auto& [vx, vy] : up) poly.push_back(OnBitmap(*c, vx, vy));
      for (auto v = low.rbegin(); v != low.rend(); ++v)
        poly.push_back(OnBitmap(*c, v->first, v->second));
      if (poly.size() >= 3) polygons.push_back(poly);
      a = b + 1;
    }
    const uint32_t red = raster::PixelFromColor(clRed), white = raster::PixelFromColor(clWhite);
    for (int py = 1; py + 1 < bmp.Height(); ++py) {
      for (int px = 1; px + 1 < bmp.Width(); ++px) {
        bool in = false;
        for (const auto& poly : polygons) in = in || Inside(poly, px, py);
        ASSERT_EQ(PixelAt(bmp, px, py), in ? red : white)
            << "seed " << seed << " shape " << int(shape) << (band ? " band" : "") << " at " << px
            << ", " << py;
      }
    }
  }
}

// Stacked bars are the boxes from the values below to the sums, as items;
// a stacked line runs through the sums.
TEST(SeriesStacking, BarsAndLinesStandOnTheValuesBelow) {
  auto a = Chart(260, 200), b = Chart(260, 200);
  const double ys[3][5] = {{1, 2, 3, 2, 1}, {2, 1, 0.5, 1, 3}, {1, 1, 1, 1, 1}};
  for (int k = 0; k < 3; ++k) {
    TSeries& s = a->AddSeries();
    s.SetShape(k < 2 ? TSeriesShape::shBars : TSeriesShape::shStraight);
    s.SetColor(k == 0 ? clNavy : k == 1 ? clMaroon : clGreen);
    s.SetAreaColor(k == 0 ? clSkyBlue : clYellow);
    s.SetBarWidth(1.2);
    for (int i = 0; i < 5; ++i) s.Append(1.5 + 2 * i, ys[k][i]);
    if (k > 0) s.SetStackedOn(k - 1);
  }
  for (int k = 0; k < 3; ++k) {
    b->SetDataColor(k == 0 ? clNavy : k == 1 ? clMaroon : clGreen);
    b->SetFillColor(k == 0 ? clSkyBlue : clYellow);
    for (int i = 0; i < 5; ++i) {
      double below = 0;
      for (int j = 0; j < k; ++j) below += ys[j][i];
      const double x = 1.5 + 2 * i, top = below + ys[k][i];
      if (k < 2) b->Rectangle(x - 0.6, below, x + 0.6, top);
      if (k == 2) i == 0 ? b->MoveTo(x, top) : b->DrawTo(x, top);
    }
  }
  a->Paint();
  b->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface()));
}

// Partners must name another series of the chart; stacking must not come
// back to itself and needs the same x. Refused settings change nothing; a
// partner deleted later is reported by the paint, which draws the rest.
TEST(SeriesStacking, PartnersThatNameNothingAreRefusedOrReported) {
  auto c = Chart(200, 150);
  TSeries& a = c->AddSeries("a");
  TSeries& b = c->AddSeries("b");
  for (int i = 0; i < 5; ++i) a.Append(i, i), b.Append(i, 1);
  EXPECT_THROW(a.SetStackedOn(0), EVexaKelvoError);    // itself
  EXPECT_THROW(a.SetAreaPartner(7), EVexaKelvoError);  // no such series
  EXPECT_THROW(a.SetStackedOn(-2), EVexaKelvoError);
  b.SetStackedOn(0);
  EXPECT_THROW(a.SetStackedOn(1), EVexaKelvoError);  // a loop
  EXPECT_EQ(a.StackedOn(), -1);
  EXPECT_EQ(a.AreaPartner(), -1);
  EXPECT_THROW(a.SetBaseline(std::nan("")), EVexaKelvoError);
  EXPECT_EQ(a.Baseline(), 0);
  b.Append(9, 1);  // no longer the same x
  try {
    c->Paint();
    ADD_FAILURE() << "the paint did not report the stacking";
  } catch (const EVexaKelvoError& e) {
    EXPECT_NE(std::string(e.what()).find("does not hold the same x"), std::string::npos)
        << e.what();
  }
  // The rest was drawn: series a's line is there.
  EXPECT_GT(kelvo::test::CountColor(c->DataBitmap(), a.Color()), 20);
  TSeries& d = c->AddSeries("d");
  d.Append(1, 1);
  d.SetAreaFill(TAreaFill::afToSeries);
  d.SetAreaPartner(0);
  c->DeleteSeries(1);
  c->DeleteSeries(0);  // d's partner is gone
  EXPECT_THROW(c->Paint(), EVexaKelvoError);
}

// Translucent bars blend their inside over what lies beneath; the outline
// is the pen's.
TEST(SeriesShapes, TranslucentBarsBlend) {
  auto c = Chart(200, 150);
  c->SetChartColor(clWhite);
  TSeries& s = c->AddSeries();
  s.SetShape(TSeriesShape::shBars);
  s.SetBarWidth(4);
  s.SetColor(clBlack);
  s.SetAreaColor(clBlue);
  s.SetAreaOpacity(64);
  s.Append(5, 8);
  c->Paint();
  const TPoint mid = OnBitmap(*c, 5, 4), corner = OnBitmap(*c, 3, 8);
  // 255 * (255 - 64) / 255 and 255 * 64 / 255 + 255 * 191 / 255, rounded.
  EXPECT_EQ(PixelAt(c->DataBitmap(), mid.X, mid.Y), 0xFFBFBFFFu);
  EXPECT_EQ(PixelAt(c->DataBitmap(), corner.X, corner.Y), 0xFF000000u);
}

// A dashed series leaves its gaps transparent: where the items' line
// paints a gap (in a colour used nowhere else) the series shows what lies
// beneath; elsewhere the pictures agree.
TEST(SeriesShapes, DashedLinesLeaveTheirGapsTransparent) {
  for (const double ratio : {1.0, 2.0}) {
    for (const TPenStyle pen : {TPenStyle::psDash, TPenStyle::psDot, TPenStyle::psDashDot}) {
      auto a = Chart(240, 180), beneath = Chart(240, 180), items = Chart(240, 180);
      for (TKelvo* c : {a.get(), beneath.get(), items.get()}) {
        c->SetDevicePixelRatio(ratio);
        c->SetFillColor(clYellow);
        c->Rectangle(2, 2, 8, 8);  // something beneath the line
      }
      TSeries& s = a->AddSeries();
      s.SetPenStyle(pen);
      s.SetColor(clNavy);
      items->SetPenStyle(pen);
      items->SetDataColor(clNavy);
      items->SetFillColor(0x123457);
      for (int i = 0; i <= 40; ++i) {  // gentle slopes: no pixel drawn twice
        const double x = 0.5 + i * 0.22, y = 5 + 2 * std::sin(i * 0.3);
        s.Append(x, y);
        i == 0 ? items->MoveTo(x, y) : items->DrawTo(x, y);
      }
      for (TKelvo* c : {a.get(), beneath.get(), items.get()}) c->Paint();
      const TBitmap &got = a->Surface(), &under = beneath->Surface(), &want = items->Surface();
      const uint32_t gap = raster::PixelFromColor(0x123457);
      int gaps = 0;
      for (int y = 0; y < got.Height(); ++y)
        for (int x = 0; x < got.Width(); ++x) {
          const bool isGap = PixelAt(want, x, y) == gap;
          gaps += isGap;
          ASSERT_EQ(PixelAt(got, x, y), isGap ? PixelAt(under, x, y) : PixelAt(want, x, y))
              << x << ", " << y << " at " << ratio;
        }
      EXPECT_GT(gaps, 10);
    }
  }
}

// One picture of every shape, in the light theme: steps before, after and
// halfway, stems, grouped and stacked bars, an area, a band and stacked
// areas.
TEST(SeriesShapes, OnePictureOfEveryShape) {
  std::vector<std::unique_ptr<TKelvo>> charts;
  auto add = [&](const char* Caption) {
    auto c = Chart(240, 170);
    c->ApplyTheme(TKelvoTheme::ktLight);
    c->SetCaption(Caption);
    charts.push_back(std::move(c));
    return charts.back().get();
  };
  auto wave = [](int i, int k) { return 5 + 3 * std::sin(i * 0.7 + k) + k; };
  for (const TSeriesShape shape : {TSeriesShape::shStepPre, TSeriesShape::shStepPost,
                                   TSeriesShape::shStepMid, TSeriesShape::shStems}) {
    TKelvo* c = add(TSeriesShapeNames[int(shape)]);
    TSeries& s = c->AddSeries("level");
    s.SetShape(shape);
    s.SetSymbol(9);
    c->Legend().SetVisible(shape == TSeriesShape::shStepPre || shape == TSeriesShape::shStems);
    c->Legend().SetPosition(TLegendPos::lpBottomRight);
    s.SetBaseline(1);
    for (int i = 0; i < 9; ++i) s.Append(1 + i, wave(i, 0));
  }
  {
    TKelvo* c = add("grouped bars");
    c->Legend().SetVisible(true);
    for (int k = 0; k < 3; ++k) {
      TSeries& s = c->AddSeries(k == 0 ? "north" : k == 1 ? "centre" : "south");
      s.SetShape(TSeriesShape::shBars);
      s.SetBarWidth(0.25);
      s.SetBarOffset((k - 1) * 0.27);
      for (int i = 0; i < 8; ++i) s.Append(1 + i, wave(i, k) - 2);
    }
  }
  {
    TKelvo* c = add("stacked bars");
    for (int k = 0; k < 3; ++k) {
      TSeries& s = c->AddSeries();
      s.SetShape(TSeriesShape::shBars);
      for (int i = 0; i < 8; ++i) s.Append(1 + i, 1 + (i + k) % 3);
      if (k > 0) s.SetStackedOn(k - 1);
    }
  }
  {
    TKelvo* c = add("area and band");
    TSeries& low = c->AddSeries("low");
    TSeries& high = c->AddSeries("range");
    c->Legend().SetVisible(true);
    for (int i = 0; i <= 40; ++i) {
      low.Append(i * 0.25, wave(i / 4, 0) - 1 - 0.1 * (i % 4));
      high.Append(i * 0.25, wave(i / 4, 0) + 1 + 0.1 * (i % 4));
    }
    high.SetAreaFill(TAreaFill::afToSeries);
    high.SetAreaPartner(0);
    high.SetAreaOpacity(96);
    TSeries& area = c->AddSeries("count");
    area.SetShape(TSeriesShape::shStepPost);
    area.SetAreaFill(TAreaFill::afToBaseline);
    area.SetAreaOpacity(128);
    for (int i = 0; i < 10; ++i) area.Append(i, 1 + i % 3);
  }
  {
    TKelvo* c = add("stacked areas");
    for (int k = 0; k < 3; ++k) {
      TSeries& s = c->AddSeries();
      s.SetAreaFill(TAreaFill::afToBaseline);
      s.SetAreaOpacity(160);
      for (int i = 0; i <= 20; ++i) s.Append(i * 0.5, 1 + 0.8 * std::sin(i * 0.4 + k * 2) + 0.8);
      if (k > 0) s.SetStackedOn(k - 1);
    }
  }
  const int w = charts[0]->Width(), h = charts[0]->Height();
  auto sheet = kelvo::test::MakeSheet(4 * w, 2 * h);
  for (size_t k = 0; k < charts.size(); ++k) {
    charts[k]->Paint();
    sheet->Canvas().Draw(int(k % 4) * w, int(k / 4) * h, charts[k]->Surface());
  }
  EXPECT_GOLDEN(*sheet, "series/shapes", kelvo::test::TTolerance{40, 80});
}

// Fitting takes in what is drawn: baselines, bar widths, stacked values.
TEST(SeriesShapes, FittingTakesInBaselinesBarsAndStacks) {
  auto c = Chart(300, 200);
  TSeries& bars = c->AddSeries();
  bars.SetShape(TSeriesShape::shBars);
  bars.SetBaseline(-2);
  for (int i = 1; i <= 5; ++i) bars.Append(i, i);  // spacing 1: bars 0.8 wide
  TSeries& on = c->AddSeries();
  for (int i = 1; i <= 5; ++i) on.Append(i, 4);
  on.SetStackedOn(0);
  c->FitLayerToData(1);
  EXPECT_DOUBLE_EQ(c->Scale1X().RangeLow(), 0.6);
  EXPECT_DOUBLE_EQ(c->Scale1X().RangeHigh(), 5.4);
  EXPECT_DOUBLE_EQ(c->Scale1Y().RangeLow(), -2);
  EXPECT_DOUBLE_EQ(c->Scale1Y().RangeHigh(), 9);  // 5 + 4
}

// The pointer finds a bar from inside it, a stem and a step's level run
// along their drawn lines.
TEST(SeriesShapes, NearestHitsTheDrawnPieces) {
  auto c = Chart(300, 220);
  TSeries& s = c->AddSeries();
  for (int i = 0; i < 5; ++i) s.Append(1 + 2 * i, 2 + i);
  c->Paint();
  struct Case {
    TSeriesShape Shape;
    double WX, WY;  // where the pointer is, in world units
    int64_t Point;
  };
  for (const Case k : {Case{TSeriesShape::shBars, 3.2, 1.0, 1},        // inside the second bar
                       Case{TSeriesShape::shStems, 5.05, 1.5, 2},      // beside the third stem
                       Case{TSeriesShape::shStepPost, 6.0, 4.0, 2},    // on the run after point 2
                       Case{TSeriesShape::shStepPre, 6.0, 5.0, 3}}) {  // on the run before point 3
    s.SetShape(k.Shape);
    c->Paint();
    int32_t px, py;
    c->WorldToPixel(1, k.WX, k.WY, px, py);
    const TNearestItem got = c->FindNearestItem(px, py, 6);
    EXPECT_EQ(got.Series, 0) << int(k.Shape);
    EXPECT_EQ(got.Point, k.Point) << int(k.Shape);
    EXPECT_LE(got.Distance, 1.0) << int(k.Shape);
  }
  // An area: the point whose column holds the pointer, from inside it.
  s.SetShape(TSeriesShape::shStraight);
  s.SetAreaFill(TAreaFill::afToBaseline);
  c->Paint();
  int32_t px, py;
  c->WorldToPixel(1, 5.8, 1.0, px, py);  // below point 2 (5, 4), nearer it than point 3 (7, 5)
  const TNearestItem got = c->FindNearestItem(px, py, 6);
  EXPECT_EQ(got.Point, 2);
  EXPECT_EQ(got.Distance, 0.0);
}

// Sorted data fills its area a pixel column at a time; the picture is the
// polygon's (render shortcuts off), for every step shape, bands and
// stacked areas, gaps, zooms and ratios.
TEST(SeriesArea, ColumnsFillWhatThePolygonFills) {
  for (uint64_t seed = 1; seed <= 30; ++seed) {
    TRandom r{seed * 7 + 1};
    auto a = Chart(260, 180), b = Chart(260, 180);
    const double ratio = seed % 3 == 0 ? 2.0 : seed % 5 == 0 ? 1.5 : 1.0;
    const double lo = r.Real() * 5, hi = lo + 0.05 + r.Real() * (seed % 2 ? 2 : 20);
    const int n = 2 + r.Below(seed % 4 == 0 ? 20000 : 300);
    const auto shape = static_cast<TSeriesShape>(r.Below(4));
    const int kind = r.Below(3);  // to the baseline, a band, stacked
    for (TKelvo* c : {a.get(), b.get()}) {
      c->SetDevicePixelRatio(ratio);
      c->Scale1X().SetRangeLow(lo);
      c->Scale1X().SetRangeHigh(hi);
      TRandom d{seed};
      TSeries& low = c->AddSeries();
      TSeries& s = c->AddSeries();
      for (int i = 0; i < n; ++i) {
        const double x = 10.0 * i / n;
        double y = 5 + 4 * std::sin(i * 0.05) + d.Real() - 0.5, p = 1 + d.Real() * 3;
        if (d.Below(50) == 0) y = std::nan("");
        s.Append(x, y);
        low.Append(x, p);
      }
      s.SetShape(shape);
      s.SetAreaColor(clRed);
      s.SetAreaOpacity(seed % 2 ? 255 : 100);
      s.SetBaseline(2.5);
      s.SetAreaFill(kind == 1 ? TAreaFill::afToSeries : TAreaFill::afToBaseline);
      if (kind == 1) s.SetAreaPartner(0);
      if (kind == 2) s.SetStackedOn(0);
    }
    b->SetRenderShortcuts(false);
    a->Paint();
    b->Paint();
    ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface()))
        << "seed " << seed << " shape " << int(shape) << " kind " << kind << " n " << n;
  }
}

// Steps after and before their points are drawn a pixel column at a time;
// the picture is that of their items (shortcuts off): dense data, gaps in y
// and in x, x that steps back, every ratio.
TEST(SeriesPicture, StepsByColumnsAreTheirItems) {
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    TRandom r{seed * 13 + 5};
    const double ratio = seed % 3 == 0 ? 2.0 : seed % 5 == 0 ? 1.5 : 1.0;
    const int n = 2 + r.Below(seed % 2 ? 30000 : 400);
    const double lo = r.Real() * 8, hi = lo + 0.02 + r.Real() * (seed % 4 ? 3 : 12);
    std::vector<double> xs(n), ys(n);
    double back = 0, y = 5;
    for (int i = 0; i < n; ++i) {
      if (r.Below(2000) == 0) back += r.Real() * 2;
      xs[i] = 10.0 * i / n - back;
      y = std::clamp(y + r.Real() - 0.5, 0.0, 10.0);
      ys[i] = r.Below(60) == 0 ? std::nan("") : y;
      if (r.Below(400) == 0) xs[i] = std::nan("");
    }
    const auto shape = seed % 2 ? TSeriesShape::shStepPost : TSeriesShape::shStepPre;
    auto a = Chart(250, 170), b = Chart(250, 170);
    for (TKelvo* c : {a.get(), b.get()}) {
      c->SetDevicePixelRatio(ratio);
      c->SetAntiAliased(ratio == 1.0 && seed % 7 == 0);
      c->Scale1X().SetRangeLow(lo);
      c->Scale1X().SetRangeHigh(hi);
      TSeries& s = c->AddSeries();
      s.SetShape(shape);
      s.Append(xs.data(), ys.data(), xs.size());
    }
    b->SetRenderShortcuts(false);
    a->Paint();
    b->Paint();
    ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface()))
        << "seed " << seed << " shape " << int(shape) << " n " << n << " at " << ratio;
  }
}
