// kelvo-demo, for now: builds the demo's chart ExportChart from its stored
// values, draws the start picture (3D bars, depth 20, angle 45, factor 1)
// headless and writes it to a PNG. The demo window replaces this.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "demo/DemoForm.h"
#include "demo/DemoLogic.h"

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : "kelvo-demo-chart.png";
  try {
    vexa::TKelvo chart;
    demo::LoadExportChart(chart);
    chart.CreateWnd();
    const demo::TChartParams p = demo::ParamsFromPositions(demo::HeightStart, demo::DepthStart, demo::AngleStart);
    demo::DrawChart(chart, true, p.Depth, p.Angle, p.Factor);
    chart.Paint();
    chart.Surface().SaveToFile(out);
    std::printf("The demo window is not built yet; wrote the demo chart to %s\n",
                std::filesystem::absolute(out).c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelvo-demo: %s\n", e.what());
    return 1;
  }
  return 0;
}
