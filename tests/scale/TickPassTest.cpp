// The numeric tick passes, observed through the tick events, the labels
// and the tick table.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "kelvo/scale/Scale.h"

using namespace vexa;

namespace {

// A live scale that records what a paint does.
struct Recorder {
  TScale Scale;
  std::vector<std::string> Labels;
  std::vector<double> LabelValues;
  std::vector<double> Ticks;
  std::vector<std::string> Order;  // "T" tick event, "L" label event

  explicit Recorder(TScaleType type = TScaleType::sctXB) {
    Scale.CreateWnd();
    Scale.Loaded();
    Scale.SetScaleType(type);
    Scale.OnBeforeTickLabel = [this](TObject*, TScaleType, double v, std::string& label) {
      Labels.push_back(label);
      LabelValues.push_back(v);
      Order.push_back("L");
    };
    Scale.OnScaleTickDrawn = [this](TObject*, TCanvas&, TScaleType, double v, int32_t, int32_t) {
      Ticks.push_back(v);
      Order.push_back("T");
    };
  }
  void Paint() {
    Labels.clear();
    LabelValues.clear();
    Ticks.clear();
    Order.clear();
    Scale.Paint();
  }
  void Range(double lo, double hi) {
    Scale.SetRangeLow(lo);
    Scale.SetRangeHigh(hi);
  }
};

using Strings = std::vector<std::string>;

TEST(LinearPass, ZeroToHundredInThreeIntervals) {
  Recorder r(TScaleType::sctYL);
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"0", "20", "40", "60", "80", "100"}));
  // Vertical: 21 short ticks and the 6 majors again.
  EXPECT_EQ(r.Scale.NumTicks(), 27);
  EXPECT_EQ(r.Scale.TickPos(1), 0);
  EXPECT_EQ(r.Scale.TickPos(2), 5);
  EXPECT_EQ(r.Scale.TickPos(21), 100);
  EXPECT_EQ(r.Scale.TickPos(22), 0);
  EXPECT_EQ(r.Scale.TickPos(27), 100);
  EXPECT_EQ(r.Scale.TickPos(28), 0.0);
  Recorder h(TScaleType::sctXB);
  h.Paint();
  EXPECT_EQ(h.Scale.NumTicks(), 21);  // horizontal: the short ticks hold the majors
  h.Scale.SetShortTicks(false);
  h.Paint();
  EXPECT_EQ(h.Scale.NumTicks(), 6);
  EXPECT_EQ(h.Ticks, (std::vector<double>{0, 20, 40, 60, 80, 100}));
}

TEST(LinearPass, EventOrderDependsOnOrientation) {
  Recorder v(TScaleType::sctYR);
  v.Scale.SetShortTicks(false);
  v.Paint();
  ASSERT_GE(v.Order.size(), 4u);
  EXPECT_EQ(v.Order[0], "T");  // vertical: tick, then label
  EXPECT_EQ(v.Order[1], "L");
  Recorder h(TScaleType::sctXT);
  h.Scale.SetShortTicks(false);
  h.Paint();
  EXPECT_EQ(h.Order[0], "L");  // horizontal: label, then tick
  EXPECT_EQ(h.Order[1], "T");
}

TEST(LinearPass, UnitIntervalGetsTwoDecimals) {
  Recorder r;
  r.Range(0, 1);
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"0.00", "0.20", "0.40", "0.60", "0.80", "1.00"}));
}

TEST(LinearPass, ReversedRangeRunsDownwards) {
  Recorder r;
  r.Range(100, 0);
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"100", "80", "60", "40", "20", "0"}));
  EXPECT_EQ(r.Scale.ValueToPixel(100), 20);
}

TEST(LinearPass, ATickAHairFromZeroIsZero) {
  Recorder r;
  r.Range(-0.3, 0.3);
  r.Scale.SetMinTicks(6);
  r.Scale.SetShortTicks(false);
  r.Paint();
  ASSERT_EQ(r.Labels.size(), 7u);
  EXPECT_EQ(r.Labels[3], "0.00");
  EXPECT_EQ(r.LabelValues[3], 0.0);  // exactly zero for the handler
  EXPECT_EQ(r.Ticks[3], 0.0);        // and for the tick event after the label
  EXPECT_EQ(r.Labels[0], "-0.30");
}

TEST(LinearPass, LargeSpansUseTheExponentForm) {
  Recorder r;
  r.Range(0, 2000000);
  r.Paint();
  ASSERT_FALSE(r.Labels.empty());
  EXPECT_EQ(r.Labels[0], "0.0");  // zero on a span beyond 100000
  EXPECT_EQ(r.Labels[1], " 5.0E+05");
  EXPECT_EQ(r.Labels.back(), " 2.0E+06");
}

TEST(LinearPass, DecPlacesZeroLabelsOnlyWholeNumbers) {
  Recorder r;
  r.Range(0, 2);  // step 0.5
  r.Scale.SetDecPlaces(0);
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"0", "", "1", "", "2"}));
}

TEST(LinearPass, UserTextsAndInscripts) {
  Recorder r;
  r.Range(0, 4);
  r.Scale.SetMinTicks(4);  // step 1: five majors
  r.Scale.SetLabelType(TFigType::ftUserText);
  r.Scale.SetUserTickText("Jan|Feb|Mar");
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"Jan", "Feb", "Mar", "Mar", "Mar"}));
  r.Scale.SetLabelType(TFigType::ftNum);
  r.Scale.SetScaleInscript("& kg");
  r.Paint();
  EXPECT_EQ(r.Labels[1], "1.0 kg");
  r.Scale.SetScaleInscript("$");
  r.Paint();
  EXPECT_EQ(r.Labels[2], "$2.0");
}

TEST(LinearPass, NoFiguresMeansNoLabels) {
  Recorder r;
  r.Scale.SetLabelType(TFigType::ftNoFigs);
  r.Paint();
  EXPECT_TRUE(r.Labels.empty());
  EXPECT_FALSE(r.Ticks.empty());
}

TEST(LinearPass, AHandlerCanReplaceTheLabel) {
  Recorder r;
  r.Scale.OnBeforeTickLabel = [](TObject*, TScaleType, double v, std::string& label) {
    label = v == 40 ? "forty" : "";
  };
  r.Scale.SetTransparent(false);
  r.Scale.Paint();
  // The replacement is drawn: ink appears near the tick of 40 only.
  TCanvas& c = r.Scale.Canvas();
  const int x = r.Scale.ValueToPixel(40);
  int ink = 0;
  for (int y = 340; y < 372; ++y)
    for (int dx = -40; dx <= 40; ++dx) ink += ((c.Pixels(x + dx, y) >> 8) & 0xFF) < 0x60;
  EXPECT_GT(ink, 10);
  int elsewhere = 0;  // no other label was drawn
  const int x0 = r.Scale.ValueToPixel(0);
  for (int y = 340; y < 372; ++y)
    for (int dx = -10; dx <= 10; ++dx) elsewhere += ((c.Pixels(x0 + dx, y) >> 8) & 0xFF) < 0x60;
  EXPECT_EQ(elsewhere, 0);
}

TEST(LinearPass, TheTickTableKeepsTheFirst250) {
  Recorder r;
  r.Range(0, 299);
  r.Scale.SetMinTicks(0);  // unit steps
  r.Scale.SetShortTicks(false);
  r.Scale.SetLabelType(TFigType::ftNoFigs);
  r.Paint();
  EXPECT_EQ(r.Ticks.size(), 300u);  // all are drawn
  EXPECT_EQ(r.Scale.NumTicks(), 250);
  EXPECT_EQ(r.Scale.TickPos(250), 249);
  EXPECT_EQ(r.Scale.TickPos(251), 0.0);
}

TEST(LogarithmicPass, DecadesOnlyOrWithIntermediates) {
  Recorder r(TScaleType::sctYL);
  r.Range(1, 1000);
  r.Scale.SetLogarithmic(true);
  ASSERT_TRUE(r.Scale.Logarithmic());
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"1", "10", "100", "1000"}));
  EXPECT_EQ(r.Ticks, (std::vector<double>{1, 10, 100, 1000}));
  r.Scale.SetMinTicks(4);
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"1", "2", "5", "10", "20", "50", "100", "200", "500", "1000"}));
  EXPECT_EQ(r.Ticks.size(), 28u);  // 1..9 in three decades and 1000
}

TEST(LogarithmicPass, SmallValuesLoseTrailingZeros) {
  Recorder r;
  r.Range(0.01, 10);
  r.Scale.SetLogarithmic(true);
  r.Scale.SetMinTicks(4);
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"0.01", "0.02", "0.05", "0.1", "0.2", "0.5", "1", "2", "5", "10"}));
}

TEST(LogarithmicPass, ExponentOnlyLabels) {
  Recorder r;
  r.Range(0.01, 10);
  r.Scale.SetLogarithmic(true);
  r.Scale.SetMinTicks(4);
  r.Scale.SetDecPlaces(-3);
  r.Paint();
  EXPECT_EQ(r.Labels, (Strings{"-2", "", "", "-1", "", "", "0", "", "", "1"}));
}

TEST(LogarithmicPass, HorizontalShortTicksWithoutLinesStillReport) {
  Recorder r(TScaleType::sctXB);
  r.Range(1, 100);
  r.Scale.SetLogarithmic(true);
  r.Scale.SetMinTicks(5);
  r.Scale.SetShortTicks(false);
  r.Paint();
  EXPECT_EQ(r.Ticks.size(), 19u);    // every tick is reported
  EXPECT_EQ(r.Scale.NumTicks(), 7);  // only 1, 2, 5, 10, 20, 50, 100 recorded
  Recorder v(TScaleType::sctYL);
  v.Range(1, 100);
  v.Scale.SetLogarithmic(true);
  v.Scale.SetMinTicks(5);
  v.Scale.SetShortTicks(false);
  v.Paint();
  EXPECT_EQ(v.Ticks.size(), 7u);  // vertical: short ticks skipped entirely
}

TEST(LogarithmicPass, LessThanADecadeFallsBackToLinear) {
  Recorder r;
  r.Range(2, 15);
  r.Scale.SetLogarithmic(true);
  ASSERT_TRUE(r.Scale.Logarithmic());
  r.Paint();
  // Linear steps of 2 from 2 to 14, one decimal for a span of 13.
  EXPECT_EQ(r.Labels, (Strings{"2.0", "4.0", "6.0", "8.0", "10.0", "12.0", "14.0"}));
}

// A paint's work is bounded by the axis, not by the range: no pass draws
// more ticks or labels than the axis has pixels to show (four per pixel
// and a few), and no tick or label value that reaches an event is infinite
// or undefined.
TEST(TickPassRobustness, NoRangeHangsOrCrashesAPaint) {
  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  const double big = std::numeric_limits<double>::max();
  const std::pair<double, double> ranges[] = {
      {0, 1e12},
      {-1e308, 1e308},
      {-big, big},
      {1, big},
      {1, inf},
      {1e-300, 1e300},
      {0, 1e-300},
      {1e-300, 2e-300},
      {nan, 1},
      {0, nan},
      {-inf, inf},
      {0, inf},
      {1e25, 1e25 + 1e10},
      {-1e308, -1e307},
      // Date/time edges: the first and last valid days, a day before the
      // origin, a millisecond at the far end of the calendar.
      {-693593, 3000000},
      {-1.75, -1.5},
      {2958465, 2958465 + 1e-8},
      {-693593, -693592.99}};
  const size_t perPass = 4 * (Recorder().Scale.Width() - 40) + 64;  // margins 20 and 20
  for (TScaleType type : {TScaleType::sctXB, TScaleType::sctYL}) {
    for (int minTicks : {0, 3}) {
      for (int mode = 0; mode < 4; ++mode) {  // linear, logarithmic, time of day, date/time
        for (int decimals : {-2, 0, 5}) {
          for (auto [lo, hi] : ranges) {
            Recorder r(type);
            r.Range(lo, hi);
            r.Scale.SetMinTicks(minTicks);
            r.Scale.SetDecPlaces(decimals);
            if (mode == 1) r.Scale.SetLogarithmic(true);
            if (mode == 2) r.Scale.SetLabelType(TFigType::ftTime);
            if (mode == 3) r.Scale.SetLabelType(TFigType::ftDateTime);
            r.Paint();  // a hang or a crash would never get past this
            const std::string what = std::to_string(mode) + ": " + std::to_string(lo) + ".." +
                                     std::to_string(hi) + " min " + std::to_string(minTicks);
            EXPECT_LE(r.Ticks.size(), 2 * perPass) << what;
            EXPECT_LE(r.Labels.size(), 2 * perPass) << what;
            EXPECT_LE(r.Scale.NumTicks(), 250);
            for (double v : r.Ticks) ASSERT_TRUE(std::isfinite(v)) << what;
            for (double v : r.LabelValues) ASSERT_TRUE(std::isfinite(v)) << what;
            for (int32_t i = 1; i <= r.Scale.NumTicks(); ++i)
              ASSERT_TRUE(std::isfinite(r.Scale.TickPos(i))) << what;
          }
        }
      }
    }
  }
}

}  // namespace
