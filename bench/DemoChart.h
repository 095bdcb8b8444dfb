// The demo chart at its start state (3D bars, depth 20, angle 45, factor 1),
// shared by the chart and render benchmarks.
#pragma once

#include <memory>

#include "demo/DemoForm.h"
#include "demo/DemoLogic.h"
#include "kelvo/chart/Vexa_kelvo.h"

namespace kelvo::bench {

inline std::unique_ptr<vexa::TKelvo> DemoChartAtStart() {
  auto chart = std::make_unique<vexa::TKelvo>();
  ::demo::LoadExportChart(*chart);
  chart->CreateWnd();
  ::demo::DrawChart(*chart, true, 20, 45, 1.0);
  return chart;
}

}  // namespace kelvo::bench
