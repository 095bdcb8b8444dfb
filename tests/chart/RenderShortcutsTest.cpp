// The renderer's shortcuts must give the picture of drawing every item the
// general way, pixel for pixel. Long line runs drawn from the block summary:
// random walks with sorted and unsorted x, steep and flat data, reversed and
// logarithmic axes, zoomed in and out, runs broken by other items,
// attributes and hidden classes. Marks: repeated marks and filled squares.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "kelvo/chart/Vexa_kelvo.h"
#include "support/Random.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

using kelvo::test::TRandom;

// Paints c with the renderer's shortcuts and without: the same pixels?
bool ShortcutsKeepThePicture(TKelvo& c) {
  c.SetRenderShortcuts(true);
  c.Paint();
  TBitmap fast;
  fast.Assign(&c.Surface());
  c.SetRenderShortcuts(false);
  c.Paint();
  return kelvo::test::SamePixels(fast, c.Surface());
}

// Draws one random scene into c; returns a description for failures.
std::string Scene(TKelvo& c, uint64_t Seed) {
  TRandom r{Seed * 7919 + 17};
  const int points = r.Below(4) == 0 ? 70000 : 500 + r.Below(20000);
  const bool sorted = r.Below(3) != 0;
  const int shape = r.Below(4);  // 0 walk, 1 steep, 2 flat, 3 sine
  const bool logX = r.Below(6) == 0, logY = r.Below(6) == 0;
  const bool reverseX = r.Below(4) == 0, reverseY = r.Below(4) == 0;
  const double zoom = r.Below(3) == 0 ? 0.3 + r.Real() : (r.Below(2) ? 1.0 : 3.0);
  const bool breaks = r.Below(2) == 0;
  // Data between 1 and 1001 in x and 1 and 101 in y, all positive for log axes.
  auto range = [&](TScaleProps& s, double lo, double hi, bool log, bool reverse) {
    const double mid = (lo + hi) / 2, half = (hi - lo) / 2 / zoom;
    double a = log ? lo : mid - half, b = log ? lo + (hi - lo) / zoom : mid + half;
    if (reverse) std::swap(a, b);
    // First a wide positive range, so that no setter refuses a value.
    s.SetRangeLow(0.5);
    s.SetRangeHigh(1e6);
    s.SetLogarithmic(log);
    s.SetRangeLow(a);
    s.SetRangeHigh(b);
  };
  range(c.Scale1X(), 1, 1001, logX, reverseX);
  range(c.Scale1Y(), 1, 101, logY, reverseY);
  double y = 50;
  c.MoveTo(1, y);
  for (int i = 0; i < points; ++i) {
    const double x = sorted ? 1 + 1000.0 * i / points : 1 + 1000 * r.Real();
    switch (shape) {
      case 0:
        y = std::fmin(101, std::fmax(1, y + r.Real() * 4 - 2));
        break;
      case 1:
        y = 1 + 100 * r.Real();
        break;
      case 2:
        y = r.Below(50) == 0 ? 50 + r.Below(3) : 50;
        break;
      default:
        y = 51 + 50 * std::sin(i * 0.001);
        break;
    }
    if (breaks && r.Below(3000) == 0) {
      switch (r.Below(6)) {
        case 0:
          c.MoveTo(x, y);
          break;
        case 1:
          c.Rectangle(x, y, x + 5, y + 5);
          break;
        case 2:
          c.SetDataColor(r.Below(2) ? clRed : clBlue);
          break;
        case 3:
          c.SetClassDefault(c.ClassDefault() == 0 ? 3 : 0);  // class 3 is hidden
          break;
        case 4:
          c.SetLineWidth(c.LineWidth() == 1 ? 2 : 1);
          break;
        default:
          c.SetPenStyle(c.PenStyle() == TPenStyle::psSolid ? TPenStyle::psDot : TPenStyle::psSolid);
          break;
      }
    }
    c.DrawTo(x, y);
  }
  return "seed " + std::to_string(Seed) + ": " + std::to_string(points) + " points, " +
         (sorted ? "sorted" : "unsorted") + ", shape " + std::to_string(shape) +
         (logX ? ", log x" : "") + (logY ? ", log y" : "") + (reverseX ? ", reversed x" : "") +
         (reverseY ? ", reversed y" : "") + ", zoom " + std::to_string(zoom) +
         (breaks ? ", broken" : "");
}

TEST(RenderShortcuts, ThePictureIsThatOfEveryPoint) {
  for (uint64_t seed = 1; seed <= 48; ++seed) {
    TKelvo c;
    c.SetBounds(0, 0, 300 + static_cast<int>(seed % 5) * 61, 220);
    c.CreateWnd();
    c.SetAutoRedraw(false);
    c.SetClassVisible(3, false);
    const std::string what = Scene(c, seed);
    ASSERT_TRUE(ShortcutsKeepThePicture(c)) << what;
  }
}

// A run that ends inside a column, or whose next point is its own last
// pixel, keeps the last pixel exactly as drawing every point does. Items
// 32 .. 63 lie in one column: up from 20 to 90, down to 50, up to 90 again
// at the end, so that every point draws the pixel of 90 (leaving it
// downwards) while first, extremes and last alone would not.
TEST(RenderShortcuts, RunEndsAndRepeatedLastPixels) {
  for (int variant = 0; variant < 4; ++variant) {
    TKelvo c;
    c.SetBounds(0, 0, 200, 150);
    c.CreateWnd();
    c.SetAutoRedraw(false);
    c.Scale1X().SetRangeHigh(10);
    c.Scale1Y().SetRangeHigh(100);
    c.MoveTo(0.5, 5);
    for (int i = 1; i < 32; ++i) c.DrawTo(0.5 + i * 0.01, 5 + i);  // a column of its own
    for (int i = 32; i < 64; ++i) c.DrawTo(5, i == 32 ? 20 : (i == 33 || i == 63) ? 90 : 50);
    if (variant == 1) c.DrawTo(5, 90);          // the same pixel again, then the end
    if (variant == 2) c.DrawTo(8, 50);          // on to another column
    if (variant == 3) c.Rectangle(2, 2, 3, 3);  // the run ends at another item
    EXPECT_TRUE(ShortcutsKeepThePicture(c)) << variant;
  }
}

// Marks of every symbol, many repeated on one pixel, some with other items
// drawn between, in several colours, pen styles and widths.
TEST(RenderShortcuts, RepeatedMarksAndFilledSquares) {
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    TRandom r{seed * 104729};
    TKelvo c;
    c.SetBounds(0, 0, 260, 200);
    c.CreateWnd();
    c.SetAutoRedraw(false);
    c.Scale1X().SetRangeHigh(50);
    c.Scale1Y().SetRangeHigh(50);
    const TPenStyle styles[] = {TPenStyle::psSolid, TPenStyle::psDash, TPenStyle::psClear};
    double x = 25, y = 25;
    for (int i = 0; i < 3000; ++i) {
      if (r.Below(3) == 0) {  // a new spot; otherwise the same pixel again
        x = r.Real() * 52 - 1;
        y = r.Real() * 52 - 1;
      }
      if (r.Below(40) == 0) c.SetDataColor(r.Below(2) ? clRed : clNavy);
      if (r.Below(40) == 0) c.SetPenStyle(styles[r.Below(3)]);
      if (r.Below(60) == 0) c.SetLineWidth(static_cast<uint8_t>(1 + r.Below(3)));
      if (r.Below(80) == 0) c.Rectangle(x - 1, y - 1, x + 1, y + 1);
      const int pick = r.Below(10);
      const uint8_t symbol = static_cast<uint8_t>(pick < 5   ? 7 + r.Below(3)
                                                  : pick < 9 ? r.Below(52)
                                                             : 52 + r.Below(80));
      c.MarkAt(x, y, symbol);
    }
    ASSERT_TRUE(ShortcutsKeepThePicture(c)) << "seed " << seed;
  }
}

// A point that is not finite breaks a line: no line to or from it, and the
// next finite point starts a new run. The picture (both ways of drawing,
// long runs included), the SVG document and the nearest item are those of
// the same line with a move at each point after a gap; a mark, box,
// ellipse, text, bar, arrow or pixel box with such a coordinate draws nothing.
TEST(NonFinitePoints, BreakTheLineAndDrawNothingElse) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  const double bad[] = {nan, inf, -inf};
  for (int variant = 0; variant < 3; ++variant) {
    TKelvo gaps, moves;
    for (TKelvo* c : {&gaps, &moves}) {
      c->SetBounds(0, 0, 320, 220);
      c->CreateWnd();
      c->SetAutoRedraw(false);
      c->Scale1X().SetRangeHigh(10000);
      c->Scale1Y().SetRangeHigh(100);
    }
    TRandom r{static_cast<uint64_t>(variant) + 5};
    gaps.MoveTo(0, 50);
    moves.MoveTo(0, 50);
    bool broken = false;
    for (int i = 1; i < 10000; ++i) {
      const double y = 50 + 45 * std::sin(i * 0.01) + r.Real();
      if (r.Below(variant == 0 ? 9 : 700) == 0) {  // a dropout of one to three samples
        for (int k = r.Below(3); k >= 0; --k) {
          const double b = bad[r.Below(3)];
          r.Below(2) ? gaps.DrawTo(i, b) : gaps.DrawTo(b, y);
        }
        broken = true;
      }
      gaps.DrawTo(i, y);
      broken ? moves.MoveTo(i, y) : moves.DrawTo(i, y);
      broken = false;
    }
    // Shapes with a coordinate that is not finite: nothing at all.
    gaps.MarkAt(nan, 5, 9);
    gaps.Rectangle(1, 1, inf, 5);
    gaps.Ellipse(500, 50, nan, 10);
    gaps.Text(-inf, 50, "x", 10);
    gaps.Bar3D(5, 45, 100, 0, 200, nan);
    gaps.Arrow(100, 10, 200, inf, 8);
    gaps.PixelBox(nan, 50, 3, 3);
    gaps.Line(0, 0, nan, 50);
    for (bool shortcuts : {true, false}) {
      gaps.SetRenderShortcuts(shortcuts);
      moves.SetRenderShortcuts(shortcuts);
      gaps.Paint();
      moves.Paint();
      ASSERT_TRUE(kelvo::test::SamePixels(gaps.Surface(), moves.Surface()))
          << "variant " << variant << (shortcuts ? ", shortcuts" : "");
    }
    EXPECT_EQ(gaps.SvgDocument(), moves.SvgDocument()) << variant;
    for (int x = 50; x < 300; x += 7) {
      const TNearestItem m = gaps.FindNearestItem(x, 60, 1e6);
      ASSERT_GE(m.Index, 0);
      EXPECT_TRUE(std::isfinite(m.X) && std::isfinite(m.Y)) << x;
      EXPECT_EQ(m.Distance, moves.FindNearestItem(x, 60, 1e6).Distance) << x;
    }
  }
}

}  // namespace

// A repaint lays the data area's chart colour only over the tiles drawn on
// since the last paint (the frame's and the window's pixels take turns).
// Twin charts take the same random steps (live appends, crosshairs, a zoom
// rectangle drawn on the window, colours, smoothing, items, background
// areas, the legend, the grid, resizing); the second forgets its pixels'
// tiles after every paint, so lays everything afresh: the same pictures.
TEST(RenderShortcuts, RepaintsOverTheLastPictureShowWhatFreshPaintsShow) {
  const TShiftState left{TShiftStateItem::ssLeft}, none{};
  for (const double ratio : {1.0, 1.5, 2.0}) {
    TRandom r{static_cast<uint64_t>(ratio * 1000)};
    std::unique_ptr<TKelvo> twins[2];
    for (auto& c : twins) {
      c = std::make_unique<TKelvo>();
      c->SetDevicePixelRatio(ratio);
      c->SetBounds(0, 0, 260, 200);
      c->CreateWnd();
      c->SetAutoRedraw(false);
      c->SetMouseAction(TMouseActMode::maZoomDrag);
      c->Scale1Y().SetRangeLow(-2);
      c->Scale1Y().SetRangeHigh(2);
      c->AddSeries("a").SetColor(clNavy);
      c->AddSeries("b").SetColor(clRed);
    }
    int next = 0, tracked = 0;
    for (int step = 0; step < 80; ++step) {
      const int what = r.Below(12);
      const double x = r.Real() * 10, y = r.Real() * 4 - 2;
      const int px = 40 + r.Below(180), py = 20 + r.Below(150);
      const TColor colour = static_cast<TColor>(r.Next() & 0xFFFFFF);
      for (auto& c : twins) {
        TKelvo& k = *c;
        switch (what) {
          case 0:
          case 1:
          case 2:  // a live tick
            for (int i = 0; i < 25; ++i)
              for (size_t s = 0; s < 2; ++s)
                k.Series(s).Append((next + i) * 0.01, std::sin((next + i) * 0.07 + s) +
                                                          0.3 * std::sin((next + i) * 0.9));
            k.Scale1X().SetRangeLow((next + 25) * 0.01 - 3);
            k.Scale1X().SetRangeHigh((next + 25) * 0.01);
            break;
          case 3:
            k.CrossHair1().SetMode(static_cast<TCrossHMode>(1 + (px % 5)));
            k.CrossHair1().SetPosX(k.Scale1X().RangeLow() + x * 0.3);
            k.CrossHair1().SetPosY(y);
            break;
          case 4:  // a zoom rectangle drawn on the window, not finished
            k.MouseMove(none, px, py);
            k.MouseMove(left, px, py);
            k.MouseMove(left, px + 30, py + 20);
            k.MouseMove(none, px + 30, py + 20);
            break;
          case 5:
            k.SetChartColor(px % 2 ? colour : clWhite);
            break;
          case 6:
            k.SetAntiAliased(!k.AntiAliased());
            break;
          case 7:
            k.SetDataColor(colour);
            k.MarkAt(k.Scale1X().RangeLow() + x * 0.3, y, 1 + px % 60);
            k.Text(k.Scale1X().RangeLow() + x * 0.3, y, "label", 9, 0);
            break;
          case 8:
            k.BackGroundImg().SetAreaMode(static_cast<TBGAreaMode>(px % 11));
            k.BackGroundImg().SetAreaColor(colour);
            k.BackGroundImg().SetAreaLeft(k.Scale1X().RangeLow() + x * 0.2);
            k.BackGroundImg().SetAreaRight(k.Scale1X().RangeLow() + x * 0.3);
            break;
          case 9:
            k.Legend().SetVisible(!k.Legend().Visible());
            k.Legend().SetPosition(static_cast<TLegendPos>(px % 4));
            break;
          case 10:
            k.SetGridStyle(k.GridStyle() == GridStyleType::gsNone ? GridStyleType::gsLines
                                                                  : GridStyleType::gsNone);
            break;
          default:
            k.SetBounds(0, 0, 240 + px % 40, 190 + py % 20);
            break;
        }
        k.Paint();
      }
      next += what <= 2 ? 25 : 0;
      tracked += twins[0]->Surface().DrawnTiles().Tracking();
      (void)twins[1]->Surface().Bits();  // the twin forgets: its next paints lay everything
      ASSERT_TRUE(kelvo::test::SamePixels(twins[0]->Surface(), twins[1]->Surface()))
          << "ratio " << ratio << " step " << step << " did " << what;
    }
    EXPECT_GT(tracked, 60) << "repaints over the last picture at ratio " << ratio;
  }
}
