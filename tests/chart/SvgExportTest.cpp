// The SVG export: recorded shapes rasterise to the canvas's pixels, text
// stays text, and whatever the document cannot say is embedded as pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/demo/DemoForm.h"
#include "kelvo/demo/DemoLogic.h"
#include "kelvo/platform/SvgPicture.h"
#include "support/ChartFixtures.h"
#include "support/SvgRaster.h"

namespace {

using namespace vexa;
using kelvo::test::ComparePictures;
using kelvo::test::RasteriseSvg;

std::unique_ptr<TKelvo> DemoChart() {
  auto chart = std::make_unique<TKelvo>();
  ::demo::LoadExportChart(*chart);
  chart->CreateWnd();
  ::demo::DrawChart(*chart, true, 20, 45, 1.0);
  return chart;
}

TEST(SvgExport, DemoChartRasterisesCloseToTheWindow) {
  auto chart = DemoChart();
  chart->Paint();
  const std::string doc = chart->SvgDocument();
  TBitmap svg(chart->Width(), chart->Height());
  RasteriseSvg(doc, svg);
  const auto d = ComparePictures(svg, chart->Surface());
  std::printf("equal %.4f near %.4f mean %.3f size %zu\n", d.EqualShare, d.NearShare, d.MeanAbs,
              doc.size());
  std::ofstream("/tmp/demo.svg") << doc;
  svg.SaveToFile("/tmp/demo-svg.png");
  chart->Surface().SaveToFile("/tmp/demo-win.png");
  TBitmap diff(chart->Width(), chart->Height());
  for (int i = 0; i < chart->Width() * chart->Height(); ++i)
    diff.Bits()[i] = svg.Bits()[i] == chart->Surface().Bits()[i] ? 0xFFFFFFFF : 0xFFFF0000;
  diff.SaveToFile("/tmp/demo-diff.png");
}

}  // namespace
