// The demo window's behaviour without its widgets: the data tables, the
// parameter formulas, DrawChart and the handlers with the animation loop.
// The window binds these to real controls through IDemoView, so the
// behaviour can be tested without a window.
#pragma once

#include <array>

#include "kelvo/chart/Vexa_kelvo.h"

namespace demo {

using vexa::TColor;

constexpr int FirstYear = 1970;
constexpr int YearCount = 11;

// Net exports for 1970 .. 1980.
extern const std::array<double, YearCount> NetExportValues;
// Fill colour of each year's bar.
extern const std::array<TColor, YearCount> BarColors;

// Scroll-bar ranges and their start positions.
constexpr int HeightMax = 100, HeightStart = 0;
constexpr int DepthMax = 100, DepthStart = 80;
constexpr int AngleMax = 180, AngleStart = 45;

struct TChartParams {
  int Depth;      // 100 - depth position: 100 at the top end, 20 at start
  int Angle;      // the angle position, 0 .. 180
  double Factor;  // (50 - height position) x 0.02: 1 at the top, -1 at the bottom
};
TChartParams ParamsFromPositions(int HeightPos, int DepthPos, int AnglePos);

// Rebuilds the chart's display list: eleven bars (3D bars or rectangles),
// 1970 first, or 1980 first when the angle exceeds 90, then ShowGraph.
void DrawChart(vexa::TKelvo& Chart, bool Show3DBars, int Depth, int Angle, double Factor);

// The next position of the height bar in the animation, and the new step:
// turning at 0 and 100.
int NextHeightPosition(int Position, int& Step);

// What the handlers need of the window.
class IDemoView {
 public:
  virtual ~IDemoView() = default;
  virtual int HeightPosition() const = 0;
  // Moves the height bar; like a user's move, this runs SBarHeightChange.
  virtual void SetHeightPosition(int Position) = 0;
  virtual int DepthPosition() const = 0;
  virtual int AnglePosition() const = 0;
  virtual void SetButtonsEnabled(bool Start, bool Stop, bool Exit) = 0;
  // Dispatches pending window messages; handlers may run inside.
  virtual void ProcessMessages() = 0;
  virtual void Close() = 0;
};

// TForm1's handlers and its two unit-level flags.
class TDemoLogic {
 public:
  TDemoLogic(vexa::TKelvo& Chart, IDemoView& View) : FChart(Chart), FView(View) {}

  void FormActivate();
  void BButDoneClick() { FView.Close(); }
  // The animation: returns when Stop is pressed or the window goes away.
  void BButAutoClick();
  void BButStopClick();
  void SBarHeightChange() { Redraw(); }
  void SBarDepthChange() { Redraw(); }
  void SBarAngleChange() { Redraw(); }
  void RBRectClick();
  void RB3DonClick();
  // The window is being destroyed: a running animation must end without
  // touching it again.
  void WindowClosing() { FClosing = true; }

  bool StopRequested() const { return FStopRequested; }
  bool Show3DBars() const { return FShow3DBars; }
  bool Animating() const { return FAnimating; }
  // DrawChart with the parameters the scroll bars show.
  void Redraw();

 private:
  vexa::TKelvo& FChart;
  IDemoView& FView;
  bool FStopRequested = false;
  bool FShow3DBars = false;
  bool FAnimating = false;
  bool FClosing = false;
};

}  // namespace demo
