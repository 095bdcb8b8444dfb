// Data series: the storage (ring, spacing, order, bounds, errors) and the
// picture, which must be pixel for pixel that of the equivalent display-list
// items (MoveTo, DrawTo to each point, then MarkAt at each), over random
// series: sorted and unsorted, gaps, reversed and logarithmic axes, zoomed
// in and out, every pen, capacities that wrap.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/chart/SeriesView.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Raster.h"
#include "support/Random.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

using kelvo::test::TRandom;

// Where a series' dashed line leaves a gap, its equivalent items paint this
// colour (used nowhere else): the two pictures may differ only there.
constexpr TColor GapColour = 0x123457;

bool Dashed(TPenStyle p) {
  return p == TPenStyle::psDash || p == TPenStyle::psDot || p == TPenStyle::psDashDot ||
         p == TPenStyle::psDashDotDot;
}

// The display-list items a series stands for, appended with its attributes:
// its shape's MoveTo and DrawTo items (a step's extra vertices, a stem from
// the baseline) or a box item per bar, then its marks.
void AppendEquivalentItems(TKelvo& c, const TSeries& s) {
  if (!s.Visible() || s.Count() == 0) return;
  c.SetDataColor(s.Color());
  c.SetFillColor(Dashed(s.PenStyle()) ? GapColour : s.FillColor());
  c.SetPenStyle(s.PenStyle());
  c.SetLineWidth(static_cast<uint8_t>(s.LineWidth()));
  c.SetCurrentLayer(s.Layer());
  c.SetClassDefault(s.ItemClass());
  const uint64_t n = s.Count();
  if (s.LineVisible()) {
    switch (s.Shape()) {
      case TSeriesShape::shStraight:
        c.MoveTo(s.X(0), s.Y(0));
        for (uint64_t i = 1; i < n; ++i) c.DrawTo(s.X(i), s.Y(i));
        break;
      case TSeriesShape::shStepPre:
      case TSeriesShape::shStepPost:
      case TSeriesShape::shStepMid:
        c.MoveTo(s.X(0), s.Y(0));
        for (uint64_t i = 1; i < n; ++i) {
          const double px = s.X(i - 1), py = s.Y(i - 1), x = s.X(i), y = s.Y(i);
          if (s.Shape() == TSeriesShape::shStepPre) c.DrawTo(px, y);
          if (s.Shape() == TSeriesShape::shStepPost) c.DrawTo(x, py);
          if (s.Shape() == TSeriesShape::shStepMid) {
            c.DrawTo(0.5 * px + 0.5 * x, py);
            c.DrawTo(0.5 * px + 0.5 * x, y);
          }
          c.DrawTo(x, y);
        }
        break;
      case TSeriesShape::shStems:
        for (uint64_t i = 0; i < n; ++i) {
          c.MoveTo(s.X(i), s.Baseline());
          c.DrawTo(s.X(i), s.Y(i));
        }
        break;
      case TSeriesShape::shBars: {
        const TScaleProps& sx = c.ScalePropsX(s.Layer());
        const double w = s.BarWidthIn(std::min(sx.RangeLow(), sx.RangeHigh()),
                                      std::max(sx.RangeLow(), sx.RangeHigh()));
        c.SetFillColor(s.AreaColor() == clNone ? s.Color() : s.AreaColor());
        for (uint64_t i = 0; i < n; ++i) {
          const double x = s.X(i) + s.BarOffset();
          c.Rectangle(x - w / 2, s.Baseline(), x + w / 2, s.Y(i));
        }
        break;
      }
    }
  }
  c.SetFillColor(s.FillColor());
  if (s.Symbol() >= 0)
    for (uint64_t i = 0; i < s.Count(); ++i)
      c.MarkAt(s.X(i), s.Y(i), static_cast<uint8_t>(s.Symbol()));
}

// The same pixels, but where the items painted a dashed line's gap.
bool SameBesideGaps(const TBitmap& Series, const TBitmap& Items) {
  if (Series.Width() != Items.Width() || Series.Height() != Items.Height()) return false;
  const uint32_t gap = raster::PixelFromColor(GapColour);
  const size_t n = size_t(Series.Width()) * Series.Height();
  for (size_t i = 0; i < n; ++i)
    if (Series.Bits()[i] != Items.Bits()[i] && Items.Bits()[i] != gap) return false;
  return true;
}

std::unique_ptr<TKelvo> Chart(int w, int h) {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, w, h);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  return c;
}

// One random scene: some items, then series; the same items followed by the
// series' equivalent items in a second chart.
// Smooth: dashed series' gaps are left out of the comparison only where the
// items paint them in GapColour, which smooth lines blend: such scenes
// draw their dashed series with wide (solid) pens.
std::string Scene(TKelvo& series, TKelvo& items, uint64_t Seed, bool Smooth) {
  TRandom r{Seed * 2654435761u + 3};
  const bool logX = r.Below(6) == 0, logY = r.Below(6) == 0;
  const bool reverseX = r.Below(4) == 0, reverseY = r.Below(4) == 0;
  const double zoom = r.Below(3) == 0 ? 0.2 + r.Real() : (r.Below(2) ? 1.0 : 6.0);
  for (TKelvo* c : {&series, &items}) {
    auto range = [&](TScaleProps& p, double lo, double hi, bool log, bool reverse) {
      const double mid = (lo + hi) / 2, half = (hi - lo) / 2 / zoom;
      double a = log ? lo : mid - half, b = log ? lo + (hi - lo) / zoom : mid + half;
      if (reverse) std::swap(a, b);
      p.SetLogarithmic(log);
      p.SetRangeLow(a);
      p.SetRangeHigh(b);
    };
    range(c->Scale1X(), 1, 1001, logX, reverseX);
    range(c->Scale1Y(), 1, 101, logY, reverseY);
    c->Rectangle(100, 20, 300, 40);  // items before the series
    c->SetPenStyle(TPenStyle::psDash);
    c->MoveTo(50, 50);
    c->DrawTo(900, 60);
  }
  const int count = 1 + r.Below(4);
  std::string what = "seed " + std::to_string(Seed) + (logX ? ", log x" : "") +
                     (logY ? ", log y" : "") + (reverseX ? ", reversed x" : "") +
                     (reverseY ? ", reversed y" : "") + ", zoom " + std::to_string(zoom);
  const TPenStyle pens[] = {TPenStyle::psSolid, TPenStyle::psSolid, TPenStyle::psSolid,
                            TPenStyle::psDash,  TPenStyle::psDot,   TPenStyle::psDashDot};
  for (int k = 0; k < count; ++k) {
    TSeries& s = series.AddSeries("s" + std::to_string(k));
    const bool sorted = r.Below(4) != 0;
    const bool spaced = sorted && r.Below(3) == 0;
    // Almost sorted: x steps back now and then (a little, or past the
    // view), and now and then is not finite.
    const bool stepped = sorted && !spaced && r.Below(3) == 0;
    double back = 0;
    const int points0 = r.Below(5) == 0 ? 40000 + r.Below(40000) : 1 + r.Below(3000);
    const bool gaps = r.Below(3) == 0;
    s.SetColor(r.Below(2) ? clNavy : clRed);
    s.SetFillColor(r.Below(2) ? clYellow : clSilver);
    s.SetPenStyle(pens[r.Below(6)]);
    s.SetLineWidth(r.Below(5) == 0 || (Smooth && Dashed(s.PenStyle())) ? 2 + r.Below(2) : 1);
    s.SetLineVisible(r.Below(6) != 0);
    const int marks = r.Below(4);
    s.SetSymbol(marks == 0 ? 7 + r.Below(3) : marks == 1 ? r.Below(52) : -1);
    s.SetItemClass(r.Below(8) == 0 ? 3 : 0);  // class 3 is hidden
    // Shapes: steps, stems and bars in some scenes (fewer points for bars).
    if (r.Below(3) == 0) {
      s.SetShape(static_cast<TSeriesShape>(1 + r.Below(5)));
      s.SetBaseline(r.Below(2) ? 0.0 : 1 + 100 * r.Real());
      if (s.Shape() == TSeriesShape::shBars) {
        s.SetBarWidth(r.Below(2) ? 0.0 : r.Real() * 20);
        s.SetBarOffset(r.Below(2) ? 0.0 : r.Real() * 10 - 5);
        if (r.Below(2)) s.SetAreaColor(clTeal);
      }
    }
    const int points = s.Shape() == TSeriesShape::shBars ? 1 + r.Below(300) : points0;
    if (r.Below(3) == 0) s.SetCapacity(1 + r.Below(points + 100));
    const double step = 1000.0 / points;
    if (spaced) s.SetXSpacing(1, step);
    double y = 50;
    for (int i = 0; i < points; ++i) {
      y = std::fmin(101, std::fmax(1, y + r.Real() * 6 - 3));
      if (r.Below(200) == 0) y = 1 + 100 * r.Real();
      double yv = y;
      if (gaps && r.Below(300) == 0) yv = r.Below(2) ? std::nan("") : HUGE_VAL;
      if (spaced) {
        s.Append(yv);
      } else {
        if (stepped && r.Below(300) == 0) back += step * (r.Below(4) == 0 ? 2000 : 1 + r.Below(60));
        double x = sorted ? 1 + step * i - back : 1 + 1000 * r.Real();
        if (gaps && !sorted && r.Below(500) == 0) x = std::nan("");
        if (stepped && r.Below(700) == 0) x = r.Below(2) ? std::nan("") : -HUGE_VAL;
        s.Append(x, yv);
      }
    }
    what += ", [shape " + std::to_string(int(s.Shape())) + " " + std::to_string(s.Count()) +
            (stepped  ? " stepped"
             : sorted ? " sorted"
                      : " unsorted") +
            (spaced ? " spaced" : "") + " pen " + std::to_string(int(s.PenStyle())) + " w" +
            std::to_string(s.LineWidth()) + " sym " + std::to_string(s.Symbol()) + "]";
  }
  for (size_t k = 0; k < series.SeriesCount(); ++k) AppendEquivalentItems(items, series.Series(k));
  items.SetClassVisible(3, false);
  series.SetClassVisible(3, false);
  return what;
}

TEST(SeriesPicture, IsThatOfTheEquivalentItems) {
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    auto a = Chart(300 + static_cast<int>(seed % 4) * 57, 230);
    auto b = Chart(a->Width(), 230);
    // Some scenes on high-density surfaces: the columns are device columns.
    const double ratio = seed % 4 == 1 ? 1.5 : (seed % 4 == 3 ? 2.0 : 1.0);
    a->SetDevicePixelRatio(ratio);
    b->SetDevicePixelRatio(ratio);
    // And some anti-aliased: the series' columns reduce the line as the
    // items' summary does, so the shortcuts agree (without them the smooth
    // picture of every segment, and of a mark drawn again on its own
    // pixel, is another picture). Above a ratio of 1, where a smooth pen
    // is wider than a device pixel, neither reduces the line.
    const bool smooth = seed % 5 == 0 || seed % 7 == 0;
    a->SetAntiAliased(smooth);
    b->SetAntiAliased(smooth);
    const std::string what =
        Scene(*a, *b, seed, smooth) + " at " + std::to_string(ratio) + (smooth ? ", smooth" : "");
    for (bool shortcuts : {true, false}) {
      if (smooth && !shortcuts) continue;
      a->SetRenderShortcuts(shortcuts);
      a->Paint();
      b->Paint();
      ASSERT_TRUE(SameBesideGaps(a->Surface(), b->Surface()))
          << what << (shortcuts ? "" : ", no shortcuts");
    }
  }
}

// Sorted data zoomed far in: a paint reads the points in view, and the
// picture is still that of every item.
TEST(SeriesPicture, ZoomedIntoSortedData) {
  auto a = Chart(400, 250), b = Chart(400, 250);
  TSeries& s = a->AddSeries();
  std::vector<double> ys(300000);
  TRandom r{7};
  double y = 0;
  for (double& v : ys) v = y += r.Real() - 0.5;
  s.SetXSpacing(0, 0.001);
  s.Append(ys);
  AppendEquivalentItems(*b, s);
  for (auto [lo, hi] : {std::pair{100.0, 100.5}, {0.0, 300.0}, {-5.0, 2.0}, {299.9, 400.0}}) {
    for (TKelvo* c : {a.get(), b.get()}) {
      c->Scale1X().SetRangeHigh(1e9);
      c->Scale1X().SetRangeLow(lo);
      c->Scale1X().SetRangeHigh(hi);
      c->Scale1Y().SetRangeLow(-300);
      c->Scale1Y().SetRangeHigh(300);
      c->Paint();
    }
    ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface())) << lo << " .. " << hi;
  }
}

// Dense sorted data (many points a column) with gaps: the columns where
// the line ends, because a gap or the data's end follows, keep exactly the
// items' pixels. Samples fall on pixel boundaries (ten a pixel), and on a
// logarithmic axis some values lie at its floor.
TEST(SeriesPicture, ColumnsWhereTheLineEnds) {
  for (uint64_t seed = 1; seed <= 24; ++seed) {
    TRandom r{seed};
    auto a = Chart(260, 200), b = Chart(260, 200);
    const bool logY = seed % 3 == 0, floor = seed % 6 == 0;
    TSeries& s = a->AddSeries();
    s.SetXSpacing(0, 0.001);
    if (seed % 4 == 0) s.SetCapacity(5000 + r.Below(5000));
    const int n = 2000 + r.Below(30000);
    double y = floor ? 0 : 50;
    for (int i = 0; i < n; ++i) {
      y += (r.Real() - 0.5) * (r.Below(20) == 0 ? 40 : 3);  // small steps, now and then a jump
      if (floor) y = std::clamp(y, -30.0, 30.0);            // around the floor's pixel
      double v = logY ? std::exp(y / 15) : y;
      if (r.Below(40) == 0) v = std::nan("");
      if (floor && r.Below(300) == 0) v = 0;
      s.Append(v);
    }
    AppendEquivalentItems(*b, s);
    const double pixels = a->Width() - a->MarginLeft() - a->MarginRight() - a->ShadowWidth();
    const double lo = s.X(0) + r.Real() * (s.X(s.Count() - 1) - s.X(0));
    const double hi = lo + pixels * 0.01 * (1 + r.Below(3));  // 10, 20 or 30 samples a pixel
    for (TKelvo* c : {a.get(), b.get()}) {
      c->Scale1X().SetRangeHigh(1e9);
      c->Scale1X().SetRangeLow(lo);
      c->Scale1X().SetRangeHigh(hi);
      c->Scale1Y().SetLogarithmic(logY);
      c->Scale1Y().SetRangeHigh(logY ? 1e4 : 150);
      c->Scale1Y().SetRangeLow(logY ? 10 : -50);  // values below 10 lie beyond the floor's pixel
      c->Paint();
    }
    ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface()))
        << "seed " << seed << ", " << lo << " .. " << hi;
  }
}

// More breaks of the order than the series keeps runs for: drawn point by
// point; once those points have left the ring, by runs again. Both are the
// items' picture.
TEST(SeriesPicture, TooManyBreaksAndAfterThemLeaveTheRing) {
  auto a = Chart(200, 150);
  TSeries& s = a->AddSeries();
  const uint64_t zigzag = 2 * TSeries::MaxRuns + 200;  // x goes back every second point
  s.SetCapacity(zigzag);
  std::vector<double> x(zigzag), y(zigzag);
  for (uint64_t i = 0; i < zigzag; ++i)
    x[i] = i % 2 ? i * 1e-3 : i * 1e-3 - 0.0015, y[i] = 50 + 40 * std::sin(i * 0.01);
  s.Append(x.data(), y.data(), zigzag);
  for (int stage = 0; stage < 2; ++stage) {
    auto b = Chart(200, 150);
    AppendEquivalentItems(*b, s);
    for (TKelvo* c : {a.get(), b.get()}) {
      c->Scale1X().SetRangeHigh(1e9);
      c->Scale1X().SetRangeLow(s.X(0) + 10);
      c->Scale1X().SetRangeHigh(s.X(0) + 14);
      c->Scale1Y().SetRangeHigh(100);
      c->Paint();
    }
    ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface())) << "stage " << stage;
    // Sorted points push the zigzag out, but for one near the end that goes
    // back into the view (the line crosses it).
    for (uint64_t i = 0; i < zigzag; ++i) x[i] = i == zigzag - 9 ? 212 : 200 + i * 1e-3;
    s.Append(x.data(), y.data(), zigzag);
    EXPECT_FALSE(s.Sorted());
  }
}

TEST(Series, RingDropsTheOldestAndKeepsOrderAndBounds) {
  TSeries s;
  s.SetCapacity(100);
  for (int i = 0; i < 1000; ++i) s.Append(i, i % 7);
  ASSERT_EQ(s.Count(), 100u);
  EXPECT_EQ(s.X(0), 900);
  EXPECT_EQ(s.X(99), 999);
  EXPECT_TRUE(s.Sorted());
  double x0, x1, y0, y1;
  ASSERT_TRUE(s.Bounds(x0, x1, y0, y1));
  EXPECT_EQ(x0, 900);
  EXPECT_EQ(x1, 999);
  EXPECT_EQ(y0, 0);
  EXPECT_EQ(y1, 6);
  // A point out of order makes the series unsorted until it is dropped.
  s.Append(5, 1);
  EXPECT_FALSE(s.Sorted());
  for (int i = 0; i < 98; ++i) s.Append(2000 + i, 0);
  EXPECT_EQ(s.X(0), 999);  // 999, then 5: still out of order
  EXPECT_FALSE(s.Sorted());
  s.Append(3000, 0);  // drops 999: 5 is the oldest now
  EXPECT_TRUE(s.Sorted());
  // Capacity below the count drops the oldest at once; 0 keeps all again.
  s.SetCapacity(10);
  EXPECT_EQ(s.Count(), 10u);
  EXPECT_EQ(s.X(9), 3000);
  s.SetCapacity(0);
  for (int i = 0; i < 5000; ++i) s.Append(4000 + i, i);
  EXPECT_EQ(s.Count(), 5010u);
  ASSERT_TRUE(s.Bounds(x0, x1, y0, y1));
  EXPECT_EQ(x1, 8999);
  EXPECT_EQ(y1, 4999);
  // A bulk append longer than the capacity keeps its newest points.
  TSeries t;
  t.SetCapacity(3);
  const double xs[] = {1, 2, 3, 4, 5}, ys[] = {10, 20, 30, 40, 50};
  t.Append(xs, ys, 5);
  EXPECT_EQ(t.Count(), 3u);
  EXPECT_EQ(t.X(0), 3);
  EXPECT_EQ(t.Y(2), 50);
  t.SetCapacity(1);
  t.Append(6, 60);
  EXPECT_EQ(t.Count(), 1u);
  EXPECT_EQ(t.Y(0), 60);
}

// A capacity is a bound, not an allocation; one that cannot be met is
// refused clearly and changes nothing.
TEST(Series, CapacityCostsNothingUntilPointsArriveAndRefusalsChangeNothing) {
  for (bool spaced : {false, true}) {
    for (uint64_t capacity : {UINT64_MAX, uint64_t{1} << 40, uint64_t{10000000000}}) {
      TSeries s;
      if (spaced) s.SetXSpacing(0, 1);
      s.SetCapacity(capacity);  // an empty series
      for (int i = 0; i < 300; ++i) spaced ? s.Append(double(i)) : s.Append(i, i);
      EXPECT_EQ(s.Count(), 300u);
      EXPECT_LE(TSeriesView(s).SlotCount(), 1024u) << capacity;
      s.SetCapacity(0);
      s.SetCapacity(capacity);  // a series holding points
      EXPECT_EQ(s.Capacity(), capacity);
      for (int i = 300; i < 600; ++i) spaced ? s.Append(double(i)) : s.Append(i, i);
      ASSERT_EQ(s.Count(), 600u);
      EXPECT_EQ(s.Y(599), 599);
      EXPECT_TRUE(s.Sorted());
    }
    // A small ring still wraps and keeps the newest.
    TSeries r;
    if (spaced) r.SetXSpacing(0, 1);
    r.SetCapacity(70);
    for (int i = 0; i < 1000; ++i) spaced ? r.Append(double(i)) : r.Append(i, i);
    EXPECT_EQ(r.Count(), 70u);
    EXPECT_EQ(r.Y(0), 930);
    double x0, x1, y0, y1;
    ASSERT_TRUE(r.Bounds(x0, x1, y0, y1));
    EXPECT_EQ(y0, 930);
    EXPECT_EQ(x1, 999);
  }
  // Storage that cannot be had: the library's error, the series unchanged.
  // (The count alone decides; no point is read before the refusal.)
  TSeries s;
  for (int i = 0; i < 10; ++i) s.Append(i, i);
  try {
    s.Append(nullptr, nullptr, SIZE_MAX / 4);
    FAIL() << "no refusal";
  } catch (const EVexaKelvoError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot be allocated"), std::string::npos) << e.what();
  }
  EXPECT_EQ(s.Count(), 10u);
  s.Append(10, 10);
  EXPECT_EQ(s.Y(10), 10);
  EXPECT_TRUE(s.Sorted());
}

// An evenly spaced x can leave the finite doubles: those points count as
// not finite, as an x column's would.
TEST(Series, EvenlySpacedXBeyondTheFiniteDoubles) {
  TSeries s;
  s.SetXSpacing(0, 1e308);  // 0, 1e308, then beyond the doubles (fused or not)
  for (int i = 0; i < 200; ++i) s.Append(i < 2 ? i : 1000.0 + i);
  double x0, x1, y0, y1;
  ASSERT_TRUE(s.Bounds(x0, x1, y0, y1));
  EXPECT_EQ(x0, 0);
  EXPECT_EQ(x1, 1e308);
  EXPECT_EQ(y0, 0);
  EXPECT_EQ(y1, 1);
  EXPECT_FALSE(s.Sorted());
}

TEST(Series, EvenlySpacedNumberingAndClear) {
  TSeries s;
  s.SetXSpacing(10, 0.5);
  s.SetCapacity(4);
  for (int i = 0; i < 10; ++i) s.Append(i);
  EXPECT_EQ(s.Count(), 4u);
  EXPECT_EQ(s.X(0), 10 + 6 * 0.5);  // the 6th point appended is the oldest held
  EXPECT_EQ(s.Y(0), 6);
  EXPECT_TRUE(s.Sorted());
  s.Clear();
  EXPECT_EQ(s.Count(), 0u);
  EXPECT_EQ(s.Capacity(), 4u);
  s.Append(42);
  EXPECT_EQ(s.X(0), 10);  // numbering starts again at X0
  double x0, x1, y0, y1;
  ASSERT_TRUE(s.Bounds(x0, x1, y0, y1));
  EXPECT_EQ(x0, 10);
  EXPECT_EQ(y1, 42);
}

TEST(Series, BadInputIsRefusedClearly) {
  TSeries s;
  const double a[] = {1, 2, 3}, b[] = {1, 2};
  EXPECT_THROW(s.Append(std::span<const double>(a), std::span<const double>(b)), EVexaKelvoError);
  EXPECT_EQ(s.Count(), 0u);
  EXPECT_THROW(s.X(0), EVexaKelvoError);
  s.Append(a, b, 0);  // zero points: nothing
  s.Append(std::nan(""), HUGE_VAL);
  s.Append(1, std::nan(""));
  double x0, x1, y0, y1;
  EXPECT_FALSE(s.Bounds(x0, x1, y0, y1));
  EXPECT_FALSE(s.Sorted());
  EXPECT_THROW(s.SetXSpacing(0, 1), EVexaKelvoError);  // not empty
  EXPECT_THROW(s.Append(5.0), EVexaKelvoError);        // y alone on an x y series
  try {
    s.Y(7);
    FAIL();
  } catch (const EVexaKelvoError& e) {
    EXPECT_NE(std::string(e.what()).find("7"), std::string::npos) << e.what();
  }
  TSeries spaced;
  EXPECT_THROW(spaced.SetXSpacing(0, std::nan("")), EVexaKelvoError);
  spaced.SetXSpacing(0, 1);
  EXPECT_THROW(spaced.Append(1, 2), EVexaKelvoError);
  TKelvo c;
  EXPECT_THROW(c.Series(0), EVexaKelvoError);
  EXPECT_THROW(c.DeleteSeries(3), EVexaKelvoError);
}

// The chart's list: references stay valid, deleting and clearing, sharing
// with a chart that uses this chart's data, fitting a layer to the data.
TEST(Series, BelongToTheChartsDataAndFitTheLayer) {
  TKelvo owner, user;
  owner.SetBounds(0, 0, 300, 200);
  user.SetBounds(0, 0, 300, 200);
  owner.CreateWnd();
  user.CreateWnd();
  TSeries& first = owner.AddSeries("first");
  TSeries& second = owner.AddSeries("second");
  first.Append(1, 1);
  second.Append(2, 2);
  owner.DeleteSeries(0);
  EXPECT_EQ(&owner.Series(0), &second);
  EXPECT_EQ(second.Name(), "second");
  user.SetUseDataOf(&owner);
  EXPECT_EQ(user.SeriesCount(), 1u);
  second.Append(3, -4);
  second.Append(std::nan(""), 100);
  user.Rectangle(-1, 0, 2, 1);
  user.FitLayerToData(1);
  EXPECT_EQ(user.Scale1X().RangeLow(), -1);
  EXPECT_EQ(user.Scale1X().RangeHigh(), 3);
  EXPECT_EQ(user.Scale1Y().RangeLow(), -4);
  EXPECT_EQ(user.Scale1Y().RangeHigh(), 2);
  // A reversed axis stays reversed.
  owner.Scale1Y().SetRangeLow(10);
  owner.Scale1Y().SetRangeHigh(-10);
  owner.FitLayerToData(1);
  EXPECT_EQ(owner.Scale1Y().RangeLow(), 2);
  EXPECT_EQ(owner.Scale1Y().RangeHigh(), -4);
  // A logarithmic axis fits the positive values.
  owner.Scale1Y().SetRangeLow(1);
  owner.Scale1Y().SetRangeHigh(10);
  owner.Scale1Y().SetLogarithmic(true);
  owner.Scale1X().SetLogarithmic(true);
  for (double y : {0.0, -3.0, 0.5, 40.0}) second.Append(4, y);
  owner.FitLayerToData(1);
  EXPECT_EQ(owner.Scale1Y().RangeLow(), 0.5);
  EXPECT_EQ(owner.Scale1Y().RangeHigh(), 40);
  EXPECT_EQ(owner.Scale1X().RangeLow(), 2);
  EXPECT_EQ(owner.Scale1X().RangeHigh(), 4);
  owner.Scale1X().SetLogarithmic(false);
  owner.Scale1Y().SetLogarithmic(false);
  // Deleting a series the user draws: the next paints are fine.
  owner.ClearSeries();
  EXPECT_EQ(user.SeriesCount(), 0u);
  user.Paint();
  owner.AddSeries().Append(1, 1);
  user.SetUseDataOf(nullptr);  // keeps a copy of what it showed
  owner.ClearSeries();
  EXPECT_EQ(user.SeriesCount(), 1u);
  EXPECT_EQ(owner.SeriesCount(), 0u);
}

// FindNearestItem finds series points (Series, Point; Index -1) exactly as a
// search through every point would, sorted or not, and items still win
// only where they are nearer.
TEST(SeriesNearest, AgreesWithEveryPoint) {
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    TRandom r{seed * 977};
    auto c = Chart(320, 240);
    c->Scale1X().SetRangeHigh(100);
    c->Scale1Y().SetRangeHigh(100);
    TSeries& sorted = c->AddSeries();  // in later seeds: steps back and x that is not finite
    TSeries& scattered = c->AddSeries();
    if (seed % 2) sorted.SetCapacity(5000);
    const bool steps = seed > 2;
    for (int i = 0; i < 20000; ++i) {
      double x = i * 0.01 - 50 - (steps ? (i / 3000) * 7.0 : 0.0);
      if (steps && i % 4999 == 17) x = std::nan("");
      sorted.Append(x, 50 + 40 * std::sin(i * 0.003) + r.Real());
      scattered.Append(r.Real() * 120 - 10, r.Below(100) == 0 ? std::nan("") : r.Real() * 100);
    }
    c->MarkAt(50, 50, 9);
    for (int q = 0; q < 200; ++q) {
      const int32_t x = r.Below(360) - 20, y = r.Below(280) - 20;
      const double reach = q % 3 == 0 ? 1e9 : 1 + r.Below(20);
      const TNearestItem got = c->FindNearestItem(x, y, reach);
      double best = reach;
      bool any = false;
      for (size_t k = 0; k < 2; ++k) {
        const TSeries& s = c->Series(k);
        for (uint64_t i = 0; i < s.Count(); ++i) {
          if (!std::isfinite(s.X(i)) || !std::isfinite(s.Y(i))) continue;
          int32_t px, py;
          c->WorldToPixel(1, s.X(i), s.Y(i), px, py);
          TKelvo::ClipPixel(px, py);
          const double d = std::hypot(double(px) - x, double(py) - y);
          if (d <= best) best = d, any = true;
        }
      }
      int32_t mx, my;
      c->WorldToPixel(1, 50, 50, mx, my);
      const double mark = std::hypot(double(mx) - x, double(my) - y);
      if (mark < best) {
        EXPECT_EQ(got.Index, 0) << q;
        continue;
      }
      if (!any) {
        EXPECT_EQ(got.Series, -1) << q;
        continue;
      }
      ASSERT_GE(got.Series, 0) << q;
      EXPECT_EQ(got.Index, -1);
      EXPECT_DOUBLE_EQ(got.Distance, best) << q;
      const TSeries& s = c->Series(static_cast<size_t>(got.Series));
      EXPECT_EQ(got.X, s.X(static_cast<uint64_t>(got.Point)));
      EXPECT_EQ(got.Y, s.Y(static_cast<uint64_t>(got.Point)));
    }
  }
}

// Exports show series; the SVG writes the visible line as a few paths, not
// an element per point.
TEST(SeriesPicture, ExportsShowSeriesAndTheSvgWritesPaths) {
  auto c = Chart(640, 400);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1Y().SetRangeLow(-2);
  c->Scale1Y().SetRangeHigh(2);
  TSeries& s = c->AddSeries();
  s.SetXSpacing(0, 0.0001);
  for (int i = 0; i < 100000; ++i) s.Append(std::sin(i * 0.0003));
  const std::string doc = c->SvgDocument();
  size_t paths = 0;
  for (size_t p = doc.find("<path"); p != std::string::npos; p = doc.find("<path", p + 1)) ++paths;
  EXPECT_GT(paths, 0u);
  EXPECT_LT(paths, 200u);
  EXPECT_LT(doc.size(), 100000u);
  TBitmap sheet(640, 400);
  c->PaintTo(sheet.Canvas(), 0, 0);
  int32_t px, py;
  c->WorldToPixel(1, 5, std::sin(50000 * 0.0003), px, py);
  EXPECT_EQ(sheet.Canvas().Pixels(px, py), clBlack);  // the line's pixel at x = 5
}

}  // namespace
