// The shortest program that shows Kelvo's programming interface: a chart
// built in code, without any window, written to a picture file.
//
//   headless_chart [FILE]     writes FILE (default headless-chart.png): PNG,
//                             SVG for the extension .svg, BMP for any other
//
// Layer 1 has a date axis below and a linear axis on the left: a line of
// daily values with a mark and an error bar each week. Layer 2 shares the
// date axis and has a logarithmic axis on the right: a second series in
// squares. A text label names the peak, and a legend below the date axis
// names the three kinds of items (each its own item class, so that a click
// on its entry in a window would hide and show it).
#include <cmath>
#include <cstdio>
#include <string>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/DateTime.h"

using namespace vexa;

int main(int argc, char** argv) {
  const std::string file = argc > 1 ? argv[1] : "headless-chart.png";

  TKelvo chart;
  chart.SetBounds(0, 0, 640, 400);
  chart.ApplyTheme(TKelvoTheme::ktLight);  // white, a light grid, sans fonts, readable axes
  chart.SetAntiAliased(true);              // smooth lines and marks
  chart.SetStandardLayout(TkvLayout::kvl_X1Bottom_Y2Both);  // y axes of layers 1 and 2
  chart.SetCaption("Daily readings, spring 2024");

  // Layer 1: dates along x (days since 1899-12-30), values up the left.
  const double first = static_cast<double>(EncodeDate(2024, 3, 1));
  const double last = static_cast<double>(EncodeDate(2024, 5, 31));
  chart.Scale1X().SetRangeLow(first);
  chart.Scale1X().SetRangeHigh(last);
  chart.Scale1X().SetLabelType(TFigType::ftDateTime);
  chart.Scale1Y().SetRangeLow(0);
  chart.Scale1Y().SetRangeHigh(40);
  chart.Scale1Y().SetCaption("mm");
  // Layer 2: its x axis follows layer 1's; a logarithmic y axis.
  chart.JointLayers().SetXControlledBy(2, 1);
  chart.Scale2Y().SetRangeLow(1);
  chart.Scale2Y().SetRangeHigh(1000);
  chart.Scale2Y().SetLogarithmic(true);
  chart.Scale2Y().SetCaption("count");

  chart.CreateWnd();           // a headless chart may paint from now on
  chart.SetAutoRedraw(false);  // paint once, at the end

  // Drawing commands append items in world coordinates with the current attributes.
  chart.SetCurrentLayer(1);
  chart.SetDataColor(clNavy);
  double peakDay = first, peak = 0;
  for (double day = first; day <= last; day += 1) {
    const double t = day - first;
    const double value = 20 + 12 * std::sin(t / 9) + 4 * std::sin(t / 2.3);
    if (day == first)
      chart.MoveTo(day, value);
    else
      chart.DrawTo(day, value);
    if (value > peak) {
      peak = value;
      peakDay = day;
    }
  }
  chart.SetDataColor(clRed);
  chart.SetClassDefault(1);
  for (double day = first + 3; day <= last; day += 7) {
    const double t = day - first;
    const double value = 20 + 12 * std::sin(t / 9) + 4 * std::sin(t / 2.3);
    chart.ErrorBar(day, value, 3, 3, false, 9);  // vertical, a filled square at the centre
  }

  chart.SetCurrentLayer(2);
  chart.SetClassDefault(2);
  chart.SetDataColor(clGreen);
  for (double day = first; day <= last; day += 4) {
    const double count = std::pow(10.0, 0.5 + 2.2 * (day - first) / (last - first));
    chart.MarkAt(day, count, 16);  // an open circle
  }

  // A text label attached to the data: it moves with pans and zooms.
  TTextLabel& label = chart.TextLabels(1);
  label.SetLayer(1);
  label.SetPosX(peakDay);
  label.SetPosY(peak + 2);
  label.SetCaption("peak");
  label.SetMode(TTxtLblMode::tlBox);
  label.SetVisible(true);

  // The legend: one entry for each kind of item, in one row below the axis.
  chart.AddLegendEntry("daily value", clNavy);
  chart.AddLegendEntry("weekly range", clRed, TPenStyle::psClear, 1, 9, clRed, 1);
  chart.AddLegendEntry("count (right axis)", clGreen, TPenStyle::psClear, 1, 16, clSilver, 2);
  chart.Legend().SetPosition(TLegendPos::lpOutsideBottom);
  chart.Legend().SetColumns(0);
  chart.Legend().SetVisible(true);

  chart.SaveToFile(file);  // paints, then writes what the window would show
  std::printf("Wrote %s (%d x %d, %d items)\n", file.c_str(), chart.Width(), chart.Height(),
              chart.ItemCount());
  return 0;
}
