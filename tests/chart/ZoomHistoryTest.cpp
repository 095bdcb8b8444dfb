// Wheel zoom (opt-in) and the zoom history: exact ranges about the point
// under the cursor, Shift and Ctrl, logarithmic axes, range limits, and the
// order of back, forward and home.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/WindowServices.h"

using namespace vexa;

namespace {

const TShiftState Left{TShiftStateItem::ssLeft};

// Plot area 100 x 100 pixels at (50, 20); layer 1 from 0 to 10 on both axes.
std::unique_ptr<TKelvo> WheelChart() {
  HeadlessWindowServices().Reset();
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, 170, 160);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1Y().SetRangeHigh(10);
  c->CreateWnd();
  c->SetMouseWheelZoom(true);
  return c;
}

TEST(WheelZoom, OffByDefaultAndAfterTheWheelEvents) {
  TKelvo plain;
  EXPECT_FALSE(plain.MouseWheelZoom());
  EXPECT_FALSE(plain.ZoomHistoryKeys());
  EXPECT_EQ(plain.WheelZoomFactor(), 1.25);
  auto c = WheelChart();
  c->SetMouseWheelZoom(false);
  EXPECT_FALSE(c->DoMouseWheel({}, 120, {100, 70}));
  EXPECT_EQ(c->Scale1X().RangeHigh(), 10);
  c->SetMouseWheelZoom(true);
  // A handler that takes the wheel keeps it from zooming.
  c->OnMouseWheel = [](TObject*, TShiftState, int32_t, TPoint, bool& handled) { handled = true; };
  EXPECT_TRUE(c->DoMouseWheel({}, 120, {100, 70}));
  EXPECT_EQ(c->Scale1X().RangeHigh(), 10);
  c->OnMouseWheel = nullptr;
  EXPECT_FALSE(c->DoMouseWheel({}, 120, {10, 10}));  // outside the plot area
  EXPECT_EQ(c->Scale1X().RangeHigh(), 10);
}

TEST(WheelZoom, AboutThePointUnderTheCursor) {
  auto c = WheelChart();
  int zooms = 0;
  c->OnZoomPan = [&](TObject*) { ++zooms; };
  double wx, wy;
  c->PixelToWorld(1, 75, 45, wx, wy);
  ASSERT_TRUE(c->DoMouseWheel({}, 120, {75, 45}));  // one notch in
  EXPECT_EQ(zooms, 1);
  EXPECT_NEAR(c->Scale1X().RangeHigh() - c->Scale1X().RangeLow(), 10 / 1.25, 1e-12);
  EXPECT_NEAR(c->Scale1Y().RangeHigh() - c->Scale1Y().RangeLow(), 10 / 1.25, 1e-12);
  EXPECT_NEAR(c->Scale1X().RangeLow(), wx - (wx - 0) / 1.25, 1e-12);
  double after_x, after_y;
  c->PixelToWorld(1, 75, 45, after_x, after_y);
  EXPECT_NEAR(after_x, wx, 0.11);  // the same world point under the cursor, to a pixel
  EXPECT_NEAR(after_y, wy, 0.11);
  c->DoMouseWheel({}, -120, {75, 45});  // and out again
  EXPECT_NEAR(c->Scale1X().RangeLow(), 0, 1e-12);
  EXPECT_NEAR(c->Scale1X().RangeHigh(), 10, 1e-12);
  // Shift: horizontally only; Ctrl: vertically only.
  c->DoMouseWheel({TShiftStateItem::ssShift}, 240, {100, 70});
  EXPECT_NEAR(c->Scale1X().RangeHigh() - c->Scale1X().RangeLow(), 10 / 1.5625, 1e-12);
  EXPECT_EQ(c->Scale1Y().RangeHigh() - c->Scale1Y().RangeLow(), 10);
  c->DoMouseWheel({TShiftStateItem::ssCtrl}, 120, {100, 70});
  EXPECT_NEAR(c->Scale1Y().RangeHigh() - c->Scale1Y().RangeLow(), 8, 1e-12);
}

TEST(WheelZoom, LogarithmicAxesZoomInLogSpaceAndLimitsKeepTheSpan) {
  auto c = WheelChart();
  c->Scale1X().SetRangeLow(1);
  c->Scale1X().SetRangeHigh(10000);
  c->Scale1X().SetLogarithmic(true);
  c->DoMouseWheel({TShiftStateItem::ssShift}, 120, {100, 70});  // the middle: 100
  EXPECT_NEAR(std::log10(c->Scale1X().RangeLow()), 2 - 2 / 1.25, 1e-9);
  EXPECT_NEAR(std::log10(c->Scale1X().RangeHigh()), 2 + 2 / 1.25, 1e-9);
  // At a limit the zoomed-out range keeps its span and moves inside.
  auto d = WheelChart();
  d->SetRangeLimits({0, 0, 20, 20});
  d->DoMouseWheel({}, -120, {60, 110});  // about (1, 1): would reach below 0
  EXPECT_NEAR(d->Scale1X().RangeLow(), 0, 1e-12);
  EXPECT_NEAR(d->Scale1X().RangeHigh(), 12.5, 1e-12);
  EXPECT_NEAR(d->Scale1Y().RangeLow(), 0, 1e-12);
  EXPECT_NEAR(d->Scale1Y().RangeHigh(), 12.5, 1e-12);
}

// A deep zoom stops while the range still spans a few dozen doubles, and
// zooming out always makes progress; near the ends of the doubles no zoom
// collapses the range or leaves the finite doubles.
TEST(WheelZoom, DeepZoomsStopWhereTheyCanBeUndone) {
  const TShiftState shift{TShiftStateItem::ssShift};
  for (bool log : {true, false}) {
    auto c = WheelChart();
    c->Scale1X().SetLogarithmic(log);  // the natural order: logarithmic, then the range
    c->Scale1X().SetRangeLow(1e6);
    c->Scale1X().SetRangeHigh(1e9);
    for (int i = 0; i < 400; ++i) c->DoMouseWheel(shift, 120, {100, 70});
    const double lo = c->Scale1X().RangeLow(), hi = c->Scale1X().RangeHigh();
    const double step = std::nextafter(hi, HUGE_VAL) - hi;
    EXPECT_GE((hi - lo) / step, 64) << log;
    // Out, far beyond the start (and far from where a step would leave the doubles).
    for (int i = 0; c->Scale1X().RangeHigh() < 1e80; ++i) {
      const double before = c->Scale1X().RangeHigh() - c->Scale1X().RangeLow();
      c->DoMouseWheel(shift, -120, {100, 70});
      ASSERT_GT(c->Scale1X().RangeHigh() - c->Scale1X().RangeLow(), before) << log << " " << i;
    }
  }
  for (bool log : {false, true}) {
    auto c = WheelChart();
    c->SetWheelZoomFactor(100);
    c->Scale1X().SetLogarithmic(log);
    c->Scale1X().SetRangeLow(log ? 1e100 : -8e306);
    c->Scale1X().SetRangeHigh(log ? 1.9e194 : 2e306);
    for (int i = 0; i < 300; ++i) {
      c->DoMouseWheel(shift, i % 50 < 40 ? 120 : -120, {100 + i % 40, 70});
      const double lo = c->Scale1X().RangeLow(), hi = c->Scale1X().RangeHigh();
      ASSERT_TRUE(std::isfinite(lo) && std::isfinite(hi) && lo < hi) << log << " " << i;
    }
  }
}

// A range change to an end that is not finite leaves that axis as it was.
TEST(WheelZoom, LayerRangesKeepFiniteEnds) {
  auto c = WheelChart();
  c->SetLayerRanges(1, 0, 0, HUGE_VAL, 20, false);
  EXPECT_EQ(c->Scale1X().RangeHigh(), 10);
  EXPECT_EQ(c->Scale1Y().RangeHigh(), 20);  // the other axis takes its new range
  c->SetLayerRanges(1, std::nan(""), 0, 5, 10, false);
  EXPECT_EQ(c->Scale1X().RangeLow(), 0);
  int32_t px, py;
  c->WorldToPixel(1, 5, 5, px, py);
  EXPECT_EQ(px, 100);
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    c->Scale1Y().SetRangeLow(bad);
    c->Scale1Y().SetRangeHigh(bad);
    c->Scale1Y().SetMinRange(bad);
  }
  EXPECT_EQ(c->Scale1Y().RangeLow(), 0);
  EXPECT_EQ(c->Scale1Y().RangeHigh(), 10);
  EXPECT_EQ(c->Scale1Y().MinRange(), 1e-10);
}

TEST(ZoomHistory, BackForwardAndHomeInOrder) {
  auto c = WheelChart();
  c->SetMouseAction(TMouseActMode::maPan);
  EXPECT_FALSE(c->ZoomBack());
  // A pan drag is one step, however many moves it takes.
  c->MouseDown(TMouseButton::mbLeft, Left, 100, 70);
  c->MouseMove(Left, 100, 70);
  for (int x = 101; x <= 110; ++x) c->MouseMove(Left, x, 70);
  c->MouseUp(TMouseButton::mbLeft, {}, 110, 70);
  const double panned = c->Scale1X().RangeLow();
  EXPECT_NEAR(panned, -1, 1e-9);
  EXPECT_EQ(c->ZoomHistoryCount(), 2u);  // home and the pan
  c->DoMouseWheel({}, 120, {100, 70});
  const double zoomed = c->Scale1X().RangeLow();
  EXPECT_EQ(c->ZoomHistoryCount(), 3u);
  int changes = 0;
  c->OnZoomPan = [&](TObject*) { ++changes; };
  EXPECT_TRUE(c->ZoomBack());
  EXPECT_EQ(c->Scale1X().RangeLow(), panned);
  EXPECT_TRUE(c->ZoomBack());
  EXPECT_EQ(c->Scale1X().RangeLow(), 0);
  EXPECT_FALSE(c->ZoomBack());
  EXPECT_TRUE(c->ZoomForward());
  EXPECT_TRUE(c->ZoomForward());
  EXPECT_EQ(c->Scale1X().RangeLow(), zoomed);
  EXPECT_FALSE(c->ZoomForward());
  EXPECT_EQ(changes, 4);
  EXPECT_TRUE(c->ZoomHome());
  EXPECT_EQ(c->Scale1X().RangeLow(), 0);
  // A new change from home drops the forward steps.
  c->DoMouseWheel({}, -120, {100, 70});
  EXPECT_EQ(c->ZoomHistoryCount(), 2u);
  EXPECT_FALSE(c->ZoomForward());
  // A press and release that changes nothing adds nothing.
  c->MouseDown(TMouseButton::mbLeft, Left, 100, 70);
  c->MouseUp(TMouseButton::mbLeft, {}, 100, 70);
  EXPECT_EQ(c->ZoomHistoryCount(), 2u);
  // Bounded: home stays, the oldest steps go.
  for (int i = 0; i < 150; ++i) c->DoMouseWheel({}, i % 2 ? 120 : -120, {100, 70});
  EXPECT_EQ(c->ZoomHistoryCount(), TKelvo::ZoomHistoryLimit);
  c->ZoomHome();
  EXPECT_EQ(c->Scale1X().RangeLow(), 0);
  EXPECT_EQ(c->Scale1X().RangeHigh(), 10);
}

TEST(ZoomHistory, KeysWhenAskedFor) {
  auto c = WheelChart();
  c->DoMouseWheel({}, 120, {100, 70});
  uint16_t key = 8;  // Backspace
  c->KeyDown(key, {});
  EXPECT_EQ(key, 8);  // keys off: left alone
  EXPECT_NE(c->Scale1X().RangeHigh(), 10);
  c->SetZoomHistoryKeys(true);
  c->KeyDown(key, {});
  EXPECT_EQ(key, 0);
  EXPECT_EQ(c->Scale1X().RangeHigh(), 10);
  key = 8;
  c->KeyDown(key, {TShiftStateItem::ssShift});
  EXPECT_NE(c->Scale1X().RangeHigh(), 10);
  key = 36;  // Home
  c->KeyDown(key, {});
  EXPECT_EQ(c->Scale1X().RangeHigh(), 10);
}

// The exported picture is the window's picture; at another size it is a
// copy drawn at that size, and the control itself is left as it was.
TEST(PictureExport, PngAndBmpOfTheWindowAndOfOtherSizes) {
  auto c = WheelChart();
  c->Rectangle(2, 2, 6, 6);
  c->MarkAt(5, 5, 9);
  c->Paint();
  const std::string dir = ::testing::TempDir();
  for (const char* name : {"export.png", "export.bmp"}) {
    c->SaveToFile(dir + name);
    TBitmap read;
    read.LoadFromFile(dir + name);
    ASSERT_EQ(read.Width(), c->Width());
    EXPECT_TRUE(
        std::equal(read.Bits(), read.Bits() + read.Width() * read.Height(), c->Surface().Bits()))
        << name;
  }
  c->SaveToFile(dir + "export-big.png", 400, 300);
  TBitmap big;
  big.LoadFromFile(dir + "export-big.png");
  EXPECT_EQ(big.Width(), 400);
  EXPECT_EQ(big.Height(), 300);
  EXPECT_EQ(c->Width(), 170);  // unchanged
  auto fresh = WheelChart();
  fresh->SetBounds(0, 0, 400, 300);
  fresh->Rectangle(2, 2, 6, 6);
  fresh->MarkAt(5, 5, 9);
  fresh->Paint();
  EXPECT_TRUE(std::equal(big.Bits(), big.Bits() + 400 * 300, fresh->Surface().Bits()));
  // PaintTo draws into any canvas at an offset.
  TBitmap sheet(300, 250);
  c->PaintTo(sheet.Canvas(), 20, 30);
  EXPECT_EQ(sheet.Canvas().Pixels(20 + 60, 30 + 60), c->Surface().Canvas().Pixels(60, 60));
  // A size no picture can have is refused, naming the size and the limit.
  for (auto [w, h] : {std::pair{100000, 100000}, {40000, 10}, {32768, 4097}}) {
    try {
      c->SaveToFile(dir + "export-huge.png", w, h);
      ADD_FAILURE() << w << " x " << h << " was taken";
    } catch (const EInvalidGraphic& e) {
      const std::string text = e.what();
      EXPECT_NE(text.find(std::to_string(w) + " x " + std::to_string(h)), std::string::npos)
          << text;
      EXPECT_NE(text.find("32768"), std::string::npos) << text;
    }
    EXPECT_THROW(c->SvgDocument(w, h), EInvalidGraphic);
  }
}

}  // namespace
