// Colour maps in a report: a field measured on a grid as a heatmap with its
// colour bar (and a few cells not measured), and a spectrogram of a chirp,
// built a column at a time as a live one is. Written to two picture files,
// no window needed.
//
//   colormaps_report [HEATMAP_FILE] [SPECTROGRAM_FILE]
//       (defaults colormap-heatmap.png and colormap-spectrogram.png)
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

void Report(TKelvo& Chart, const std::string& Caption) {
  Chart.SetBounds(0, 0, 640, 400);
  Chart.ApplyTheme(TKelvoTheme::ktLight);
  Chart.SetCaption(Caption);
  Chart.CreateWnd();
  Chart.SetAutoRedraw(false);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string heatmapFile = argc > 1 ? argv[1] : "colormap-heatmap.png";
  const std::string spectrogramFile = argc > 2 ? argv[2] : "colormap-spectrogram.png";
  constexpr double Pi = std::numbers::pi;

  // A heatmap: temperatures on a 60 x 40 grid of a 3 x 2 m plate, two heat
  // sources; the cells a broken sensor row left out are NaN (not drawn).
  {
    TKelvo chart;
    Report(chart, "Plate temperature");
    chart.Scale1X().SetCaption("x, m");
    chart.Scale1Y().SetCaption("y, m");
    TColorMap& plate = chart.AddColorMap("plate");
    plate.SetSize(60, 40);
    plate.SetExtent(0, 3, 0, 2);  // the cells' outer edges, in world units
    for (int j = 0; j < 40; ++j)
      for (int i = 0; i < 60; ++i) {
        const double x = (i + 0.5) / 20, y = (j + 0.5) / 20;
        const double t = 20 +
                         60 * std::exp(-((x - 0.9) * (x - 0.9) + (y - 1.2) * (y - 1.2)) / 0.2) +
                         35 * std::exp(-((x - 2.2) * (x - 2.2) + (y - 0.6) * (y - 0.6)) / 0.1);
        plate.SetValue(i, j, j == 31 && i > 40 ? std::nan("") : t);
      }
    chart.FitLayerToData(1);
    chart.ColorBar().SetVisible(true);  // the first colour map's
    chart.ColorBar().SetCaption("°C");
    chart.SaveToFile(heatmapFile);
  }

  // A spectrogram: a chirp from 50 to 400 Hz over 2 s sampled at 1 kHz, its
  // spectrum every 10 ms appended as a column (a live one would append as
  // the samples arrive); magnitudes in dB.
  {
    TKelvo chart;
    Report(chart, "Chirp, 50 to 400 Hz");
    chart.Scale1X().SetCaption("s");
    chart.Scale1Y().SetCaption("Hz");
    constexpr int Rate = 1000, Window = 128, Bins = 64, Step = 10;
    TColorMap& spectrum = chart.AddColorMap("spectrum");
    spectrum.SetGradient(TGradient::grMagma);
    spectrum.SetSize(1, Bins);  // the first column; the rest are appended
    spectrum.SetExtent(0, double(Step) / Rate, 0, double(Bins) * Rate / Window);
    std::vector<double> samples(2 * Rate + Window);
    for (size_t n = 0; n < samples.size(); ++n) {
      const double t = double(n) / Rate;
      samples[n] = std::sin(2 * Pi * (50 * t + 87.5 * t * t));
    }
    std::vector<double> column(Bins);
    for (int start = 0; start + Window <= int(samples.size()); start += Step) {
      for (int b = 0; b < Bins; ++b) {
        double re = 0, im = 0;
        for (int n = 0; n < Window; ++n) {
          const double hann = 0.5 - 0.5 * std::cos(2 * Pi * n / (Window - 1));
          re += samples[size_t(start + n)] * hann * std::cos(2 * Pi * b * n / Window);
          im -= samples[size_t(start + n)] * hann * std::sin(2 * Pi * b * n / Window);
        }
        column[size_t(b)] = 10 * std::log10(re * re + im * im + 1e-6);
      }
      if (start == 0)
        for (int b = 0; b < Bins; ++b) spectrum.SetValue(0, b, column[size_t(b)]);
      else
        spectrum.AppendColumn(column.data());  // the extent grows by a column
    }
    spectrum.SetColorRangeLow(-20);  // anything quieter takes the low end's colour
    spectrum.SetColorRangeHigh(35);
    chart.FitLayerToData(1);
    chart.ColorBar().SetVisible(true);
    chart.ColorBar().SetCaption("dB");
    chart.ColorBar().SetPosition(TLegendPos::lpOutsideBottom);
    chart.SaveToFile(spectrogramFile);
  }
}
