// Series shapes in a report: energy use by source over a day as stacked
// areas, and a quarter's sales by region as grouped bars with category-like
// x positions. Written to two picture files, no window needed.
//
//   shapes_report [AREAS_FILE] [BARS_FILE]
//       (defaults shapes-areas.png and shapes-bars.png)
#include <cmath>
#include <string>

#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

void Report(TKelvo& Chart, const std::string& Caption) {
  Chart.SetBounds(0, 0, 640, 380);
  Chart.ApplyTheme(TKelvoTheme::ktLight);
  Chart.SetAntiAliased(true);
  Chart.SetCaption(Caption);
  Chart.Legend().SetVisible(true);
  Chart.Legend().SetPosition(TLegendPos::lpOutsideBottom);
  Chart.Legend().SetColumns(0);
  Chart.CreateWnd();
  Chart.SetAutoRedraw(false);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string areasFile = argc > 1 ? argv[1] : "shapes-areas.png";
  const std::string barsFile = argc > 2 ? argv[2] : "shapes-bars.png";

  // Stacked areas: each source stands on the ones added before it, so the
  // top line is the total. Hourly values, x in hours.
  {
    TKelvo chart;
    Report(chart, "Energy use by source, kW");
    chart.Scale1X().SetRangeLow(0);
    chart.Scale1X().SetRangeHigh(24);
    chart.Scale1Y().SetRangeLow(0);
    chart.Scale1Y().SetRangeHigh(100);
    chart.Scale1X().SetCaption("hour");
    const char* sources[] = {"base load", "heating", "solar"};
    for (int k = 0; k < 3; ++k) {
      TSeries& s = chart.AddSeries(sources[k]);
      for (int h = 0; h <= 24; ++h) {
        const double t = h;
        const double v = k == 0   ? 25 + 3 * std::sin(t * 0.5)
                         : k == 1 ? 20 + 15 * std::cos((t - 6) * 0.26)
                                  : std::fmax(0, 30 * std::sin((t - 6) * 0.26));
        s.Append(t, v);
      }
      s.SetAreaFill(TAreaFill::afToBaseline);  // to 0, or to the series below when stacked
      s.SetAreaOpacity(170);
      if (k > 0) s.SetStackedOn(k - 1);
    }
    chart.SaveToFile(areasFile);
  }

  // Grouped bars: three regions side by side at each quarter (x 1 .. 4),
  // each moved by its BarOffset within the group.
  {
    TKelvo chart;
    Report(chart, "Sales by region and quarter");
    chart.Scale1X().SetRangeLow(0.4);
    chart.Scale1X().SetRangeHigh(4.6);
    chart.Scale1X().SetDecPlaces(0);
    chart.Scale1Y().SetRangeLow(0);
    chart.Scale1Y().SetRangeHigh(60);
    const char* regions[] = {"north", "centre", "south"};
    const double sales[3][4] = {{22, 31, 28, 40}, {35, 30, 41, 45}, {18, 26, 33, 29}};
    for (int k = 0; k < 3; ++k) {
      TSeries& s = chart.AddSeries(regions[k]);
      s.SetShape(TSeriesShape::shBars);
      s.SetBarWidth(0.26);
      s.SetBarOffset((k - 1) * 0.28);
      for (int q = 0; q < 4; ++q) s.Append(1 + q, sales[k][q]);
    }
    chart.SaveToFile(barsFile);
  }
  return 0;
}
