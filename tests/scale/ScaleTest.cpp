// TScale's properties, setter rules, mapping, repaint requests and copying.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kelvo/base/PixelMath.h"
#include "kelvo/platform/WindowServices.h"
#include "kelvo/scale/Scale.h"

using namespace vexa;

namespace {

// A scale as a form makes it: window created and loading finished.
std::unique_ptr<TScale> LiveScale() {
  auto s = std::make_unique<TScale>();
  s->CreateWnd();
  s->Loaded();
  return s;
}

class CountingScale : public TScale {
 public:
  using TScale::TScale;
  void Paint() override {
    ++Paints;
    TScale::Paint();
  }
  int Paints = 0;
};

TEST(Scale, CreationValues) {
  TScale s;
  EXPECT_EQ(s.Width(), 400);
  EXPECT_EQ(s.Height(), 400);
  EXPECT_EQ(s.Caption(), "");
  EXPECT_EQ(s.CaptionPosX(), 4);
  EXPECT_EQ(s.CaptionPosY(), 4);
  EXPECT_EQ(s.CaptionAlignment(), TAlignment::taCenter);
  EXPECT_EQ(s.CaptionAnchor(), TScaleUnitAnchor::uaSclTopLft);
  EXPECT_EQ(s.ColorBackGnd(), clBtnFace);
  EXPECT_EQ(s.ColorScale(), clBlack);
  EXPECT_EQ(s.ColorScheme(), TColorScheme::csBWG);
  EXPECT_EQ(s.DecPlaces(), -2);
  EXPECT_EQ(s.FrameStyle(), TFrameStyle::fsLowered);
  EXPECT_EQ(s.LabelType(), TFigType::ftNum);
  EXPECT_FALSE(s.Logarithmic());
  EXPECT_EQ(s.MarginTop() + s.MarginBottom() + s.MarginLeft() + s.MarginRight(), 80);
  EXPECT_EQ(s.MinTicks(), 3);
  EXPECT_EQ(s.NumTicks(), 0);
  EXPECT_EQ(s.RangeLow(), 0);
  EXPECT_EQ(s.RangeHigh(), 100);
  EXPECT_EQ(s.ScaleType(), TScaleType::sctXB);
  EXPECT_TRUE(s.ShortTicks());
  EXPECT_TRUE(s.ShowBaseLine());
  EXPECT_FALSE(s.Transparent());
  EXPECT_EQ(s.FrameColorDark(), clBlack);
  EXPECT_EQ(s.FrameColorShadow(), clGray);
  EXPECT_EQ(s.FrameColorLight(), clWhite);
  EXPECT_FALSE(s.ChartOwned());
  EXPECT_TRUE(s.PaintSuspended());
  EXPECT_TRUE(s.ScaleLoading());
  EXPECT_EQ(s.DrawTarget(), nullptr);
  const TDTLabel& d = s.DateFormat();
  EXPECT_EQ(d.DateSeparator(), '-');
  EXPECT_EQ(d.TimeSeparator(), ':');
  EXPECT_EQ(d.YearLength(), TYearLength::ylYYYY);
  EXPECT_TRUE(d.MonthName());
  EXPECT_EQ(d.DateForTime(), TDateForTime::dtOnePerDay);
  EXPECT_EQ(d.DateOrder(), TDateOrder::doDDMMYY);
  // The mapping was set up: RangeLow at the left margin.
  EXPECT_EQ(s.ValueToPixel(0), 20);
  EXPECT_EQ(s.ValueToPixel(100), 379);
}

TEST(Scale, EqualRangeEndsAreNeverStored) {
  auto s = LiveScale();
  s->SetRangeLow(5);
  s->SetRangeHigh(5);
  EXPECT_EQ(s->RangeLow(), 6);
  EXPECT_EQ(s->RangeHigh(), 5);  // reversed
  s->SetRangeLow(5);
  EXPECT_EQ(s->RangeHigh(), 6);
  // Where adding 1 changes nothing, the next double above is taken.
  s->SetRangeHigh(1e20);
  s->SetRangeLow(1e20);
  EXPECT_EQ(s->RangeLow(), 1e20);
  EXPECT_GT(s->RangeHigh(), 1e20);
}

TEST(Scale, SetterClampsAndSideEffects) {
  auto s = LiveScale();
  s->SetMinTicks(1);
  EXPECT_EQ(s->MinTicks(), 2);
  s->SetMinTicks(15);
  EXPECT_EQ(s->MinTicks(), 10);
  s->SetMinTicks(0);
  EXPECT_EQ(s->MinTicks(), 0);
  s->SetMarginLeft(-5);
  EXPECT_EQ(s->MarginLeft(), 0);
  s->SetDecPlaces(20);
  EXPECT_EQ(s->DecPlaces(), 12);
  s->SetDecPlaces(-9);
  EXPECT_EQ(s->DecPlaces(), -3);
  s->SetLabelType(TFigType::ftTime);
  EXPECT_EQ(s->DecPlaces(), 4);
  s->SetLabelType(TFigType::ftNum);
  EXPECT_EQ(s->DecPlaces(), 4);  // not restored
  s->SetColorScheme(TColorScheme::csSystem);
  EXPECT_EQ(s->FrameColorShadow(), clBtnShadow);
  EXPECT_EQ(s->FrameColorLight(), clBtnHighlight);
  EXPECT_EQ(s->FrameColorDark(), clBlack);
  s->SetColorScheme(TColorScheme::csBWG);
  EXPECT_EQ(s->FrameColorShadow(), clGray);
  EXPECT_EQ(s->FrameColorLight(), clWhite);
}

TEST(Scale, LogarithmicNeedsAPositiveRangeOnceLoaded) {
  TScale loading;  // still loading: taken without checks
  loading.SetLogarithmic(true);
  EXPECT_TRUE(loading.Logarithmic());
  auto s = LiveScale();
  s->SetLogarithmic(true);  // 0 .. 100
  EXPECT_FALSE(s->Logarithmic());
  s->SetRangeLow(1);
  s->SetLogarithmic(true);
  EXPECT_TRUE(s->Logarithmic());
  s->SetLabelType(TFigType::ftDateTime);
  EXPECT_FALSE(s->Logarithmic());
  s->SetLogarithmic(true);  // refused for date/time labels
  EXPECT_FALSE(s->Logarithmic());
}

// All shared settings at once follow the single setters' rules, whatever
// the axis held before (a date/time axis turned numeric and logarithmic
// takes both in one call), and repaint once.
TEST(Scale, AxisSettingsAtOnceFollowTheSetterRules) {
  auto s = std::make_unique<CountingScale>();
  s->CreateWnd();
  s->Loaded();
  s->SetPaintSuspended(false);
  s->SetRangeLow(1);
  s->SetLabelType(TFigType::ftDateTime);
  TAxisSettings v;
  v.Caption = "volts";
  v.Logarithmic = true;
  v.MinTicks = 1;
  v.DecPlaces = 20;
  const int before = s->Paints;
  s->SetAxisSettings(v);
  EXPECT_EQ(s->Paints, before + 1);
  EXPECT_TRUE(s->Logarithmic());
  EXPECT_EQ(s->MinTicks(), 2);
  EXPECT_EQ(s->DecPlaces(), 12);
  EXPECT_EQ(s->Caption(), "volts");
  struct Case {
    TFigType Type;
    double Low;
    bool Log;
    int32_t Dec;
  };
  for (const Case k : {Case{TFigType::ftTime, 1, true, 4}, Case{TFigType::ftDateTime, 1, false, 12},
                       Case{TFigType::ftNum, 0, false, 12}}) {
    s->SetRangeLow(k.Low);
    v.LabelType = k.Type;
    s->SetAxisSettings(v);
    EXPECT_EQ(s->Logarithmic(), k.Log) << int(k.Type);
    EXPECT_EQ(s->DecPlaces(), k.Dec) << int(k.Type);
  }
}

TEST(ScaleMapping, LinearBothOrientations) {
  auto s = LiveScale();
  EXPECT_EQ(s->ValueToPixel(0), 20);
  EXPECT_EQ(s->ValueToPixel(100), 379);
  EXPECT_EQ(s->ValueToPixel(25), 110);  // 109.75
  s->SetScaleType(TScaleType::sctYL);
  EXPECT_EQ(s->ValueToPixel(0), 379);  // RangeLow at the bottom
  EXPECT_EQ(s->ValueToPixel(100), 20);
  s->SetRangeLow(100);
  s->SetRangeHigh(0);  // reversed
  EXPECT_EQ(s->ValueToPixel(0), 20);
}

TEST(ScaleMapping, LogarithmicAndItsFloor) {
  auto s = LiveScale();
  s->SetRangeLow(1);
  s->SetRangeHigh(1000);
  s->SetLogarithmic(true);
  EXPECT_EQ(s->ValueToPixel(1), 20);
  EXPECT_EQ(s->ValueToPixel(1000), 379);
  EXPECT_EQ(s->ValueToPixel(10), RoundClamped(20 + 359.0L / 3));
  EXPECT_EQ(s->ValueToPixel(0), 0);
  EXPECT_EQ(s->ValueToPixel(-5), 0);
  s->SetRangeLow(1000);
  s->SetRangeHigh(1);
  EXPECT_EQ(s->ValueToPixel(1e-200), 400);  // reversed: the far end
}

TEST(ScaleMapping, TooSmallControlsAndWildValues) {
  auto s = LiveScale();
  s->SetBounds(0, 0, 30, 30);  // 30 - 20 - 20 - 1 < 0
  EXPECT_EQ(s->ScaleFactor(), 0);
  EXPECT_EQ(s->ValueToPixel(12345), 15);
  s->SetBounds(0, 0, 400, 400);
  EXPECT_EQ(s->ValueToPixel(1e300), 2147483647);
  EXPECT_EQ(s->ValueToPixel(-1e300), -2147483647);
  EXPECT_EQ(s->ValueToPixel(std::numeric_limits<double>::infinity()), 2147483647);
  EXPECT_EQ(s->ValueToPixel(std::nan("")), 0);
  // A range end that is not finite is ignored: the axis keeps its range.
  const int32_t five = s->ValueToPixel(5);
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    s->SetRangeHigh(bad);
    s->SetRangeLow(bad);
  }
  EXPECT_EQ(s->RangeLow(), 0);
  EXPECT_EQ(s->RangeHigh(), 100);
  EXPECT_EQ(s->ValueToPixel(5), five);
}

TEST(ScaleRepaint, OpaqueScalesPaintAtOnceTransparentOnesInvalidate) {
  HeadlessWindowServices().Reset();
  CountingScale s;
  s.CreateWnd();
  s.Loaded();
  const int before = s.Paints;
  s.SetCaption("Net exports");
  EXPECT_EQ(s.Paints, before + 1);
  s.SetTransparent(true);  // transparent from now on: the window system repaints later
  const int atSwitch = s.Paints;
  s.SetCaption("x");
  EXPECT_EQ(s.Paints, atSwitch);
  EXPECT_EQ(HeadlessWindowServices().PendingPaints(), 1u);
  Application().ProcessMessages();
  EXPECT_EQ(s.Paints, atSwitch + 1);
  s.SetChartOwned(true);  // a chart's axis always paints at once
  EXPECT_EQ(s.Paints, atSwitch + 2);
  HeadlessWindowServices().Reset();
}

TEST(ScaleRepaint, SuspensionAndForcePaint) {
  CountingScale s;  // no window yet: suspended
  s.SetChartOwned(true);
  bool rendered = false;
  s.OnAfterScaleRendered = [&](TObject*, TCanvas&) { rendered = true; };
  s.SetCaption("a");
  EXPECT_FALSE(rendered);
  s.ForcePaint();
  EXPECT_TRUE(rendered);
  EXPECT_TRUE(s.PaintSuspended());
  rendered = false;
  s.SetPaintSuspended(false);  // unsuspending repaints
  EXPECT_TRUE(rendered);
}

TEST(ScaleRepaint, InvisibleScalesPaintOnlyForADesigner) {
  auto s = LiveScale();
  bool rendered = false;
  s->OnAfterScaleRendered = [&](TObject*, TCanvas&) { rendered = true; };
  s->SetVisible(false);
  s->Paint();
  EXPECT_FALSE(rendered);
  s->SetDesigning(true);
  s->Paint();
  EXPECT_TRUE(rendered);
  rendered = false;
  s->SetChartOwned(true);
  s->Paint();
  EXPECT_FALSE(rendered);
}

TEST(ScaleAssign, DateFormatPropertyCopiesSettingsButNotTheNotification) {
  auto s = LiveScale();
  int scaleRepaints = 0, foreign = 0;
  s->OnAfterScaleRendered = [&](TObject*, TCanvas&) { ++scaleRepaints; };
  TDTLabel given;
  given.OnChange = [&](TObject*) { ++foreign; };
  given.SetYearLength(TYearLength::ylYY);
  foreign = 0;
  s->SetDateFormat(given);
  EXPECT_EQ(s->DateFormat().YearLength(), TYearLength::ylYY);
  scaleRepaints = 0;
  s->DateFormat().SetMonthName(true);  // the copied settings had False
  EXPECT_EQ(scaleRepaints, 1);
  EXPECT_EQ(foreign, 0);
}

TEST(ScaleAssign, CopiesFieldsWithoutSetterRulesAndKeepsItsOwnWiring) {
  auto target = LiveScale();
  int targetRepaints = 0;
  target->OnAfterScaleRendered = [&](TObject*, TCanvas&) { ++targetRepaints; };
  {
    auto source = LiveScale();
    source->SetRangeLow(-50);
    source->SetRangeHigh(150);
    source->SetScaleType(TScaleType::sctYR);
    source->SetCaption("kg");
    source->SetUserTickText("a|b");
    source->DateFormat().SetDateSeparator('/');
    target->Assign(source.get());
    EXPECT_EQ(target->RangeLow(), -50);
    EXPECT_EQ(target->ScaleType(), TScaleType::sctYR);
    EXPECT_EQ(target->Caption(), "kg");
    EXPECT_EQ(target->UserTickText(), "a|b");
    EXPECT_EQ(target->DateFormat().DateSeparator(), '/');
    EXPECT_EQ(target->ScaleFactor(), source->ScaleFactor());
  }
  // The source is gone; the copy's date format must still notify the copy.
  targetRepaints = 0;
  target->DateFormat().SetDateSeparator('.');
  EXPECT_EQ(targetRepaints, 1);
  TFont font;
  EXPECT_THROW(target->Assign(&font), EConvertError);
}

}  // namespace
