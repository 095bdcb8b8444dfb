#include "demo/DemoLogic.h"

namespace demo {

using namespace vexa;

const std::array<double, YearCount> NetExportValues = {10,  20,  50, 75, 100, 16,
                                                       -27, -28, 3,  10, 42};
const std::array<TColor, YearCount> BarColors = {
    clWhite, clBlue, clLime, clYellow, clTeal, clWhite, clBlue, clLime, clYellow, clTeal, clRed};

TChartParams ParamsFromPositions(int HeightPos, int DepthPos, int AnglePos) {
  return TChartParams{100 - DepthPos, AnglePos, (50 - HeightPos) * 0.02};
}

void DrawChart(TKelvo& Chart, bool Show3DBars, int Depth, int Angle, double Factor) {
  Chart.ClearGraph();
  Chart.SetDataColor(clBlack);
  auto bar = [&](int index) {
    const int year = FirstYear + index;
    Chart.SetFillColor(BarColors[index]);
    const double x1 = year - 0.4, x2 = year + 0.4, y2 = Factor * NetExportValues[index];
    if (Show3DBars)
      Chart.Bar3D(Depth, Angle, x1, 0, x2, y2);
    else
      Chart.Rectangle(x1, 0, x2, y2);
  };
  // Seen from the left (angle above 90) the bars are added right to left,
  // so that nearer bars cover farther ones.
  if (Show3DBars && Angle > 90) {
    for (int i = YearCount - 1; i >= 0; --i) bar(i);
  } else {
    for (int i = 0; i < YearCount; ++i) bar(i);
  }
  Chart.ShowGraph();
}

int NextHeightPosition(int Position, int& Step) {
  if (Position <= 0) Step = +1;
  if (Position >= HeightMax) Step = -1;
  return Position + Step;
}

void TDemoLogic::Redraw() {
  const TChartParams p =
      ParamsFromPositions(FView.HeightPosition(), FView.DepthPosition(), FView.AnglePosition());
  DrawChart(FChart, FShow3DBars, p.Depth, p.Angle, p.Factor);
}

void TDemoLogic::FormActivate() {
  FStopRequested = false;
  FShow3DBars = true;
  Redraw();
}

void TDemoLogic::BButAutoClick() {
  if (FAnimating) return;  // a second Start from inside the loop would nest a loop
  FAnimating = true;
  FStopRequested = false;
  FView.SetButtonsEnabled(/*Start=*/false, /*Stop=*/true, /*Exit=*/false);
  FChart.SetChartFrameColor(clBlack);
  int step = +1;
  while (true) {
    FView.ProcessMessages();
    if (FClosing) return;  // the window is gone: touch nothing
    const int p = FView.HeightPosition();
    FView.SetHeightPosition(NextHeightPosition(p, step));
    Redraw();
    if (FStopRequested) break;
  }
  FAnimating = false;
}

void TDemoLogic::BButStopClick() {
  FStopRequested = true;
  FView.SetButtonsEnabled(/*Start=*/true, /*Stop=*/false, /*Exit=*/true);
}

void TDemoLogic::RBRectClick() {
  FShow3DBars = false;
  Redraw();
}

void TDemoLogic::RB3DonClick() {
  FShow3DBars = true;
  Redraw();
}

}  // namespace demo
