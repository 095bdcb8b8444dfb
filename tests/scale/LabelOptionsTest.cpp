// The axis label options: logarithmic labels as powers of ten or in
// e-notation, and labels that never overlap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelvo/platform/FontEngine.h"
#include "kelvo/scale/Scale.h"
#include "kelvo/scale/TickLabels.h"
#include "support/Random.h"
#include "support/TextBoxes.h"

using namespace vexa;

namespace {

TEST(LogStyleLabel, PowersAndENotation) {
  EXPECT_EQ(LogStyleLabel(true, 1, -6), "10^-6");
  EXPECT_EQ(LogStyleLabel(true, 1, 0), "10^0");
  EXPECT_EQ(LogStyleLabel(true, 2, 3), "2\u00D710^3");
  EXPECT_EQ(LogStyleLabel(false, 1, -6), "1e-6");
  EXPECT_EQ(LogStyleLabel(false, 5, 20), "5e20");
}

using kelvo::test::TTextBoxes;

std::unique_ptr<TScale> LiveScale(TScaleType Type, double Low, double High) {
  auto s = std::make_unique<TScale>();
  s->CreateWnd();
  s->Loaded();
  s->SetScaleType(Type);
  s->SetRangeLow(Low);
  s->SetRangeHigh(High);
  return s;
}

TEST(LogLabels, EachStyle) {
  auto s = LiveScale(TScaleType::sctYL, 1e-6, 1);
  std::vector<std::string> labels;
  s->OnBeforeTickLabel = [&](TObject*, TScaleType, double, std::string& l) { labels.push_back(l); };
  const struct {
    TLogLabelStyle Style;
    std::vector<std::string> Labels;
  } cases[] = {
      {TLogLabelStyle::llsPlain, {"0.000001", "0.00001", "0.0001", "0.001", "0.01", "0.1", "1"}},
      {TLogLabelStyle::llsPower, {"10^-6", "10^-5", "10^-4", "10^-3", "10^-2", "10^-1", "10^0"}},
      {TLogLabelStyle::llsScientific, {"1e-6", "1e-5", "1e-4", "1e-3", "1e-2", "1e-1", "1e0"}}};
  for (const auto& k : cases) {
    s->SetLogarithmic(true);
    s->SetLogLabelStyle(k.Style);
    labels.clear();
    TTextBoxes texts;
    {
      TCanvasRecorder::TScope scope(texts);
      s->Paint();
    }
    EXPECT_EQ(labels, k.Labels) << static_cast<int>(k.Style);
    if (k.Style != TLogLabelStyle::llsPower) continue;
    // Each power is written as "10" and its raised exponent, in a smaller
    // font, right of it and above its top.
    ASSERT_EQ(texts.Boxes.size(), 2 * k.Labels.size());
    for (size_t i = 0; i < texts.Boxes.size(); i += 2) {
      const TRect base = texts.Boxes[i].R, exponent = texts.Boxes[i + 1].R;
      EXPECT_EQ(texts.Boxes[i].Text, "10");
      EXPECT_EQ(exponent.Left, base.Right);
      EXPECT_LT(exponent.Top, base.Top);
      EXPECT_LT(exponent.Bottom - exponent.Top, base.Bottom - base.Top);
    }
    EXPECT_EQ(texts.Boxes[1].Text, "\u22126");
  }
}

// Dense axes of every kind, short and long: with AvoidLabelOverlap no two
// labels meet; without it some do (so the test can tell).
TEST(AvoidLabelOverlap, NoTwoLabelsMeet) {
  kelvo::test::TRandom r{5};
  int overlappingWithout = 0;
  for (int trial = 0; trial < 120; ++trial) {
    const TScaleType type = static_cast<TScaleType>(r.Below(4));
    const int kind = r.Below(4);  // numbers, logarithmic, time of day, dates
    double lo = 0, hi = 1;
    switch (kind) {
      case 0:
        lo = -r.Real() * 1e6, hi = lo + 1e-3 + r.Real() * 1e7;
        break;
      case 1:
        lo = 1e-30 * (1 + r.Real()), hi = lo * std::pow(10.0, 2 + r.Below(40));
        break;
      case 2:
        lo = r.Real() * 10000, hi = lo + 60 + r.Real() * 80000;
        break;
      default:
        lo = 40000 + r.Real() * 10000, hi = lo + 0.01 + r.Real() * (r.Below(2) ? 3 : 3000);
        break;
    }
    auto s = LiveScale(type, lo, hi);
    s->SetBounds(0, 0, 60 + r.Below(500), 60 + r.Below(500));
    s->SetMinTicks(10);
    if (kind == 1) s->SetLogarithmic(true);
    if (kind == 1) s->SetLogLabelStyle(static_cast<TLogLabelStyle>(r.Below(3)));
    if (kind == 2) s->SetLabelType(TFigType::ftTime);
    if (kind == 3) s->SetLabelType(TFigType::ftDateTime);
    for (bool avoid : {false, true}) {
      s->SetAvoidLabelOverlap(avoid);
      TTextBoxes texts;
      {
        TCanvasRecorder::TScope scope(texts);
        s->Paint();
      }
      int overlaps = 0;
      for (size_t i = 0; i < texts.Boxes.size(); ++i)
        for (size_t j = i + 1; j < texts.Boxes.size(); ++j) {
          const TRect& a = texts.Boxes[i].R;
          const TRect& b = texts.Boxes[j].R;
          overlaps += a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
        }
      if (avoid)
        EXPECT_EQ(overlaps, 0) << "trial " << trial << " kind " << kind << " " << lo << ".." << hi;
      else
        overlappingWithout += overlaps > 0;
    }
  }
  EXPECT_GT(overlappingWithout, 10);
}

}  // namespace
