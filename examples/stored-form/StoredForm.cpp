// A chart's settings kept in a stored form (JSON): read them from a file,
// draw, change a setting, and write the settings back.
//
//   stored_form SETTINGS.json [PICTURE.png]
//
// A missing settings file is started from the chart's defaults; a bad one
// is refused with a message that names the file, the object and the
// property, and leaves the chart as it was.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Streaming.h"

using namespace vexa;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: stored_form SETTINGS.json [PICTURE.png]\n");
    return 2;
  }
  const std::string settings = argv[1], picture = argc > 2 ? argv[2] : "stored-form.png";
  TKelvo chart;
  chart.SetName("Chart");
  if (std::filesystem::exists(settings)) {
    std::ifstream in(settings);
    std::ostringstream text;
    text << in.rdbuf();
    try {
      ReadComponentForm(chart, text.str(), settings);  // defaults, stored values, Loaded
    } catch (const EReadError& e) {
      std::fprintf(stderr, "%s\n", e.what());
      return 1;
    }
  } else {
    chart.SetBounds(0, 0, 480, 320);
    chart.ApplyTheme(TKelvoTheme::ktLight);  // property values like any other: stored too
    chart.SetCaption("Settings from code");
    chart.Scale1X().SetRangeHigh(10);
    chart.Scale1Y().SetRangeHigh(100);
  }
  chart.CreateWnd();
  chart.SetAutoRedraw(false);
  for (int x = 0; x <= 10; ++x) {
    chart.SetFillColor(x % 2 ? clTeal : clOlive);
    chart.Bar3D(8, 40, x - 0.3, 0, x + 0.3, x * x);
  }
  chart.Paint();
  chart.Surface().SaveToFile(picture);
  // Change a setting and keep it for the next run: only values that differ
  // from their declared defaults are written, in streaming order.
  chart.SetShadowWidth(6);
  SaveFormToFile(chart, settings);
  std::printf("Drew %s from %s and wrote the settings back\n", picture.c_str(), settings.c_str());
  return 0;
}
