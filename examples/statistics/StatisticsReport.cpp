// Statistics and markets in a report: the distribution of measured part
// lengths as a histogram with its density, the same measure on four
// machines as box plots on a category axis, and a week of minute prices as
// candles on a date axis. Written to three picture files, no window needed.
//
//   statistics_report [HISTOGRAM_FILE] [BOXES_FILE] [CANDLES_FILE]
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

void Report(TKelvo& Chart, const std::string& Caption) {
  Chart.SetBounds(0, 0, 640, 380);
  Chart.ApplyTheme(TKelvoTheme::ktLight);
  Chart.SetCaption(Caption);
  Chart.CreateWnd();
  Chart.SetAutoRedraw(false);
}

// A reproducible normal sample (Box-Muller over a small generator).
struct TNormal {
  uint64_t S = 88172645463325252u;
  double Uniform() {
    S ^= S << 13, S ^= S >> 7, S ^= S << 17;
    return (double(S >> 11) + 0.5) / 9007199254740992.0;
  }
  double Next(double Mean, double Sigma) {
    return Mean +
           Sigma * std::sqrt(-2 * std::log(Uniform())) * std::cos(6.283185307179586 * Uniform());
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::string histogramFile = argc > 1 ? argv[1] : "statistics-histogram.png";
  const std::string boxesFile = argc > 2 ? argv[2] : "statistics-boxes.png";
  const std::string candlesFile = argc > 3 ? argv[3] : "statistics-candles.png";
  TNormal random;

  // A histogram of 20,000 lengths, bins by the Freedman-Diaconis rule, as a
  // density; over it the same values in 12 coarse bins as a step outline.
  {
    TKelvo chart;
    Report(chart, "Part length, mm");
    std::vector<double> lengths(20000);
    for (double& v : lengths) v = random.Next(50, 0.8);
    THistogram& fine = chart.AddHistogram("density");
    fine.AutoBins(lengths.data(), lengths.size());
    fine.Append(lengths.data(), lengths.size());  // O(1) a value; the values are not kept
    fine.SetNormalization(THistNormalization::hnDensity);
    fine.SetAreaColor(clSkyBlue);
    fine.SetColor(clNavy);
    THistogram& coarse = chart.AddHistogram("12 bins");
    coarse.SetBins(fine.Low(), fine.High(), 12);
    coarse.Append(lengths.data(), lengths.size());
    coarse.SetNormalization(THistNormalization::hnDensity);
    coarse.SetStyle(THistStyle::hsStep);
    coarse.SetColor(clRed);
    coarse.SetLineWidth(2);
    chart.FitLayerToData(1);
    chart.Legend().SetVisible(true);
    chart.SaveToFile(histogramFile);
  }

  // Box plots: four machines on a category axis, the mean marked.
  {
    TKelvo chart;
    Report(chart, "Part length by machine, mm");
    chart.Scale1X().SetCategories({"Lathe A", "Lathe B", "Mill", "Press"});
    TBoxPlot& boxes = chart.AddBoxPlot("machines");
    boxes.SetAreaColor(clMoneyGreen);
    boxes.SetMeanVisible(true);
    for (int m = 0; m < 4; ++m) {
      std::vector<double> v(2000);
      for (double& x : v) x = random.Next(50 + 0.3 * m, 0.4 + 0.25 * m);
      boxes.AddBox(m, v.data(), v.size());  // at the category's position
    }
    chart.FitLayerToData(1);
    chart.SetLayerRanges(1, -0.6, chart.Scale1Y().RangeLow(), 3.6, chart.Scale1Y().RangeHigh(),
                         false);
    chart.SaveToFile(boxesFile);
  }

  // A week of minute prices (7 x 1,440 candles) on a date axis: zoomed out,
  // the candles of each pixel column are drawn as one.
  {
    TKelvo chart;
    Report(chart, "A week of minute prices");
    chart.Scale1X().SetLabelType(TFigType::ftDateTime);
    TCandles& prices = chart.AddCandles("price");
    const double monday = 46363;  // days since 30 Dec 1899: Monday 2026-12-07
    double price = 120;
    for (int minute = 0; minute < 7 * 1440; ++minute) {
      const double open = price;
      price = std::fmax(1, price + random.Next(0.002, 0.08));
      const double high = std::fmax(open, price) + std::fabs(random.Next(0, 0.04));
      const double low = std::fmin(open, price) - std::fabs(random.Next(0, 0.04));
      prices.Append(monday + minute / 1440.0, open, high, low, price);
    }
    chart.FitLayerToData(1);
    chart.SaveToFile(candlesFile);
  }
}
