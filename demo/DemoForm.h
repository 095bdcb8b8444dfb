// The demo window's stored values for its chart ExportChart: a stored form
// compiled into the program and read the framework's way (creation
// defaults, then the stored values, then Loaded).
#pragma once

#include "kelvo/chart/Vexa_kelvo.h"

namespace demo {

extern const char* const ExportChartForm;

// Reads the stored values into a freshly created chart named ExportChart.
void LoadExportChart(vexa::TKelvo& Chart);

}  // namespace demo
