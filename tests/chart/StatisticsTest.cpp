// Statistics plots: histograms against their equivalent items, counting,
// normalisation and automatic bins; quartiles and whiskers against figures
// worked out by hand and, where python3-numpy is installed, by numpy.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "kelvo/chart/Statistics.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Streaming.h"
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

// The histogram's items: a box per bin with a value, or the step outline.
void AppendEquivalentItems(TKelvo& c, const THistogram& h) {
  c.SetDataColor(h.Color());
  c.SetPenStyle(h.PenStyle());
  c.SetLineWidth(h.LineWidth());
  c.SetFillColor(h.AreaColor() == clNone ? h.Color() : h.AreaColor());
  if (h.Style() == THistStyle::hsBars) {
    for (int64_t k = 0; k < h.BinCount(); ++k)
      if (h.BinValue(k) != 0) c.Rectangle(h.BinLow(k), 0, h.BinLow(k + 1), h.BinValue(k));
    return;
  }
  c.MoveTo(h.Low(), 0);
  for (int64_t k = 0; k < h.BinCount(); ++k) {
    c.DrawTo(h.BinLow(k), h.BinValue(k));
    c.DrawTo(h.BinLow(k + 1), h.BinValue(k));
  }
  c.DrawTo(h.High(), 0);
}

}  // namespace

// Random samples, bins, styles, normalisations, ranges (some far narrower
// than the bins' span) and ratios: the histogram's picture is its items'.
TEST(HistogramPicture, IsThatOfTheEquivalentItems) {
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    TRandom r{seed * 613};
    auto a = Chart(280, 210), b = Chart(280, 210);
    const double ratio = seed % 3 == 0 ? 1.5 : (seed % 3 == 1 ? 1.0 : 2.0);
    THistogram& h = a->AddHistogram("h");
    const int bins = 1 + r.Below(seed % 4 == 0 ? 2000 : 40);
    h.SetBins(-3 + r.Real(), 3 + r.Real() * 2, bins);
    std::vector<double> sample(500 + r.Below(3000));
    for (double& v : sample) v = (r.Real() + r.Real() + r.Real() - 1.5) * 2.5;
    h.Append(sample.data(), sample.size());
    h.SetStyle(seed % 2 ? THistStyle::hsBars : THistStyle::hsStep);
    h.SetNormalization(static_cast<THistNormalization>(r.Below(4)));
    h.SetColor(clNavy);
    h.SetAreaColor(seed % 5 == 0 ? clNone : clSkyBlue);
    h.SetLineWidth(1 + r.Below(3));
    AppendEquivalentItems(*b, h);
    a->FitLayerToData(1);
    const double x0 = a->Scale1X().RangeLow(), x1 = a->Scale1X().RangeHigh();
    const double y1 = a->Scale1Y().RangeHigh();
    const bool zoomed = seed % 3 == 2;
    for (TKelvo* c : {a.get(), b.get()}) {
      c->SetDevicePixelRatio(ratio);
      if (zoomed)
        c->SetLayerRanges(1, x0 + (x1 - x0) * 0.4, 0, x0 + (x1 - x0) * 0.45, y1, false);
      else
        c->SetLayerRanges(1, x0, 0, x1, y1 * 1.1, false);
      c->Paint();
    }
    ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface()))
        << "seed " << seed << ", " << bins << " bins at " << ratio;
  }
}

TEST(HistogramCounting, BinsEdgesAndWhatFallsOutside) {
  THistogram h("h");
  h.SetBins(0, 10, 5);
  const double v[] = {0, 1.99, 2, 9.99, 10, -0.001, 10.001, NaN, Inf, -Inf, 5};
  h.Append(v, std::size(v));
  EXPECT_EQ(h.BinCount(0), 2u);  // 0 and 1.99
  EXPECT_EQ(h.BinCount(1), 1u);  // 2
  EXPECT_EQ(h.BinCount(2), 1u);  // 5
  EXPECT_EQ(h.BinCount(4), 2u);  // 9.99 and the high edge itself
  EXPECT_EQ(h.Underflow(), 2u);  // -0.001, -inf
  EXPECT_EQ(h.Overflow(), 2u);   // 10.001, +inf
  EXPECT_EQ(h.Invalid(), 1u);
  EXPECT_EQ(h.Total(), 6u);
  EXPECT_EQ(h.BinLow(5), 10);
  EXPECT_EQ(h.BinLow(3), 6);
  h.SetNormalization(THistNormalization::hnProbability);
  EXPECT_DOUBLE_EQ(h.BinValue(0), 2.0 / 6);
  h.SetNormalization(THistNormalization::hnDensity);
  double area = 0;
  for (int k = 0; k < 5; ++k) area += h.BinValue(k) * h.BinWidth();
  EXPECT_DOUBLE_EQ(area, 1);
  h.SetNormalization(THistNormalization::hnCumulative);
  EXPECT_DOUBLE_EQ(h.BinValue(1), 3.0 / 6);
  EXPECT_DOUBLE_EQ(h.BinValue(4), 1);
  h.Clear();
  EXPECT_EQ(h.Total() + h.Underflow() + h.Invalid(), 0u);
  EXPECT_EQ(h.BinValue(4), 0);
}

// Freedman-Diaconis: 1 .. 100 has IQR 49.5 and 100^(1/3) = 4.64, so bins
// 21.33 wide: ceil(99 / 21.33) = 5. Without spread, Sturges; one value, one bin.
TEST(HistogramCounting, AutomaticBins) {
  THistogram h;
  std::vector<double> v(100);
  std::iota(v.begin(), v.end(), 1.0);
  v.push_back(NaN);
  h.AutoBins(v.data(), v.size());
  EXPECT_EQ(h.BinCount(), 5);
  EXPECT_EQ(h.Low(), 1);
  EXPECT_EQ(h.High(), 100);
  std::vector<double> flat(64, 3.0);
  flat[0] = 1, flat[63] = 9;  // IQR 0: log2 64 + 1 = 7 bins
  h.AutoBins(flat.data(), flat.size());
  EXPECT_EQ(h.BinCount(), 7);
  const double one[] = {4, 4, 4};
  h.AutoBins(one, 3);
  EXPECT_EQ(h.BinCount(), 1);
  EXPECT_EQ(h.Low(), 3.5);
  const double none[] = {NaN, Inf};
  EXPECT_THROW(h.AutoBins(none, 2), EVexaKelvoError);
}

TEST(HistogramCounting, BadBinsAreRefusedBeforeAllocating) {
  THistogram h("h");
  h.SetBins(0, 1, 10);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(h.SetBins(0, 1, 1000000000), EVexaKelvoError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_THROW(h.SetBins(0, 1, 0), EVexaKelvoError);
  EXPECT_THROW(h.SetBins(1, 1, 5), EVexaKelvoError);
  EXPECT_THROW(h.SetBins(2, 1, 5), EVexaKelvoError);
  EXPECT_THROW(h.SetBins(NaN, 1, 5), EVexaKelvoError);
  EXPECT_THROW(h.SetBins(0, Inf, 5), EVexaKelvoError);
  EXPECT_THROW(h.SetBins(1e16, 1e16 + 4, 1000), EVexaKelvoError);  // edges not told apart
  EXPECT_THROW(h.BinCount(10), EVexaKelvoError);
  EXPECT_EQ(h.BinCount(), 10);  // unchanged
}

// Quartiles by linear interpolation between order statistics, worked out
// by hand; NaN and infinities left out and counted.
TEST(BoxStatistics, QuartilesAndWhiskersByHand) {
  struct {
    std::vector<double> Sample;
    double Q1, Median, Q3, Low, High;
    size_t Outliers, Invalid;
  } table[] = {
      {{1, 2, 3, 4}, 1.75, 2.5, 3.25, 1, 4, 0, 0},
      {{4, 1, 3, 2, NaN, Inf}, 1.75, 2.5, 3.25, 1, 4, 0, 2},
      {{1, 1, 1, 2}, 1, 1, 1.25, 1, 1.25, 1, 0},  // fence up to 1.625: 2 beyond; no value
                                                  // within it above Q3: the whisker at Q3
      {{5}, 5, 5, 5, 5, 5, 0, 0},
      {{1, 3}, 1.5, 2, 2.5, 1, 3, 0, 0},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 100}, 3.25, 5.5, 7.75, 1, 9, 1, 0},
      {{-20, 1, 2, 3, 4}, 1, 2, 3, 1, 4, 1, 0},
  };
  for (const auto& t : table) {
    const TBoxStats s = BoxStatsOf(t.Sample.data(), t.Sample.size(), 1.5);
    EXPECT_EQ(s.Q1, t.Q1);
    EXPECT_EQ(s.Median, t.Median);
    EXPECT_EQ(s.Q3, t.Q3);
    EXPECT_EQ(s.Low, t.Low);
    EXPECT_EQ(s.High, t.High);
    EXPECT_EQ(s.Outliers.size(), t.Outliers);
    EXPECT_EQ(s.Invalid, t.Invalid);
  }
  const TBoxStats empty = BoxStatsOf(nullptr, 0, 1.5);
  EXPECT_EQ(empty.Count, 0u);
}

// Ten million values 0 .. N - 1 in a scrambled order: the P-quantile is
// (N - 1) P exactly.
TEST(BoxStatistics, TenMillionValues) {
  constexpr size_t N = 10000000;
  std::vector<double> v(N);
  for (size_t i = 0; i < N; ++i) v[i] = double((uint64_t{i} * 7919) % N);  // 7919 is prime to N
  const TBoxStats s = BoxStatsOf(v.data(), N, 1.5);
  EXPECT_EQ(s.Q1, 2499999.75);
  EXPECT_EQ(s.Median, 4999999.5);
  EXPECT_EQ(s.Q3, 7499999.25);
  EXPECT_EQ(s.Low, 0);
  EXPECT_EQ(s.High, double(N - 1));
  EXPECT_DOUBLE_EQ(s.Mean, 4999999.5);
}

// Against numpy's percentile (its default, linear rule) on samples with
// ties and NaN, when Debian's python3 with numpy is there (the project's
// scripts install it; emulated platforms have no Python).
TEST(BoxStatistics, AgreesWithNumpy) {
  if (std::system("/usr/bin/python3 -c 'import numpy' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3-numpy is not installed";
  const std::string dir = ::testing::TempDir();
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    TRandom r{seed * 101};
    std::vector<double> v(1 + r.Below(seed % 3 == 0 ? 5 : 4000));
    for (double& x : v) x = r.Below(7) == 0 ? NaN : std::round(r.Real() * 50) / 4;  // ties
    v[0] = 3.25;  // one finite value at least
    const std::string in = dir + "/box-sample.txt", out = dir + "/box-numpy.txt";
    {
      std::ofstream f(in);
      f.precision(17);
      for (double x : v) f << x << "\n";
    }
    const std::string cmd =
        "/usr/bin/python3 -c \"import numpy as n; v=n.loadtxt('" + in +
        "', ndmin=1); v=v[n.isfinite(v)]; q=n.percentile(v,[25,50,75]); i=q[2]-q[0]; "
        "w=v[(v>=q[0]-1.5*i)&(v<=q[2]+1.5*i)]; "
        "print(repr(q[0]),repr(q[1]),repr(q[2]),repr(min(w.min(),q[0])),repr(max(w.max(),q[2])),"
        "repr(v.mean()))\" > " +
        out;
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream f(out);
    double q1, med, q3, lo, hi, mean;
    ASSERT_TRUE(f >> q1 >> med >> q3 >> lo >> hi >> mean);
    const TBoxStats s = BoxStatsOf(v.data(), v.size(), 1.5);
    EXPECT_EQ(s.Q1, q1) << seed;
    EXPECT_EQ(s.Median, med) << seed;
    EXPECT_EQ(s.Q3, q3) << seed;
    EXPECT_EQ(s.Low, lo) << seed;
    EXPECT_EQ(s.High, hi) << seed;
    EXPECT_NEAR(s.Mean, mean, 1e-12 * std::fabs(mean) + 1e-12) << seed;
  }
}

// Random groups, widths, fills and ranges: every box is the picture of its
// items; an empty sample draws nothing.
TEST(BoxPlotPicture, IsThatOfTheEquivalentItems) {
  for (uint64_t seed = 1; seed <= 24; ++seed) {
    TRandom r{seed * 389};
    auto a = Chart(260, 200), b = Chart(260, 200);
    const double ratio = seed % 3 == 0 ? 1.5 : (seed % 3 == 1 ? 1.0 : 2.0);
    TBoxPlot& p = a->AddBoxPlot("p");
    p.SetBoxWidth(0.2 + r.Real() * 0.7);
    p.SetMeanVisible(seed % 2 == 0);
    p.SetOutlierSymbol(static_cast<uint8_t>(r.Below(14)));
    p.SetAreaColor(seed % 4 == 0 ? clYellow : clWhite);
    p.SetColor(clNavy);
    p.SetLineWidth(1 + r.Below(2));
    for (int g = 0; g < 5; ++g) {
      std::vector<double> v(g == 3 ? 0 : 20 + r.Below(200));
      for (double& x : v) x = (r.Real() - 0.5) * (2 + g) + (r.Below(30) == 0 ? 9 : 0) + g;
      p.AddBox(g, v.data(), v.size());
    }
    p.AddBoxStats(5, 1, 2, 2.5, 4, 6);
    // The items, as the box plot defines them.
    b->SetDataColor(clNavy);
    b->SetLineWidth(p.LineWidth());
    for (size_t k = 0; k < p.BoxCount(); ++k) {
      const TBoxStats& s = p.Box(k);
      if (s.Count == 0) continue;
      const double x = p.BoxPosition(k), h = p.BoxWidth() / 2, cap = p.BoxWidth() / 4;
      b->SetFillColor(p.AreaColor());
      b->Rectangle(x - h, s.Q1, x + h, s.Q3);
      b->Line(x - h, s.Median, x + h, s.Median);
      b->Line(x, s.Q3, x, s.High);
      b->Line(x, s.Q1, x, s.Low);
      b->Line(x - cap, s.High, x + cap, s.High);
      b->Line(x - cap, s.Low, x + cap, s.Low);
      b->SetFillColor(p.FillColor());
      for (double o : s.Outliers) b->MarkAt(x, o, p.OutlierSymbol());
      if (p.MeanVisible()) b->MarkAt(x, s.Mean, 13);
    }
    for (TKelvo* c : {a.get(), b.get()}) {
      c->SetDevicePixelRatio(ratio);
      c->SetLayerRanges(1, -1, -4, 6, 16, false);
      c->Paint();
    }
    ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface())) << "seed " << seed;
    int32_t px, py;
    a->WorldToPixel(1, 2, p.Box(2).Median, px, py);
    const TNearestItem near = a->FindNearestItem(px, py, 3);
    EXPECT_EQ(near.Point, 2);
    EXPECT_EQ(near.Plottable, 0);
  }
}

TEST(BoxPlotInput, BadFiguresAreRefused) {
  TBoxPlot p("p");
  EXPECT_THROW(p.AddBoxStats(0, 1, 3, 2, 4, 5), EVexaKelvoError);  // out of order
  EXPECT_THROW(p.AddBoxStats(0, 1, 2, NaN, 4, 5), EVexaKelvoError);
  EXPECT_THROW(p.AddBox(Inf, nullptr, 0), EVexaKelvoError);
  EXPECT_THROW(p.SetBoxWidth(0), EVexaKelvoError);
  EXPECT_THROW(p.SetWhiskerRange(NaN), EVexaKelvoError);
  const double nans[] = {NaN, NaN};
  p.AddBox(1, nans, 2);  // added, draws nothing
  EXPECT_EQ(p.BoxCount(), 1u);
  EXPECT_EQ(p.Box(0).Count, 0u);
  EXPECT_EQ(p.Box(0).Invalid, 2u);
  EXPECT_THROW(p.Box(1), EVexaKelvoError);
}

// A category axis labels the whole positions in range with its texts and
// nothing between; a huge list costs only the positions in range; invalid
// UTF-8 is drawn and stored as given.
TEST(CategoryAxis, LabelsTheWholePositionsInRange) {
  auto c = Chart(300, 200);
  c->Scale1X().SetCategories({"Mon", "Tue", "Wed", "Thu", "Fri"});
  c->SetLayerRanges(1, -0.5, 0, 4.5, 10, false);
  c->Paint();
  ASSERT_EQ(c->ScaleX(1).NumTicks(), 5);
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(c->ScaleX(1).TickPos(k), k - 1);
  c->SetLayerRanges(1, 1.2, 0, 3.7, 10, false);
  c->Paint();
  ASSERT_EQ(c->ScaleX(1).NumTicks(), 2);
  EXPECT_EQ(c->ScaleX(1).TickPos(1), 2);
  c->SetLayerRanges(1, 5.5, 0, 9, 10, false);  // past the last text
  c->Paint();
  EXPECT_EQ(c->ScaleX(1).NumTicks(), 0);

  std::vector<std::string> many(100000);
  for (size_t k = 0; k < many.size(); ++k) many[k] = "g" + std::to_string(k);
  many[7] = std::string("\xff\xfe bad \xc3", 8);  // not UTF-8
  c->Scale1X().SetCategories(many);
  c->SetLayerRanges(1, 0, 0, 99999, 10, false);
  c->Paint();  // labels only what fits the budget of the axis' pixels
  EXPECT_LE(c->ScaleX(1).NumTicks(), 4 * 300 + 64);
  c->SetLayerRanges(1, 6, 0, 8, 10, false);
  c->Paint();
  EXPECT_EQ(c->ScaleX(1).NumTicks(), 3);

  TScalePropsHoriz stored;
  stored.SetCategories({"a|b", "", many[7]});
  TScalePropsHoriz read;
  ReadForm(read, WriteForm(stored), "test", "Scale1X");
  EXPECT_EQ(read.Categories(), stored.Categories());
  EXPECT_EQ(WriteForm(TScalePropsHoriz()).dump().find("Categories"), std::string::npos);
}

// One picture: a histogram with its density as a step outline over the
// bars, and box plots on a category axis.
TEST(StatisticsPicture, HistogramAndBoxPlots) {
  auto c = Chart(260, 260);
  c->SetMarginRight(10);
  TRandom r{99};
  std::vector<double> sample(4000);
  for (double& v : sample) v = (r.Real() + r.Real() + r.Real() + r.Real() - 2) * 3 + 10;
  THistogram& h = c->AddHistogram("counts");
  h.AutoBins(sample.data(), sample.size());
  h.Append(sample.data(), sample.size());
  h.SetNormalization(THistNormalization::hnDensity);
  h.SetAreaColor(clSkyBlue);
  h.SetColor(clNavy);
  THistogram& outline = c->AddHistogram("outline");
  outline.SetBins(h.Low(), h.High(), 12);
  outline.Append(sample.data(), sample.size());
  outline.SetNormalization(THistNormalization::hnDensity);
  outline.SetStyle(THistStyle::hsStep);
  outline.SetColor(clRed);
  outline.SetLineWidth(2);
  c->FitLayerToData(1);
  c->Paint();

  auto b = Chart(260, 260);
  b->Scale1X().SetCategories({"north", "east", "south", "west"});
  TBoxPlot& p = b->AddBoxPlot("regions");
  p.SetAreaColor(clMoneyGreen);
  p.SetMeanVisible(true);
  for (int g = 0; g < 4; ++g) {
    std::vector<double> v(300);
    for (double& x : v) x = (r.Real() - 0.5) * (4 + g * 2) + 10 + g + (r.Below(40) == 0 ? 9 : 0);
    p.AddBox(g, v.data(), v.size());
  }
  b->SetLayerRanges(1, -0.6, 0, 3.6, 25, false);
  b->Paint();
  TBitmap both(520, 260);
  both.Canvas().Draw(0, 0, c->Surface());
  both.Canvas().Draw(260, 0, b->Surface());
  EXPECT_GOLDEN(both, "statistics-histogram-boxes");
}

namespace {
// The candles' items: consecutive candles in one pixel column merged (the
// first's T and open, the last's close, the extremes), each candle's wick
// then its body or ticks.
void AppendMergedCandles(TKelvo& c, const TCandles& k, double W) {
  auto draw = [&](const TCandles::TCandle& m) {
    const TColor colour = m.Close >= m.Open ? k.UpColor() : k.DownColor();
    c.SetDataColor(colour);
    c.SetFillColor(colour);
    c.Line(m.T, m.Low, m.T, m.High);
    if (k.Style() == TCandleStyle::csCandles) {
      c.Rectangle(m.T - W / 2, m.Open, m.T + W / 2, m.Close);
    } else {
      c.Line(m.T - W / 2, m.Open, m.T, m.Open);
      c.Line(m.T, m.Close, m.T + W / 2, m.Close);
    }
  };
  TCandles::TCandle merged{};
  int32_t column = 0;
  bool open = false;
  for (size_t i = 0; i < k.Count(); ++i) {
    const TCandles::TCandle& x = k.Candle(i);
    int32_t px = INT32_MIN, py = 0;
    if (std::isfinite(x.T)) {
      c.WorldToPixel(1, x.T, 0, px, py);
      TKelvo::ClipPixel(px, py);
    }
    if (open && px == column && px != INT32_MIN) {
      merged.Close = x.Close;
      merged.High = std::isnan(merged.High) || x.High > merged.High ? x.High : merged.High;
      merged.Low = std::isnan(merged.Low) || x.Low < merged.Low ? x.Low : merged.Low;
      continue;
    }
    if (open) draw(merged);
    merged = x, column = px, open = true;
  }
  if (open) draw(merged);
}
}  // namespace

// Random walks of candles (some with NaN prices, High below Low, steps
// back in T), zoomed in and far out: the picture is the merged candles'.
TEST(CandlesPicture, IsThatOfTheMergedCandles) {
  for (uint64_t seed = 1; seed <= 30; ++seed) {
    TRandom r{seed * 241};
    auto a = Chart(300, 200), b = Chart(300, 200);
    TCandles& k = a->AddCandles("k");
    k.SetStyle(seed % 3 == 0 ? TCandleStyle::csOhlc : TCandleStyle::csCandles);
    if (seed % 4 == 0) k.SetCapacity(50 + r.Below(200));
    const int n = seed % 2 ? 20 + r.Below(60) : 2000 + r.Below(20000);
    double price = 100, t = 0;
    for (int i = 0; i < n; ++i) {
      t += seed % 5 == 0 && r.Below(50) == 0 ? -3 : 1;
      const double o = price, c = price += (r.Real() - 0.5) * 4;
      double hi = std::max(o, c) + r.Real(), lo = std::min(o, c) - r.Real();
      if (r.Below(40) == 0) std::swap(hi, lo);
      k.Append(t, r.Below(60) == 0 ? NaN : o, hi, lo, c);
    }
    a->FitLayerToData(1);
    const double x0 = a->Scale1X().RangeLow(), x1 = a->Scale1X().RangeHigh();
    const double y0 = a->Scale1Y().RangeLow(), y1 = a->Scale1Y().RangeHigh();
    const double w = k.WidthIn(std::min(x0, x1), std::max(x0, x1));
    b->SetLayerRanges(1, x0, y0, x1, y1, false);
    AppendMergedCandles(*b, k, w);
    a->Paint();
    b->Paint();
    ASSERT_TRUE(kelvo::test::SamePixels(a->Surface(), b->Surface())) << "seed " << seed;
  }
}

TEST(CandlesInput, RingAndBadValues) {
  TCandles k("k");
  k.SetCapacity(3);
  for (int i = 0; i < 5; ++i) k.Append(i, 1, 2, 0, 1.5);
  ASSERT_EQ(k.Count(), 3u);
  EXPECT_EQ(k.Candle(0).T, 2);
  EXPECT_THROW(k.Candle(3), EVexaKelvoError);
  EXPECT_THROW(k.SetCandleWidth(-1), EVexaKelvoError);
  EXPECT_THROW(k.Append(nullptr, nullptr, nullptr, nullptr, nullptr, 2), EVexaKelvoError);
  k.Append(1, NaN, Inf, -Inf, NaN);  // drawn where finite: nothing here, no crash
  EXPECT_FALSE(k.Sorted());
  auto c = Chart(200, 150);
  c->AddPlottable(k.Clone());
  c->SetLayerRanges(1, 0, 0, 6, 3, false);
  c->Paint();
  k.Clear();
  EXPECT_TRUE(k.Sorted());
  EXPECT_EQ(k.Count(), 0u);
}
