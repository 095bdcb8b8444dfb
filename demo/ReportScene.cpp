#include "ReportScene.h"

#include <cmath>

namespace demo {

using namespace vexa;

double ReportDecay(int Day) { return std::pow(10.0, -0.06 * Day); }
double ReportGrowth(int Day) {
  return 1e-6 * std::pow(10.0, 0.05 * Day + 0.5 * std::sin(Day * 0.3));
}
double ReportCount(int Day) { return std::pow(10.0, 0.4 * Day + 2); }

std::unique_ptr<TKelvo> MakeReport(TKelvoTheme Theme) {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, 520, 340);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  if (Theme != TKelvoTheme::ktClassic) c->ApplyTheme(Theme);
  c->SetMarginLeft(70);
  c->SetMarginRight(70);
  c->SetMarginTop(40);
  c->SetCaption("Report");
  c->SetCaptionAnchorHoriz(TCaptionAnchorHoriz::cahChartCenter);
  c->SetCaptionAlignment(TAlignment::taCenter);
  for (int layer : {1, 2}) {
    TScalePropsHoriz& x = layer == 1 ? c->Scale1X() : c->Scale2X();
    x.SetLabelType(TFigType::ftDateTime);
    x.SetRangeLow(ReportFirstDay);
    x.SetRangeHigh(ReportFirstDay + ReportDays);
    x.SetVisible(layer == 1);
  }
  c->Scale1Y().SetLogarithmic(true);
  c->Scale1Y().SetRangeLow(1e-6);
  c->Scale1Y().SetRangeHigh(1);
  c->Scale1Y().SetCaption("Rate");
  c->Scale2Y().SetLogarithmic(true);
  c->Scale2Y().SetRangeLow(1);
  c->Scale2Y().SetRangeHigh(1e40);
  c->Scale2Y().SetVisible(true);
  c->Scale2Y().SetScaleLocation(TScaleLocationVert::slRight);
  const char* names[] = {"decay", "growth", "count"};
  double (*values[])(int) = {ReportDecay, ReportGrowth, ReportCount};
  for (int k = 0; k < 3; ++k) {
    TSeries& s = c->AddSeries(names[k]);
    s.SetLayer(k == 2 ? 2 : 1);
    if (k == 1) s.SetSymbol(17);  // an open circle
    for (int day = 0; day <= ReportDays; day += ReportStep)
      s.Append(ReportFirstDay + day, values[k](day));
  }
  c->Legend().SetVisible(true);
  return c;
}

}  // namespace demo
