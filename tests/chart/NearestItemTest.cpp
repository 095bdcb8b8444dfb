// The item under the mouse: the grid index against a brute-force search on
// random lists, and the index following appends, ranges and visibility.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

struct TRandom {
  uint64_t S;
  double Real() {
    S = S * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(S >> 11) / 9007199254740992.0;
  }
};

// Brute force over marks (points), lines (segments) and rectangles (boxes).
TNearestItem BruteForce(TKelvo& c, int32_t X, int32_t Y, double MaxPixels) {
  TNearestItem best;
  double bestD = MaxPixels;
  for (int32_t i = 0; i < c.ItemCount(); ++i) {
    const TDrawItem& it = c.Items(i);
    if (!c.ClassVisible(it.ItemClass) || !c.LayerVisible(it.Layer)) continue;
    auto px = [&](double x, double y, double& ox, double& oy) {
      int32_t a, b;
      c.WorldToPixel(it.Layer, x, y, a, b);
      TKelvo::ClipPixel(a, b);
      ox = a;
      oy = b;
    };
    double d;
    double ax, ay, bx, by;
    px(it.X1, it.Y1, ax, ay);
    if (it.Kind == ikMark) {
      d = std::hypot(X - ax, Y - ay);
    } else if (it.Kind == ikLine) {
      px(it.X2, it.Y2, bx, by);
      const double dx = bx - ax, dy = by - ay, l2 = dx * dx + dy * dy;
      const double t = l2 > 0 ? std::clamp(((X - ax) * dx + (Y - ay) * dy) / l2, 0.0, 1.0) : 0;
      d = std::hypot(X - (ax + t * dx), Y - (ay + t * dy));
    } else {
      px(it.X2, it.Y2, bx, by);
      const double cx = std::clamp<double>(X, std::min(ax, bx), std::max(ax, bx));
      const double cy = std::clamp<double>(Y, std::min(ay, by), std::max(ay, by));
      d = std::hypot(X - cx, Y - cy);
    }
    if (d < bestD || (d == bestD && i > best.Index)) {
      bestD = d;
      best.Index = i;
      best.Distance = d;
    }
  }
  return best.Index >= 0 && best.Distance <= MaxPixels ? best : TNearestItem{};
}

TEST(NearestItem, AgreesWithABruteForceSearch) {
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    TRandom r{seed};
    TKelvo c;
    c.SetBounds(0, 0, 500, 400);
    c.Scale1X().SetRangeHigh(100);
    c.Scale1Y().SetRangeHigh(100);
    c.CreateWnd();
    c.SetAutoRedraw(false);
    c.SetClassVisible(2, false);
    const int n =
        seed % 2 ? 10 + static_cast<int>(r.Real() * 100) : 500 + static_cast<int>(r.Real() * 1500);
    for (int i = 0; i < n; ++i) {
      const double x = r.Real() * 140 - 20, y = r.Real() * 140 - 20;  // some off the area
      c.SetClassDefault(r.Real() < 0.1 ? 2 : 0);
      const double kind = r.Real();
      if (kind < 0.5)
        c.MarkAt(x, y, 9);
      else if (kind < 0.8)
        c.Line(x, y, x + r.Real() * 60 - 30, y + r.Real() * (kind < 0.78 ? 60 : 600) - 30);
      else
        c.Rectangle(x, y, x + r.Real() * 10, y + r.Real() * 10);
    }
    for (int q = 0; q < 400; ++q) {
      const int32_t X = static_cast<int32_t>(r.Real() * 560) - 30;
      const int32_t Y = static_cast<int32_t>(r.Real() * 460) - 30;
      const double reach = q % 4 == 0 ? 1e9 : r.Real() * 150;
      const TNearestItem fast = c.FindNearestItem(X, Y, reach);
      const TNearestItem slow = BruteForce(c, X, Y, reach);
      ASSERT_EQ(fast.Index, slow.Index) << "seed " << seed << " at " << X << "," << Y;
      if (fast.Index >= 0) {
        EXPECT_DOUBLE_EQ(fast.Distance, slow.Distance);
      }
    }
  }
}

TEST(NearestItem, FollowsItemsRangesAndVisibilityAndGivesTheWorldPoint) {
  TKelvo c;
  c.SetBounds(0, 0, 170, 160);  // plot area 100 x 100 at (50, 20), 0..10 both ways
  c.Scale1X().SetRangeHigh(10);
  c.Scale1Y().SetRangeHigh(10);
  c.CreateWnd();
  EXPECT_EQ(c.FindNearestItem(100, 70, 10).Index, -1);  // nothing yet
  c.MarkAt(5, 5, 9);
  TNearestItem m = c.FindNearestItem(102, 70, 10);
  EXPECT_EQ(m.Index, 0);
  EXPECT_EQ(m.X, 5);
  EXPECT_NEAR(m.Distance, 2, 1e-12);
  c.MoveTo(0, 0);
  c.DrawTo(10, 10);                   // a line-to item is the segment from the pen
  m = c.FindNearestItem(60, 110, 3);  // near world (1, 1)
  EXPECT_EQ(m.Index, 2);
  EXPECT_NEAR(m.X, m.Y, 1e-9);
  c.SetLayerRanges(1, 10, 10, 20, 20, false);  // everything moves off to the lower left
  EXPECT_EQ(c.FindNearestItem(102, 70, 10).Index, -1);
  c.SetLayerRanges(1, 0, 0, 10, 10, false);
  c.SetClassVisible(0, false);
  EXPECT_EQ(c.FindNearestItem(102, 70, 10).Index, -1);
  c.SetClassVisible(0, true);
  c.ClearGraph();
  EXPECT_EQ(c.FindNearestItem(102, 70, 10).Index, -1);
}

TEST(NearestItem, CrossHairSnapAndItemHover) {
  TKelvo c;
  c.SetBounds(0, 0, 170, 160);  // plot area 100 x 100 at (50, 20), 0..10 both ways
  c.Scale1X().SetRangeHigh(10);
  c.Scale1Y().SetRangeHigh(10);
  c.CreateWnd();
  c.MarkAt(3, 7, 9);
  c.CrossHair1().SetMode(TCrossHMode::chBoth);
  c.SetMouseAction(TMouseActMode::maDragCrossH);
  const TShiftState left{TShiftStateItem::ssLeft};
  c.MouseMove(left, 70, 40);            // the press picks the crosshair
  c.MouseMove(left, 83, 52);            // 3 pixels from the mark at (80, 50)
  EXPECT_NE(c.CrossHair1().PosX(), 3);  // no snapping unless asked for
  c.SetCrossHairSnap(true);
  c.MouseMove(left, 83, 52);
  EXPECT_EQ(c.CrossHair1().PosX(), 3);
  EXPECT_EQ(c.CrossHair1().PosY(), 7);
  c.MouseMove(left, 110, 100);  // nothing within 8 pixels: the crosshair follows the mouse
  EXPECT_NE(c.CrossHair1().PosX(), 3);
  c.MouseMove({}, 110, 100);
  int hovers = 0, last = -2;
  c.OnItemHover = [&](TObject*, const TNearestItem& item) {
    ++hovers;
    last = item.Index;
  };
  c.MouseMove({}, 81, 51);
  EXPECT_EQ(hovers, 0);  // off unless asked for
  c.SetItemHover(true);
  c.MouseMove({}, 81, 51);
  EXPECT_EQ(last, 0);
  c.MouseMove({}, 120, 120);
  EXPECT_EQ(last, -1);
  EXPECT_EQ(hovers, 2);
}

// Hostile items and questions: NaN and infinite coordinates, points far off
// the control, the int32 extremes as the mouse position, odd reaches.
TEST(NearestItem, HostileItemsAndQuestions) {
  TKelvo c;
  c.SetBounds(0, 0, 170, 160);
  c.Scale1X().SetRangeHigh(10);
  c.Scale1Y().SetRangeHigh(10);
  c.CreateWnd();
  const double nan = std::nan(""), inf = HUGE_VAL;
  c.MarkAt(nan, 5, 9);
  c.MarkAt(inf, -inf, 9);
  c.Line(-1e300, -1e300, 1e300, 1e300);  // clipped to the pixel range: a long segment
  c.Rectangle(nan, nan, 5, 5);
  c.MarkAt(5, 5, 9);
  for (int32_t x : {INT32_MIN, -1, 0, 100, INT32_MAX})
    for (double reach : {-1.0, 0.0, 3.0, 1e300, nan, inf}) {
      const TNearestItem m = c.FindNearestItem(x, x, reach);
      if (m.Index >= 0) {
        EXPECT_LE(m.Distance, reach);
        EXPECT_TRUE(std::isfinite(m.X) && std::isfinite(m.Y));
      }
    }
  EXPECT_EQ(c.FindNearestItem(100, 70, 0.5).Index, 4);  // the mark at (5, 5) is on top of the line
  c.SetMouseWheelZoom(true);
  for (int32_t d : {INT32_MIN, -120, 0, 120, INT32_MAX})
    c.DoMouseWheel({}, d, {100, 70});  // a wheel of any size leaves finite ranges
  EXPECT_TRUE(std::isfinite(c.Scale1X().RangeLow()) && std::isfinite(c.Scale1X().RangeHigh()));
}

// On logarithmic axes the nearest point is the world point of the nearest
// pixel position on the shape, not a linear interpolation of its ends.
TEST(NearestItem, LogarithmicAxesGiveTheWorldPointOfThePixel) {
  TKelvo c;
  c.SetBounds(0, 0, 170, 160);  // data area x 50 .. 150
  c.CreateWnd();
  c.Scale1X().SetLogarithmic(true);
  c.Scale1X().SetRangeLow(1);
  c.Scale1X().SetRangeHigh(1000);
  c.Scale1Y().SetRangeHigh(10);
  c.Line(1, 5, 1000, 5);
  c.Rectangle(1, 1, 1000, 2);
  for (int32_t x : {60, 100, 140}) {
    double wx, wy;
    c.PixelToWorld(1, x, 0, wx, wy);
    int32_t px, py;
    c.WorldToPixel(1, 1, 5, px, py);
    const TNearestItem line = c.FindNearestItem(x, py, 2);
    ASSERT_EQ(line.Index, 0) << x;
    EXPECT_NEAR(line.X / wx, 1, 1e-9) << x;  // 31.6 at pixel 100, not 500.5
    c.WorldToPixel(1, 1, 1.5, px, py);
    const TNearestItem box = c.FindNearestItem(x, py, 2);
    ASSERT_EQ(box.Index, 1) << x;
    EXPECT_NEAR(box.X / wx, 1, 1e-9) << x;
  }
}

// Items appended after a question are added to the index, not built anew,
// and give the answers a chart asked only at the end gives: lines going on
// from the last item, items far outside the control, after a clear.
TEST(NearestItem, AppendedItemsAnswerAsABuiltIndex) {
  auto make = [] {
    auto c = std::make_unique<TKelvo>();
    c->SetBounds(0, 0, 170, 160);
    c->Scale1X().SetRangeHigh(10);
    c->Scale1Y().SetRangeHigh(10);
    c->CreateWnd();
    return c;
  };
  auto stepwise = make(), once = make();
  uint32_t seed = 5;
  auto real = [&] { return (seed = seed * 1664525u + 1013904223u) / 4294967296.0; };
  for (int round = 0; round < 6; ++round) {
    if (round == 3)
      for (auto* c : {stepwise.get(), once.get()}) c->ClearGraph();
    for (int i = 0; i < 300; ++i) {
      const double x = real() * 14 - 2, y = real() * 14 - 2, far = real() < 0.1 ? 1e4 : 1;
      const int kind = static_cast<int>(real() * 3);
      for (auto* c : {stepwise.get(), once.get()}) {
        if (kind == 0) c->DrawTo(x * far, y);
        if (kind == 1) c->MarkAt(x, y, 9);
        if (kind == 2) c->Rectangle(x, y, x + 0.5, y + 0.5);
      }
    }
    stepwise->FindNearestItem(100, 70, 5);  // builds or adds
  }
  for (int q = 0; q < 300; ++q) {
    const int32_t x = static_cast<int32_t>(real() * 200) - 15,
                  y = static_cast<int32_t>(real() * 190) - 15;
    const TNearestItem a = stepwise->FindNearestItem(x, y, 12), b = once->FindNearestItem(x, y, 12);
    EXPECT_EQ(a.Index, b.Index) << x << " " << y;
    EXPECT_EQ(a.Distance, b.Distance) << x << " " << y;
  }
}

}  // namespace
