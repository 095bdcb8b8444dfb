// A second scene beside the demo window's chart: a report with two layers
// (dates across, six decades up the left, forty up the right), three series
// and a legend, in any theme. The tests' reference pictures of the themes,
// the report benchmark against QCustomPlot and the guide's picture draw it.
#pragma once

#include <memory>

#include "kelvo/chart/Vexa_kelvo.h"

namespace demo {

// The report's series, as functions of the day (0 .. 90) for the twins.
double ReportDecay(int Day);
double ReportGrowth(int Day);
double ReportCount(int Day);
constexpr double ReportFirstDay = 46000;  // in late 2025
constexpr int ReportDays = 90, ReportStep = 3;

// A 520 x 340 chart, painted on request (AutoRedraw off).
std::unique_ptr<vexa::TKelvo> MakeReport(vexa::TKelvoTheme Theme);

}  // namespace demo
