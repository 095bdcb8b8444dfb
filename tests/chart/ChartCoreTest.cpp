// The chart core: creation, naming, cursors, mapping, range application,
// joined layers, margins and layouts, resizing, copying and data sharing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Streaming.h"
#include "kelvo/platform/WindowServices.h"

using namespace vexa;

namespace {

class CountingChart : public TKelvo {
 public:
  using TKelvo::TKelvo;
  void Paint() override {
    if (Visible() && !IsLoading() && !PaintLock()) ++Paints;
    TKelvo::Paint();
  }
  int Paints = 0;
};

class ChartTest : public ::testing::Test {
 protected:
  void SetUp() override { HeadlessWindowServices().Reset(); }
  void TearDown() override { HeadlessWindowServices().Reset(); }
};

TEST_F(ChartTest, CreationValues) {
  TKelvo c;
  EXPECT_EQ(c.Width(), 280);
  EXPECT_EQ(c.Height(), 200);
  EXPECT_EQ(c.MarginLeft(), 50);
  EXPECT_EQ(c.MarginRight(), 20);
  EXPECT_EQ(c.MarginTop(), 20);
  EXPECT_EQ(c.MarginBottom(), 40);
  EXPECT_EQ(c.CaptionPosX(), 0);
  EXPECT_EQ(c.CaptionPosY(), -16);
  EXPECT_EQ(c.CaptionAlignment(), TAlignment::taRightJustify);
  EXPECT_TRUE(c.PaintLock());  // until the window exists
  EXPECT_TRUE(c.AutoRedraw());
  EXPECT_EQ(c.DialogCode(), 3);
  EXPECT_EQ(c.AspectX(), 36);
  EXPECT_EQ(c.AspectY(), 36);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(c.CrossHair(i).Layer(), i);
    EXPECT_EQ(c.CrossHair(i).LineWid(), 1);
    EXPECT_EQ(c.CrossHair(i).Mode(), TCrossHMode::chOff);
  }
  for (int i = 1; i <= 30; ++i) {
    EXPECT_EQ(c.TextLabels(i).Layer(), 1);
    EXPECT_FALSE(c.TextLabels(i).Visible());
    EXPECT_EQ(c.TextLabels(i).Mode(), TTxtLblMode::tlOff);
    EXPECT_EQ(c.TextLabels(i).AttachToData(), TTxtLblAttachMode::tlamBoth);
    EXPECT_EQ(c.TextLabels(i).ColorBkg(), clWhite);
    EXPECT_EQ(c.TextLabels(i).ShadowDx(), 3);
  }
  EXPECT_TRUE(c.MouseAffectsLayer(1));
  EXPECT_FALSE(c.MouseAffectsLayer(2));
  // Layer setup: colours, types and outward positions.
  EXPECT_EQ(c.ScalePropsX(3).ColorScale(), 0x008000u);
  EXPECT_EQ(c.ScalePropsY(16).ColorScale(), 0xFFFFFFu);
  EXPECT_EQ(c.ScalePropsX(5).ScalePos(), 60);
  EXPECT_EQ(c.ScalePropsY(6).ScalePos(), 100);
  EXPECT_EQ(c.ScalePropsX(6).ScaleType(), TScaleType::sctXB);
  EXPECT_EQ(c.ScalePropsY(5).ScaleType(), TScaleType::sctYR);
  // The standard layout: layer 1's axes shown, everything else hidden.
  EXPECT_TRUE(c.Scale1X().Visible());
  EXPECT_TRUE(c.Scale1Y().Visible());
  EXPECT_FALSE(c.Scale2X().Visible());
  EXPECT_EQ(c.Scale1X().CaptionPosY(), 22);
  EXPECT_EQ(c.Scale1Y().CaptionAlignment(), TAlignment::taLeftJustify);
  EXPECT_TRUE(c.ScaleX(1).Transparent());
  EXPECT_TRUE(c.ScaleX(1).ChartOwned());
  EXPECT_EQ(c.ScaleX(1).Width(), 280);
  EXPECT_EQ(c.ScaleX(1).MarginLeft(), 50);
  EXPECT_EQ(c.ScaleX(1).MarginRight(), 19);
  EXPECT_EQ(c.ScaleY(1).MarginBottom(), 39);
  EXPECT_FALSE(c.ScaleX(1).HasSurface());  // axes draw into the chart's bitmap
}

TEST_F(ChartTest, AxisNamesAndCursors) {
  TKelvo c;
  EXPECT_EQ(c.ScaleX(7).Name(), "KV_FScale_X_7");
  EXPECT_EQ(c.ScaleY(7).Name(), "KV_FScale_Y_7");
  EXPECT_EQ(c.ScaleX(12).Name(), "KV_FScale_X_12");
  EXPECT_EQ(c.ScaleY(12).Name(), "KV_FScale_Y_12");
  EXPECT_EQ(c.ScaleX(12).Owner(), &c);
  const struct {
    TCursor Id;
    const char* Name;
    int X, Y;
  } cursors[] = {
      {1, "CURHAND", 12, 3}, {2, "CURZOOMW", 7, 9}, {3, "CURZOOMD", 15, 15}, {4, "CURZOOMP", 7, 8}};
  for (const auto& k : cursors) {
    const TCursorImage* img = HeadlessWindowServices().RegisteredCursor(k.Id);
    ASSERT_NE(img, nullptr) << k.Name;
    EXPECT_EQ(img->Name, k.Name);
    EXPECT_EQ(img->HotX, k.X);
    EXPECT_EQ(img->HotY, k.Y);
    int ink = 0;
    for (uint32_t row : img->AndMask) ink += __builtin_popcount(~row);
    EXPECT_GT(ink, 40) << k.Name;  // a real picture, not an empty cursor
  }
}

TEST_F(ChartTest, PaintLockPaintsOnceWhenReleased) {
  CountingChart c;
  c.SetCaption("x");  // locked: nothing
  EXPECT_EQ(c.Paints, 0);
  c.CreateWnd();
  c.SetPaintLock(false);
  EXPECT_EQ(c.Paints, 0);
  c.SetPaintLock(true);
  c.SetPaintLock(false);
  EXPECT_EQ(c.Paints, 1);
}

// A chart built in code takes its settings in any order: a logarithmic
// axis on 0 .. 1 raises nothing in the setter nor in any update that maps
// (each leaves the chart unlocked and the picture as it was); a paint or an
// explicit UpdateMapping reports it, and the chart paints again once the
// range is sane.
TEST_F(ChartTest, AnInvalidLogarithmicRangeWaitsForThePaint) {
  using TStep = std::function<void(TKelvo&)>;
  auto drag = [](TMouseActMode Mode, bool Release) {
    return [=](TKelvo& c) {
      c.SetMouseAction(Mode);
      c.MouseDown(TMouseButton::mbLeft, {}, 100, 80);
      c.MouseMove(TShiftState{TShiftStateItem::ssLeft}, 100,
                  80);  // the first move records the start
      c.MouseMove(TShiftState{TShiftStateItem::ssLeft}, 120, 90);
      if (Release) c.MouseUp(TMouseButton::mbLeft, {}, 130, 100);
    };
  };
  const std::vector<std::pair<const char*, TStep>> steps = {
      {"ApplyScaleSettings", [](TKelvo& c) { c.ApplyScaleSettings(); }},
      {"SetLayerRanges", [](TKelvo& c) { c.SetLayerRanges(1, 0, 0, 5, 5, false); }},
      {"SetStandardLayout", [](TKelvo& c) { c.SetStandardLayout(TkvLayout::kvl_X1Bottom_Y2Left); }},
      {"SetBounds", [](TKelvo& c) { c.SetBounds(0, 0, 300, 220); }},
      {"SetMarginLeft", [](TKelvo& c) { c.SetMarginLeft(44); }},
      {"pan", drag(TMouseActMode::maPan, false)},
      {"zoom drag", drag(TMouseActMode::maZoomDrag, false)},
      {"ShowGraph", [](TKelvo& c) { c.ShowGraph(); }},
      // These two give layer 2 a new, positive range of their own.
      {"SetIsometric", [](TKelvo& c) { c.SetIsometric(true); }},
      {"zoom window", drag(TMouseActMode::maZoomWind, true)},
  };
  for (const auto& [name, step] : steps) {
    CountingChart c;
    c.CreateWnd();
    c.SetMouseAffectsLayer(2, true);
    const int before = c.Paints;
    EXPECT_NO_THROW(c.Scale2Y().SetLogarithmic(true)) << name;
    EXPECT_NO_THROW(step(c)) << name;
    EXPECT_FALSE(c.PaintLock()) << name;
    const bool repaired = std::string(name) == "SetIsometric" || std::string(name) == "zoom window";
    EXPECT_EQ(c.MappingValid(), repaired) << name;
    if (!repaired) {
      EXPECT_EQ(c.Paints, before) << name;
      EXPECT_THROW(c.Paint(), EVexaKelvoError) << name;
      EXPECT_THROW(c.UpdateMapping(), EVexaKelvoError) << name;
    }
    c.Scale2Y().SetRangeLow(1e-6);  // the natural order: logarithmic, then the range
    EXPECT_TRUE(c.MappingValid()) << name;
    EXPECT_GT(c.Paints, before) << name;
    const int paints = c.Paints;
    c.Paint();
    EXPECT_EQ(c.Paints, paints + 1) << name;
  }
}

// The overridable mapping update runs after each change the mapping
// depends on, painting or not (AutoRedraw off); while a logarithmic range
// is not positive the non-raising mapping stands in for it.
TEST_F(ChartTest, UpdateMappingRunsAfterEveryChangeItDependsOn) {
  class TMappingCounter : public TKelvo {
   public:
    void UpdateMapping() override {
      ++Calls;
      TKelvo::UpdateMapping();
    }
    int Calls = 0;
  };
  using TStep = std::function<void(TKelvo&)>;
  const std::vector<std::pair<const char*, TStep>> steps = {
      {"SetBounds", [](TKelvo& c) { c.SetBounds(0, 0, 300, 220); }},
      {"SetMarginTop", [](TKelvo& c) { c.SetMarginTop(30); }},
      {"SetShadowWidth", [](TKelvo& c) { c.SetShadowWidth(4); }},
      {"range", [](TKelvo& c) { c.Scale1X().SetRangeHigh(7); }},
      {"Assign", [](TKelvo& c) {
         TKelvo other;
         other.Scale2Y().SetLogarithmic(c.Scale2Y().Logarithmic());
         c.Assign(&other);
       }},
  };
  for (const auto& [name, step] : steps) {
    TMappingCounter c;
    c.CreateWnd();
    c.SetAutoRedraw(false);
    const int before = c.Calls;
    step(c);
    EXPECT_GT(c.Calls, before) << name;
    c.Scale2Y().SetLogarithmic(true);  // 0 .. 1: not mappable yet
    c.Scale1X().SetRangeHigh(9);
    const int invalid = c.Calls;
    EXPECT_NO_THROW(step(c)) << name;
    EXPECT_EQ(c.Calls, invalid) << name;
  }
}

// Fitting every layer isometric changes 32 ranges; the chart paints once.
TEST_F(ChartTest, IsometricFitsAllLayersWithOnePaint) {
  CountingChart c;
  c.CreateWnd();
  const int paints = c.Paints;
  c.SetIsometric(true);
  EXPECT_EQ(c.Paints, paints + 1);
  c.SetMarginLeft(40);  // refits all layers, one paint again
  EXPECT_EQ(c.Paints, paints + 2);
}

// A chart with margins 50, 10, 16, 32 on 280 x 200.
std::unique_ptr<TKelvo> MappingChart() {
  auto c = std::make_unique<TKelvo>();
  c->SetMarginRight(10);
  c->SetMarginTop(16);
  c->SetMarginBottom(32);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1X().SetRangeLow(0);
  c->Scale1Y().SetRangeHigh(100);
  c->Scale1Y().SetRangeLow(0);
  return c;
}

TEST_F(ChartTest, LinearMappingFigures) {
  auto c = MappingChart();
  int32_t px, py;
  c->WorldToPixel(1, 0, 0, px, py);
  EXPECT_EQ(px, 50);
  EXPECT_EQ(py, 168);
  c->WorldToPixel(1, 10, 100, px, py);
  EXPECT_EQ(px, 270);
  EXPECT_EQ(py, 16);
  c->WorldToPixel(1, 5, 50, px, py);
  EXPECT_EQ(px, 160);
  EXPECT_EQ(py, 92);
  double x, y;
  c->PixelToWorld(1, 160, 92, x, y);
  EXPECT_NEAR(x, 5, 1e-9);
  EXPECT_NEAR(y, 50, 1e-9);
  c->WorldToPixel(0, 10, 100, px, py);  // layer 0 is layer 1
  EXPECT_EQ(px, 270);
  c->WorldToPixel(20, 0, 0, px, py);  // layer 20 is layer 16 (range 0..1)
  int32_t qx, qy;
  c->WorldToPixel(16, 0, 0, qx, qy);
  EXPECT_EQ(px, qx);
  EXPECT_EQ(py, qy);
}

TEST_F(ChartTest, HugeAndInvalidWorldValues) {
  auto c = MappingChart();
  int32_t px, py;
  c->WorldToPixel(1, 1e300, -1e300, px, py);
  EXPECT_EQ(px, 2147483647);
  EXPECT_EQ(py, 2147483647);  // y grows downwards
  EXPECT_TRUE(TCustomKelvo::ClipPixel(px, py));
  EXPECT_EQ(px, 30000);
  EXPECT_EQ(py, 30000);
  int32_t a = 5, b = -30000;
  EXPECT_FALSE(TCustomKelvo::ClipPixel(a, b));
  c->WorldToPixel(1, std::numeric_limits<double>::infinity(), std::nan(""), px, py);
  EXPECT_EQ(px, 2147483647);
  EXPECT_EQ(py, 0);
}

TEST_F(ChartTest, LogarithmicMappingAndItsError) {
  TKelvo c;
  c.SetMarginLeft(0);
  c.SetMarginRight(0);
  c.SetBounds(0, 0, 200, 200);
  c.Scale1X().SetRangeLow(1);
  c.Scale1X().SetRangeHigh(100);
  c.Scale1X().SetLogarithmic(true);
  int32_t px, py;
  c.WorldToPixel(1, 10, 0, px, py);
  EXPECT_EQ(px, 100);
  c.WorldToPixel(1, 0, 0, px, py);
  EXPECT_EQ(px, 0);
  c.WorldToPixel(1, -5, 0, px, py);
  EXPECT_EQ(px, 0);
  c.Scale1X().SetRangeLow(100);
  c.Scale1X().SetRangeHigh(1);
  c.WorldToPixel(1, 0, 0, px, py);
  EXPECT_EQ(px, 200);
  double x, y;
  c.PixelToWorld(1, 100, 100, x, y);
  EXPECT_NEAR(x, 10, 1e-9);
  // A logarithmic axis reaching zero: taken in code, reported by the mapping.
  EXPECT_NO_THROW(c.Scale2Y().SetLogarithmic(true));  // 0 .. 1
  try {
    c.UpdateMapping();
    FAIL() << "no exception";
  } catch (const EVexaKelvoError& e) {
    EXPECT_STREQ(e.what(), "Logarithmic axis must not be negative.");
  }
  c.Scale2Y().SetLogarithmic(false);
  EXPECT_NO_THROW(c.UpdateMapping());
}

// The double-precision quick path of the mapping must give the pixel of the
// extended computation everywhere, above all next to the pixel boundaries
// k + 0.5, where the two roundings could disagree.
TEST(LayerMapping, QuickPathAgreesWithTheExtendedComputation) {
  uint64_t seed = 77;
  auto next = [&] {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(seed >> 11) * 0x1p-53;  // 0 .. 1
  };
  int32_t quickTaken = 0, nearBoundary = 0;
  for (int layout = 0; layout < 400; ++layout) {
    TLayerMapping m;
    // Factors as UpdateMapping makes them: ranges from tiny to huge, offsets
    // from small to far beyond any pixel.
    const long double width = 10 + std::floor(next() * 3000);
    const long double low = (next() - 0.5) * std::pow(10.0L, std::floor(next() * 16) - 4);
    const long double span = std::pow(10.0L, std::floor(next() * 20) - 8) * (0.5L + next());
    m.KX = width * (1 / span);
    m.DX = (37 * (low + span) - (37 + width) * low) / span;
    m.KY = -m.KX * (0.25L + next());
    m.DY = 600 - m.KY * low;
    m.PrepareQuickPath();
    for (int i = 0; i < 200; ++i) {
      // A world value whose extended pixel lies within a few units in the
      // last place of a boundary, or anywhere in the data area.
      const int32_t boundary = static_cast<int32_t>(next() * 4000) - 1000;
      double x = static_cast<double>((boundary + 0.5L - m.DX) / m.KX);
      double y = static_cast<double>((boundary + 0.5L - m.DY) / m.KY);
      const int nudge = static_cast<int>(next() * 9) - 4;
      for (int k = 0; k < std::abs(nudge); ++k) {
        x = std::nextafter(x, nudge > 0 ? HUGE_VAL : -HUGE_VAL);
        y = std::nextafter(y, nudge > 0 ? HUGE_VAL : -HUGE_VAL);
      }
      if (i % 4 == 0) {
        x = static_cast<double>(low + next() * span);
        y = static_cast<double>(low + next() * span);
      } else {
        ++nearBoundary;
      }
      int32_t px, py;
      m.Map(x, y, px, py);
      ASSERT_EQ(px, m.ExactPixelX(x)) << "layout " << layout << " x " << x;
      ASSERT_EQ(py, m.ExactPixelY(y)) << "layout " << layout << " y " << y;
      quickTaken += m.Quick;
    }
  }
  EXPECT_GT(nearBoundary, 50000);
  EXPECT_GT(quickTaken, 20000);  // most layouts do take the quick path
}

// Logarithmic axes' quick path (the logarithm in double precision) gives
// the extended computation's pixel too, over ranges of a few to hundreds of
// decades, next to boundaries, at the logarithmic floor and for values that
// are no numbers.
TEST(LayerMapping, QuickLogarithmicPathAgreesWithTheExtendedComputation) {
  uint64_t seed = 91;
  auto next = [&] {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(seed >> 11) * 0x1p-53;  // 0 .. 1
  };
  int32_t checked = 0;
  for (int layout = 0; layout < 300; ++layout) {
    TLayerMapping m;
    m.LogX = m.LogY = true;
    const long double width = 10 + std::floor(next() * 3000);
    const long double lowExp = std::floor(next() * 400) - 200;
    const long double decades = 0.3L + next() * (layout % 3 == 0 ? 200 : 8);
    const long double rl = std::pow(10.0L, lowExp), rh = std::pow(10.0L, lowExp + decades);
    const long double g = std::log(rh) - std::log(rl);
    m.KX = width / g;
    m.DX = (std::log(rh) * 37 - std::log(rl) * (37 + width)) / g;
    m.KY = -m.KX * (0.25L + next());
    m.DY = 600 - m.KY * std::log(rl);
    m.FloorX = 0;
    m.FloorY = 5000;
    m.PrepareQuickPath();
    ASSERT_TRUE(m.QuickLogX && m.QuickLogY);
    for (int i = 0; i < 200; ++i) {
      const int32_t boundary = static_cast<int32_t>(next() * 4000) - 1000;
      double x = static_cast<double>(std::exp((boundary + 0.5L - m.DX) / m.KX));
      double y = static_cast<double>(std::exp((boundary + 0.5L - m.DY) / m.KY));
      const int nudge = static_cast<int>(next() * 9) - 4;
      for (int k = 0; k < std::abs(nudge); ++k) {
        x = std::nextafter(x, nudge > 0 ? HUGE_VAL : -HUGE_VAL);
        y = std::nextafter(y, nudge > 0 ? HUGE_VAL : -HUGE_VAL);
      }
      if (i % 4 == 0) x = static_cast<double>(rl * std::pow(rh / rl, next()));
      if (i == 1) x = 1e-100, y = std::nextafter(1e-100, 1.0);
      if (i == 2) x = std::nan(""), y = -1;
      if (i == 3) x = HUGE_VAL, y = 0x1p-332;
      int32_t px, py;
      m.Map(x, y, px, py);
      ASSERT_EQ(px, m.ExactPixelX(x)) << "layout " << layout << " x " << x;
      ASSERT_EQ(py, m.ExactPixelY(y)) << "layout " << layout << " y " << y;
      ASSERT_EQ(m.PixelX(x), px);
      ASSERT_EQ(m.PixelY(y), py);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 60000);
}

TEST_F(ChartTest, AnEmptyDataAreaMapsToTheMiddle) {
  TKelvo c;
  c.SetBounds(0, 0, 205, 200);
  c.SetMarginLeft(300);  // margins are not checked
  int32_t px, py;
  c.WorldToPixel(1, 0.3, 0, px, py);
  EXPECT_EQ(px, 102);
  double x, y;
  c.PixelToWorld(1, 50, 50, x, y);  // no inverse: the range's low end
  EXPECT_EQ(x, c.Scale1X().RangeLow());
}

TEST_F(ChartTest, RangeLimitsUnderPanAndZoom) {
  TKelvo c;
  c.Scale1X().SetRangeHigh(100);
  c.SetRangeLimits({0, 0, 10, 0});  // x 0..10, y 0..0
  c.SetMouseAction(TMouseActMode::maPan);
  const double y0 = c.Scale1Y().RangeLow(), y1 = c.Scale1Y().RangeHigh();
  c.SetLayerRanges(1, -2, -5, 3, 5, true);
  EXPECT_EQ(c.Scale1X().RangeLow(), 0);  // a pan keeps the width
  EXPECT_EQ(c.Scale1X().RangeHigh(), 5);
  // The zero y limits apply too; a pan keeps the width and ends at the last rule.
  EXPECT_EQ(c.Scale1Y().RangeLow(), -10);
  EXPECT_EQ(c.Scale1Y().RangeHigh(), 0);
  c.Scale1Y().SetRangeLow(y0);
  c.Scale1Y().SetRangeHigh(y1);
  c.SetMouseAction(TMouseActMode::maZoomDrag);
  c.SetLayerRanges(1, -2, -5, 3, 5, true);
  EXPECT_EQ(c.Scale1X().RangeLow(), 0);  // anything else is cut
  EXPECT_EQ(c.Scale1X().RangeHigh(), 3);
  // y cut to 0..0: narrower than MinRange, so y stays.
  EXPECT_EQ(c.Scale1Y().RangeLow(), y0);
  EXPECT_EQ(c.Scale1Y().RangeHigh(), y1);
  c.SetRangeLimits({});
  c.SetLayerRanges(1, -2, 0, 3, 1, true);  // no limits at all
  EXPECT_EQ(c.Scale1X().RangeLow(), -2);
  // The axis follows the settings.
  EXPECT_EQ(c.ScaleX(1).RangeLow(), -2);
  EXPECT_EQ(c.ScaleX(1).RangeHigh(), 3);
}

TEST_F(ChartTest, JoinedLayersFollowTheirController) {
  TKelvo c;
  c.Scale1X().SetRangeHigh(50);
  c.Scale1X().SetRangeLow(10);
  c.JointLayers().SetXControlledBy(2, 1);
  EXPECT_EQ(c.Scale2X().RangeLow(), 10);
  EXPECT_EQ(c.Scale2X().RangeHigh(), 50);
  c.SetLayerRanges(1, 20, 0, 60, 1, false);  // a pan on layer 1 moves layer 2 along
  EXPECT_EQ(c.Scale2X().RangeLow(), 20);
  EXPECT_EQ(c.Scale2X().RangeHigh(), 60);
  c.SetLayerRanges(2, 0, 5, 1, 7, false);  // on layer 2 only its y moves
  EXPECT_EQ(c.Scale2X().RangeLow(), 20);
  EXPECT_EQ(c.Scale2Y().RangeLow(), 5);
  EXPECT_EQ(c.Scale2Y().RangeHigh(), 7);
}

TEST_F(ChartTest, MarginSettersAndAliases) {
  CountingChart c;
  c.CreateWnd();
  c.SetLRim(60);
  EXPECT_EQ(c.MarginLeft(), 60);
  c.SetMarginBottom(33);
  EXPECT_EQ(c.BRim(), 33);
  EXPECT_EQ(c.DataBitmap().Width(), 280 - 60 - 20 + 1);
  EXPECT_EQ(c.DataBitmap().Height(), 200 - 20 - 33 + 1);
  EXPECT_EQ(c.ScaleX(3).MarginLeft(), 60);
  EXPECT_EQ(c.ScaleY(3).MarginBottom(), 32);
  EXPECT_EQ(c.Paints, 2);
  c.SetShadowWidth(40);
  EXPECT_EQ(c.ShadowWidth(), 32);
  EXPECT_EQ(c.ScaleX(1).MarginRight(), 20 + 32 - 1);
  c.SetShadowWidth(-3);
  EXPECT_EQ(c.ShadowWidth(), 0);
  c.SetMinDupMarkDist(0);
  EXPECT_EQ(c.MinDupMarkDist(), 1);
  c.SetMinDupMarkDist(7);
  EXPECT_EQ(c.MinDupMarkDist(), 3);
  const int paints = c.Paints;
  c.SetMinDupMarkDist(7);  // clamps to the current value, but is not equal to it: paints
  c.SetMinDupMarkDist(3);  // equal: nothing
  EXPECT_EQ(c.Paints, paints + 1);
  c.SetGridDx(-3);
  EXPECT_EQ(c.GridDx(), -3);
  c.SetGridDx(-3.5);
  EXPECT_EQ(c.GridDx(), -3);
}

TEST_F(ChartTest, MinimumSize) {
  TKelvo c;
  c.SetBounds(0, 0, 100, 50);
  EXPECT_EQ(c.Width(), 150);
  EXPECT_EQ(c.Height(), 80);
  c.SetBounds(3, 4, 449, 345);
  EXPECT_EQ(c.Width(), 449);
  EXPECT_EQ(c.Left(), 3);
  EXPECT_EQ(c.ScaleY(1).Height(), 345);
  EXPECT_FALSE(c.PaintLock() == false);  // still locked: no window
  // The bounds it has are no change: margins that grew since leave the
  // size alone, and an isometric chart keeps its ranges.
  c.SetMarginLeft(400);
  c.SetIsometric(true);
  const double low = c.Scale1Y().RangeLow(), high = c.Scale1Y().RangeHigh();
  c.Scale1Y().SetRangeHigh(high + 1);
  c.SetBounds(3, 4, 449, 345);
  EXPECT_EQ(c.Width(), 449);
  EXPECT_EQ(c.Scale1Y().RangeLow(), low);
  EXPECT_EQ(c.Scale1Y().RangeHigh(), high + 1);
  // At ratio 2 the height gives way to the largest bitmap side, as the width does.
  TKelvo tall;
  tall.SetDevicePixelRatio(2);
  EXPECT_NO_THROW(tall.SetBounds(0, 0, 300, 32768));
  EXPECT_EQ(tall.Height(), 16384);
  EXPECT_NO_THROW(tall.SetBounds(0, 0, 32768, 300));
  EXPECT_EQ(tall.Width(), 16384);
}

struct LayoutCase {
  TkvLayout Layout;
  int32_t Margins[4];
  bool VisibleX[4], VisibleY[4];
  int32_t PosX[4], PosY[4];
};

TEST_F(ChartTest, TheSevenLayouts) {
  const LayoutCase cases[] = {
      {TkvLayout::kvl_X1Bottom_Y1Left,
       {50, 20, 20, 40},
       {1, 0, 0, 0},
       {1, 0, 0, 0},
       {0, 0, 0, 0},
       {0, 0, 0, 0}},
      {TkvLayout::kvl_X1Bottom_Y2Left,
       {100, 20, 24, 40},
       {1, 0, 0, 0},
       {1, 1, 0, 0},
       {0, 0, 0, 0},
       {0, 50, 0, 0}},
      {TkvLayout::kvl_X1Bottom_Y3Left,
       {150, 20, 24, 40},
       {1, 0, 0, 0},
       {1, 1, 1, 0},
       {0, 0, 0, 0},
       {0, 50, 100, 0}},
      {TkvLayout::kvl_X1Bottom_Y4Left,
       {200, 20, 24, 40},
       {1, 0, 0, 0},
       {1, 1, 1, 1},
       {0, 0, 0, 0},
       {0, 50, 100, 150}},
      {TkvLayout::kvl_X1Bottom_Y2Both,
       {50, 50, 24, 40},
       {1, 0, 0, 0},
       {1, 1, 0, 0},
       {0, 0, 0, 0},
       {0, 0, 0, 0}},
      {TkvLayout::kvl_X2Bottom_Y2Left,
       {100, 20, 24, 70},
       {1, 1, 0, 0},
       {1, 1, 0, 0},
       {0, 30, 0, 0},
       {0, 50, 0, 0}},
      {TkvLayout::kvl_X2Both_Y2Both,
       {50, 50, 48, 40},
       {1, 1, 0, 0},
       {1, 1, 0, 0},
       {0, 0, 0, 0},
       {0, 0, 0, 0}},
  };
  for (const LayoutCase& k : cases) {
    TKelvo c;
    c.SetStandardLayout(k.Layout);
    SCOPED_TRACE(static_cast<int>(k.Layout));
    EXPECT_EQ(c.StandardLayout(), k.Layout);
    EXPECT_EQ(c.MarginLeft(), k.Margins[0]);
    EXPECT_EQ(c.MarginRight(), k.Margins[1]);
    EXPECT_EQ(c.MarginTop(), k.Margins[2]);
    EXPECT_EQ(c.MarginBottom(), k.Margins[3]);
    for (int n = 1; n <= 4; ++n) {
      EXPECT_EQ(c.ScalePropsX(n).Visible(), k.VisibleX[n - 1]) << "x" << n;
      EXPECT_EQ(c.ScalePropsY(n).Visible(), k.VisibleY[n - 1]) << "y" << n;
      EXPECT_EQ(c.ScaleX(n).Visible(), k.VisibleX[n - 1]) << "axis x" << n;
      EXPECT_EQ(c.ScalePropsX(n).ScalePos(), k.PosX[n - 1]) << "x" << n;
      EXPECT_EQ(c.ScalePropsY(n).ScalePos(), k.PosY[n - 1]) << "y" << n;
    }
    for (int n = 5; n <= 16; ++n) {
      EXPECT_FALSE(c.ScalePropsX(n).Visible());
      EXPECT_FALSE(c.ScalePropsY(n).Visible());
    }
  }
  TKelvo both;
  both.SetStandardLayout(TkvLayout::kvl_X2Both_Y2Both);
  EXPECT_EQ(both.Scale2X().ScaleLocation(), TScaleLocationHoriz::slTop);
  EXPECT_EQ(both.Scale2X().ScaleType(), TScaleType::sctXB);
  EXPECT_EQ(both.Scale2Y().ScaleLocation(), TScaleLocationVert::slRight);
  EXPECT_EQ(both.Scale3Y().CaptionPosY(), -23);
}

TEST_F(ChartTest, IsometricFitsTheVerticalRanges) {
  CountingChart c;
  c.CreateWnd();
  c.Scale1X().SetRangeHigh(10);  // 0..10 over a 211 x 141 data area
  const double lo = c.Scale1Y().RangeLow(), hi = c.Scale1Y().RangeHigh();
  const int paints = c.Paints;
  c.SetIsometric(false);
  EXPECT_EQ(c.Scale1Y().RangeLow(), lo);
  EXPECT_EQ(c.Paints, paints);
  c.SetIsometric(true);
  const double mid = (lo + hi) / 2, s = 10.0 * 141 / 211 / 2;
  EXPECT_NEAR(c.Scale1Y().RangeHigh(), mid + s, 1e-12);
  EXPECT_NEAR(c.Scale1Y().RangeLow(), mid - s, 1e-12);
  // One world unit is now as long in y as in x.
  int32_t x0, y0, x1, y1;
  c.WorldToPixel(1, 0, 0, x0, y0);
  c.WorldToPixel(1, 5, 5, x1, y1);
  EXPECT_NEAR(x1 - x0, y0 - y1, 1);
}

TEST_F(ChartTest, OwnedObjectPropertiesCopyAndKeepTheirWiring) {
  CountingChart c;
  c.CreateWnd();
  TCrossHair& own = c.CrossHair2();
  TCrossHair given;
  int foreign = 0;
  given.OnChange = [&](TObject*) { ++foreign; };
  given.SetMode(TCrossHMode::chBoth);
  given.SetLayer(5);
  c.SetCrossHair(2, given);
  EXPECT_EQ(&c.CrossHair2(), &own);
  EXPECT_EQ(own.Mode(), TCrossHMode::chBoth);
  const int paints = c.Paints;
  own.SetPosX(3);  // still notifies the chart, not the given object's listener
  EXPECT_EQ(c.Paints, paints + 1);
  EXPECT_EQ(foreign, 2);
  TScalePropsHoriz sx;
  sx.SetRangeLow(1969);
  sx.SetRangeHigh(1981);
  const int before = c.Paints;
  c.SetScaleX(1, sx);
  EXPECT_EQ(c.Scale1X().RangeLow(), 1969);
  // The axis and the mapping follow at once; the picture waits (no design mode).
  EXPECT_EQ(c.ScaleX(1).RangeHigh(), 1981);
  int32_t px, py;
  c.WorldToPixel(1, 1981, 0, px, py);
  EXPECT_EQ(px, c.Width() - c.MarginRight() - c.ShadowWidth());
  EXPECT_EQ(c.Paints, before);
  TScalePropsVert sy;
  sy.SetRangeLow(-50);
  sy.SetRangeHigh(150);
  c.SetScaleY(1, sy);
  c.WorldToPixel(1, 1981, -50, px, py);
  EXPECT_EQ(py, c.Height() - c.MarginBottom() - c.ShadowWidth());
  c.Scale1X().SetCaption("Years");  // applies to the axis through the chart's own wiring
  EXPECT_EQ(c.ScaleX(1).Caption(), "Years");
  EXPECT_EQ(c.ScaleX(1).RangeHigh(), 1981);
}

// A copy of an owned settings object takes the chart's notification with
// it: it notifies the chart while the chart lives and nobody afterwards.
TEST_F(ChartTest, CopiedNotificationsGoQuietWhenTheChartIsGone) {
  TScalePropsHoriz sx;
  TScalePropsVert sy;
  TDTLabel date;
  TCrossHair cross;
  TTextLabel label;
  TBakGndImg background;
  TJointLayers joint;
  {
    CountingChart c;
    c.CreateWnd();
    sx.Assign(&c.Scale1X());
    sy.Assign(&c.Scale1Y());
    date.Assign(&c.Scale1X().DateFormat());
    cross.Assign(&c.CrossHair1());
    label.Assign(&c.TextLabels(1));
    background.Assign(&c.BackGroundImg());
    joint.Assign(&c.JointLayers());
    const int paints = c.Paints;
    cross.SetPosX(4);  // a copy made while both exist still notifies the chart
    EXPECT_EQ(c.Paints, paints + 1);
    EXPECT_TRUE(cross.OnChange);
  }
  EXPECT_FALSE(cross.OnChange);
  sx.SetRangeHigh(7);
  sy.SetRangeHigh(7);
  date.SetDateSeparator('/');
  cross.SetPosX(5);
  label.SetPosX(5);
  background.SetName("none.bmp");
  joint.SetXControlledBy(2, 1);
  EXPECT_EQ(sx.RangeHigh(), 7);
  EXPECT_EQ(cross.PosX(), 5);
  // The same for the date format of a standalone axis.
  TDTLabel axisDate;
  {
    TScale axis;
    axisDate.Assign(&axis.DateFormat());
  }
  axisDate.SetTimeSeparator('.');
  EXPECT_EQ(axisDate.TimeSeparator(), '.');
}

// A standalone axis that copies a chart's axis paints into the chart's frame
// while the chart lives, and on its own surface once the chart is gone; the
// tick events it copied call nobody then.
TEST_F(ChartTest, CopiedAxisDrawTargetEndsWithTheChart) {
  TScale standalone;
  standalone.SetBounds(0, 0, 120, 60);
  standalone.CreateWnd();
  {
    CountingChart c;
    c.CreateWnd();
    standalone.Assign(&c.ScaleX(1));
    EXPECT_EQ(standalone.DrawTarget(), &c.FrameBitmap().Canvas());
  }
  EXPECT_EQ(standalone.DrawTarget(), nullptr);
  EXPECT_FALSE(standalone.OnScaleTickDrawn);  // the chart's tick events went with it
  EXPECT_FALSE(standalone.OnBeforeTickLabel);
  standalone.SetPaintSuspended(false);  // copied from the chart's axis
  standalone.SetVisible(true);
  standalone.SetTransparent(false);
  standalone.SetColorBackGnd(clYellow);
  standalone.Paint();  // under ASan: no use of the chart's freed canvas
  EXPECT_EQ(standalone.Canvas().Pixels(60, 30), clYellow);
}

TEST_F(ChartTest, AssignCopiesItemsAndRewiresToItself) {
  CountingChart target;
  target.CreateWnd();
  {
    TKelvo source;
    for (int i = 0; i < 5; ++i) source.Rectangle(i, 0, i + 1, i);
    source.SetCaption("Net exports");
    source.Scale1X().SetRangeHigh(1981);
    source.Scale1X().SetRangeLow(1969);
    source.CrossHair1().SetMode(TCrossHMode::chVert);
    source.JointLayers().SetXControlledBy(3, 1);
    target.Assign(&source);
    EXPECT_EQ(target.ItemCount(), 5);
    source.ClearGraph();
    EXPECT_EQ(target.ItemCount(), 5);  // a copy, not a shared array
    EXPECT_EQ(target.Items(4).X1, 4);
    EXPECT_EQ(target.Caption(), "Net exports");
    EXPECT_EQ(target.Scale1X().RangeLow(), 1969);
    EXPECT_EQ(target.ScaleX(1).RangeLow(), 1969);
    EXPECT_EQ(target.CrossHair1().Mode(), TCrossHMode::chVert);
    EXPECT_EQ(target.JointLayers().XControlledBy(3), 1);
  }
  // The source is gone: every sub-object must notify the target. (Assign
  // copied the source's paint lock, set while it had no window.)
  target.SetPaintLock(false);
  const int paints = target.Paints;
  target.CrossHair1().SetPosX(2);
  target.TextLabels(4).SetCaption("x");
  target.BackGroundImg().SetAreaColor(clRed);
  target.Scale1X().SetRangeHigh(2000);
  target.Scale1X().DateFormat().SetDateSeparator('/');
  target.JointLayers().SetXControlledBy(4, 1);
  EXPECT_GE(target.Paints, paints + 5);
  EXPECT_EQ(target.ScaleX(1).RangeHigh(), 2000);
  EXPECT_EQ(target.Scale4X().RangeLow(), 1969);  // the join acted on the target
  TFont font;
  EXPECT_THROW(target.Assign(&font), EConvertError);
}

TEST_F(ChartTest, AChartStreamsToAFormAndBack) {
  TKelvo a;
  a.SetMarginLeft(40);
  a.SetMarginBottom(30);
  a.SetGridStyle(GridStyleType::gsDotLines);
  a.SetGridDx(1);
  a.SetGridDy(50);
  a.SetGridColor(clSilver);
  a.SetCaption("Net exports");
  a.SetCaptionPosX(220);
  a.SetCaptionPosY(4);
  a.SetMouseAction(TMouseActMode::maPan);
  a.SetMouseCursorFixed(false);
  a.SetShadowColor(clGray);
  a.SetShadowBakColor(clSilver);
  a.Scale1X().SetRangeHigh(1981);
  a.Scale1X().SetRangeLow(1969);
  a.Scale1X().SetDecPlaces(0);
  a.Scale1Y().SetRangeHigh(150);
  a.Scale1Y().SetRangeLow(-50);
  a.CrossHair2().SetLayer(1);
  a.JointLayers().SetXControlledBy(2, 1);
  a.SetTextFontStyle({TFontStyle::fsBold});
  a.SetBounds(8, 24, 449, 345);
  const TFormValue form = WriteForm(a);
  EXPECT_FALSE(form.contains("StandardLayout"));
  EXPECT_FALSE(form.contains("DataColor"));  // equal to its declared default
  EXPECT_EQ(form["MarginLeft"], 40);
  EXPECT_FALSE(form.contains("MarginRight"));  // 20, its creation value
  TKelvo b;
  b.SetName("ExportChart");
  ReadComponentForm(b, form.dump(), "chart.form");
  EXPECT_EQ(WriteForm(b).dump(), form.dump());
  EXPECT_EQ(b.Width(), 449);
  EXPECT_EQ(b.Scale1X().RangeLow(), 1969);
  EXPECT_FALSE(b.Scale1X().Loading());  // Loaded cleared it
  EXPECT_EQ(b.ScaleX(1).RangeLow(), 1969);
  int32_t px, py;
  b.WorldToPixel(1, 1969, -50, px, py);
  EXPECT_EQ(px, 40);
  EXPECT_EQ(py, 345 - 30);
}

// Reads a chart's form and returns the error text, or "" on success.
std::string ChartFormError(TKelvo& Chart, const std::string& Text) {
  try {
    ReadComponentForm(Chart, Text, "chart.form");
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

TEST_F(ChartTest, UseDataOfIsStoredByNameAndResolvedAmongTheOwnersCharts) {
  TComponent form;
  TKelvo source(&form), user(&form), reader(&form);
  source.SetName("Overview");
  user.SetName("Detail");
  reader.SetName("Reader");
  user.SetUseDataOf(&source);
  const TFormValue written = WriteForm(user);
  ASSERT_TRUE(written.contains("UseDataOf"));
  EXPECT_EQ(written["UseDataOf"], "Overview");
  // Between ShadowBakColor and TextFontStyle.
  std::vector<std::string> keys;
  for (const auto& [k, v] : written.items()) keys.push_back(k);
  const auto at = std::find(keys.begin(), keys.end(), "UseDataOf") - keys.begin();
  EXPECT_EQ(keys[static_cast<size_t>(at - 1)], "ShadowBakColor");
  EXPECT_EQ(keys[static_cast<size_t>(at + 1)], "TextFontStyle");
  EXPECT_FALSE(WriteForm(source).contains("UseDataOf"));  // none used: nothing stored
  EXPECT_EQ(ChartFormError(reader, written.dump()), "");
  EXPECT_EQ(reader.UseDataOf(), &source);
  const std::string error = ChartFormError(reader, R"({"Caption":"x","UseDataOf":"Nowhere"})");
  EXPECT_NE(error.find("chart.form: Reader.UseDataOf: "), std::string::npos) << error;
  EXPECT_NE(error.find("Nowhere"), std::string::npos) << error;
  EXPECT_EQ(reader.Caption(), "");  // nothing of the refused form was applied
  EXPECT_EQ(reader.UseDataOf(), &source);
}

// A form the setters would refuse leaves the chart as it was, not loading
// and painting, with an error naming file, object and property.
// What a form leaves out reads as the creation value: margins of any
// value, and layers joined to controllers that are not stored, come back
// as written, into a chart whose own joins differ.
TEST_F(ChartTest, FormsGiveBackMarginsAndJoinsAsWritten) {
  TKelvo a, b;
  a.SetMarginRight(10);
  a.SetMarginTop(16);
  a.SetMarginBottom(32);
  a.ScalePropsX(9).SetRangeLow(-5);
  a.ScalePropsX(9).SetRangeHigh(7);
  a.JointLayers().SetXControlledBy(2, 9);  // layer 2 follows layer 9, which is not stored
  a.JointLayers().SetYControlledBy(1, 3);
  b.JointLayers().SetYControlledBy(4, 1);  // layer 1 controls 4 here: released by the form
  ASSERT_EQ(ChartFormError(b, WriteForm(a).dump()), "");
  EXPECT_EQ(b.MarginRight(), 10);
  EXPECT_EQ(b.MarginTop(), 16);
  EXPECT_EQ(b.MarginBottom(), 32);
  EXPECT_EQ(b.JointLayers().YControlledBy(1), 3);
  EXPECT_EQ(b.JointLayers().YControlledBy(4), 4);
  EXPECT_EQ(b.Scale2X().RangeLow(), -5);
  EXPECT_EQ(b.Scale2X().RangeHigh(), 7);
  EXPECT_EQ(b.ScalePropsX(9).RangeHigh(), 7);
  EXPECT_EQ(WriteForm(b).dump(), WriteForm(a).dump());
}

// A refused form leaves a link to an unnamed source as it was (the form
// can only write such a source as "", which reads as none).
TEST_F(ChartTest, ARefusedFormKeepsTheSharingLink) {
  // A refusal as late as it comes: when the chart has finished loading.
  class TRefusingChart : public TKelvo {
   public:
    void Loaded() override {
      TKelvo::Loaded();
      if (Refuse) Refuse = false, throw EVexaKelvoError("refused");
    }
    bool Refuse = true;
  };
  TKelvo source;
  TRefusingChart user;
  user.SetUseDataOf(&source);
  EXPECT_NE(ChartFormError(user, R"({"Caption": "x"})"), "");
  EXPECT_EQ(user.UseDataOf(), &source);
  EXPECT_EQ(user.Caption(), "");
}

TEST_F(ChartTest, RefusedFormsLeaveTheChartAsItWas) {
  CountingChart c;
  c.SetName("Chart");
  c.CreateWnd();
  c.SetCaption("before");
  const std::string before = WriteForm(c).dump();
  EXPECT_NE(ChartFormError(c, R"({"Caption":"after","MarginTop":"high"})"), "");
  EXPECT_EQ(WriteForm(c).dump(), before);
  EXPECT_FALSE(c.IsLoading());
  const int paints = c.Paints;
  c.Paint();
  EXPECT_EQ(c.Paints, paints + 1);
}

// Every form a chart writes reads back to the same values, whatever order
// its setters would need: a logarithmic axis whose range is not (yet)
// positive, ends below the setters' floor, a date axis made logarithmic
// after its label type, a time axis with its own decimal places. The first
// paint reports a range that cannot be mapped.
TEST_F(ChartTest, EveryWrittenFormReadsBackAsWritten) {
  CountingChart a;
  a.SetName("Chart");
  a.CreateWnd();
  a.Scale1X().SetRangeHigh(1e-200);  // linear: any end
  a.Scale1X().SetRangeLow(1e-6);
  a.Scale1X().SetLogarithmic(true);  // taken in code
  a.Scale1Y().SetLabelType(TFigType::ftDateTime);
  a.Scale1Y().SetRangeLow(1);
  a.Scale1Y().SetLogarithmic(true);
  a.Scale2X().SetLabelType(TFigType::ftTime);
  a.Scale2X().SetDecPlaces(1);
  const std::string written = WriteForm(a).dump();
  CountingChart b;
  b.SetName("Chart");
  b.CreateWnd();
  EXPECT_EQ(ChartFormError(b, written), "");
  EXPECT_EQ(WriteForm(b).dump(), written);
  EXPECT_EQ(b.Scale1X().RangeHigh(), 1e-200);
  // The same for a range a paint cannot map: read, then reported.
  a.Scale2Y().SetLogarithmic(true);  // 0 .. 1
  const std::string invalid = WriteForm(a).dump();
  EXPECT_EQ(ChartFormError(b, invalid), "");
  EXPECT_EQ(WriteForm(b).dump(), invalid);
  EXPECT_FALSE(b.IsLoading());
  EXPECT_THROW(b.Paint(), EVexaKelvoError);
}

// Whatever the setters take is written and read back equal: strings that
// are not UTF-8, separator bytes of 128 and above, any font height.
TEST_F(ChartTest, EverySettableValueRoundTripsThroughTheForm) {
  TKelvo a;
  a.SetName("A");
  uint32_t seed = 99;
  auto byte = [&] { return static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24); };
  for (int round = 0; round < 60; ++round) {
    std::string caption, inscript;
    for (int i = 0; i < round % 9; ++i) caption += byte();
    for (int i = 0; i < 3; ++i) inscript += byte();
    a.SetCaption(caption);
    a.Scale1X().SetScaleInscript(inscript);
    a.Scale1Y().DateFormat().SetDateSeparator(byte());
    a.Scale1Y().DateFormat().SetTimeSeparator(static_cast<char>(128 + round % 128));
    a.Font().SetHeight(round % 2 ? 1000000 : -2000000000 + round);
    const std::string text = WriteForm(a).dump();
    TKelvo b;
    b.SetName("A");
    ASSERT_EQ(ChartFormError(b, text), "") << round;
    EXPECT_EQ(b.Caption(), caption);
    EXPECT_EQ(b.Scale1X().ScaleInscript(), inscript);
    EXPECT_EQ(b.Scale1Y().DateFormat().DateSeparator(), a.Scale1Y().DateFormat().DateSeparator());
    EXPECT_EQ(b.Scale1Y().DateFormat().TimeSeparator(), a.Scale1Y().DateFormat().TimeSeparator());
    EXPECT_EQ(b.Font().Height(), a.Font().Height());
    EXPECT_EQ(WriteForm(b).dump(), text);
  }
  // UTF-8 stays a plain string; other bytes become their values.
  a.SetCaption("Gr\xC3\xBC\xC3\x9F");
  EXPECT_TRUE(WriteForm(a)["Caption"].is_string());
  a.SetCaption("\xFC");
  EXPECT_EQ(WriteForm(a)["Caption"], TFormValue::array({252}));
}

TEST_F(ChartTest, DataSharingGroups) {
  TKelvo p1, p2, p3, p4, p5, p6;
  auto& messages = HeadlessWindowServices().Messages();
  p2.SetUseDataOf(&p1);
  p3.SetUseDataOf(&p2);  // links to the root of the group
  EXPECT_EQ(p3.UseDataOf(), &p1);
  p4.SetUseDataOf(&p1);
  p5.SetUseDataOf(&p1);
  p6.SetUseDataOf(&p1);  // a fifth user
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "Kelvo: Max. number of data shares exceeded");
  EXPECT_EQ(p6.UseDataOf(), nullptr);
  p1.SetUseDataOf(&p6);
  EXPECT_EQ(messages.back().Text,
            "Kelvo: Cannot use foreign data. Other Kelvos are using my own data.");
  p6.SetUseDataOf(&p6);
  EXPECT_EQ(messages.back().Text, "Kelvo: Cannot share data with myself");
  // A command on a user reaches everyone; ClearGraph on a user empties everyone.
  p3.Rectangle(0, 0, 1, 1);
  EXPECT_EQ(p1.ItemCount(), 1);
  EXPECT_EQ(p5.ItemCount(), 1);
  p2.SetUseDataOf(nullptr);  // unlinking keeps what it showed
  EXPECT_EQ(p2.ItemCount(), 1);
  p2.Rectangle(5, 5, 6, 6);
  EXPECT_EQ(p2.ItemCount(), 2);
  EXPECT_EQ(p1.ItemCount(), 1);  // later commands stay its own
  p4.ClearGraph();
  EXPECT_EQ(p1.ItemCount(), 0);
  EXPECT_EQ(p3.ItemCount(), 0);
  EXPECT_EQ(p2.ItemCount(), 2);
  p6.SetUseDataOf(&p1);  // a slot is free again
  EXPECT_EQ(p6.UseDataOf(), &p1);
}

TEST_F(ChartTest, DestroyingAGroupMemberUnlinksIt) {
  TKelvo p1;
  {
    TKelvo p2;
    p2.SetUseDataOf(&p1);
    p1.Rectangle(0, 0, 1, 1);
  }
  p1.Rectangle(1, 1, 2, 2);  // no dangling user
  auto user = std::make_unique<TKelvo>(), other = std::make_unique<TKelvo>();
  {
    TKelvo source;
    user->SetUseDataOf(&source);
    other->SetUseDataOf(&source);
    source.Rectangle(0, 0, 3, 3);
    source.AddSeries("kept").Append(1, 1);
  }
  EXPECT_EQ(user->UseDataOf(), nullptr);
  EXPECT_EQ(user->ItemCount(), 1);  // kept a private copy
  user->Rectangle(0, 0, 1, 1);
  EXPECT_EQ(user->ItemCount(), 2);
  EXPECT_EQ(other->ItemCount(), 1);
  // The series too are each user's own now.
  ASSERT_EQ(other->SeriesCount(), 1u);
  user->Series(0).Append(2, 2);
  user->AddSeries("mine");
  EXPECT_EQ(other->Series(0).Count(), 1u);
  EXPECT_EQ(other->SeriesCount(), 1u);
}

// Assign into a member of a group: a user leaves the group with the copies;
// a source hands them on, so the group shows one list.
TEST_F(ChartTest, AssignIntoASharingGroupKeepsTheGroupConsistent) {
  TKelvo model, source, user, other;
  model.Rectangle(0, 0, 1, 1);
  model.AddSeries("model").Append(1, 1);
  user.SetUseDataOf(&source);
  other.SetUseDataOf(&source);
  source.Rectangle(0, 0, 5, 5);
  source.Rectangle(0, 0, 6, 6);
  user.Assign(&model);
  EXPECT_EQ(user.UseDataOf(), nullptr);
  EXPECT_EQ(user.ItemCount(), 1);
  EXPECT_EQ(source.ItemCount(), 2);
  EXPECT_EQ(other.ItemCount(), 2);
  source.Assign(&model);
  EXPECT_EQ(other.UseDataOf(), &source);
  EXPECT_EQ(other.ItemCount(), 1);
  ASSERT_EQ(other.SeriesCount(), 1u);
  EXPECT_EQ(&other.Series(0), &source.Series(0));
  other.Rectangle(2, 2, 3, 3);
  EXPECT_EQ(source.ItemCount(), 2);
  EXPECT_EQ(user.ItemCount(), 1);
}

}  // namespace
