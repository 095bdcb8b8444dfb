// The demo's drawing logic and handlers, driven without a window.
#include <gtest/gtest.h>

#include <functional>

#include "demo/DemoLogic.h"

using namespace vexa;
using namespace demo;

namespace {

class CountingChart : public TKelvo {
 public:
  using TKelvo::TKelvo;
  void RenderDisplayList(TBitmap&) override { ++Renders; }
  int Renders = 0;
};

void ExpectBars(const TKelvo& chart, int kind, bool descending, int depth, int angle,
                double factor) {
  ASSERT_EQ(chart.ItemCount(), 11);
  for (int k = 0; k < 11; ++k) {
    const int index = descending ? 10 - k : k;
    const int year = 1970 + index;
    const TDrawItem& it = chart.Items(k);
    SCOPED_TRACE("item " + std::to_string(k));
    EXPECT_EQ(it.Kind, kind);
    EXPECT_EQ(it.X1, year - 0.4);
    EXPECT_EQ(it.Y1, 0.0);
    EXPECT_EQ(it.X2, year + 0.4);
    EXPECT_EQ(it.Y2, factor * NetExportValues[index]);
    EXPECT_EQ(it.Color, clBlack);
    EXPECT_EQ(it.FillColor, BarColors[index]);
    EXPECT_EQ(it.Layer, 1);
    if (kind == ikBar3D) {
      EXPECT_EQ(it.Param1, angle);
      EXPECT_EQ(it.Param2, depth);
    }
  }
}

TEST(DemoData, TablesAndParameterFormulas) {
  EXPECT_EQ(NetExportValues[4], 100);
  EXPECT_EQ(NetExportValues[7], -28);
  EXPECT_EQ(BarColors[4], 0x808000u);
  EXPECT_EQ(BarColors[10], 0x0000FFu);
  const TChartParams start = ParamsFromPositions(HeightStart, DepthStart, AngleStart);
  EXPECT_EQ(start.Depth, 20);
  EXPECT_EQ(start.Angle, 45);
  EXPECT_EQ(start.Factor, 1.0);
  EXPECT_EQ(ParamsFromPositions(50, 0, 0).Factor, 0.0);
  EXPECT_EQ(ParamsFromPositions(100, 100, 180).Factor, -1.0);
  EXPECT_EQ(ParamsFromPositions(100, 100, 180).Depth, 0);
  EXPECT_EQ(ParamsFromPositions(25, 0, 0).Factor, 0.5);
}

TEST(DemoDrawChart, ThreeDBarsAscendingUpToNinetyDegrees) {
  CountingChart chart;
  DrawChart(chart, true, 20, 45, 1.0);
  ExpectBars(chart, ikBar3D, false, 20, 45, 1.0);
  DrawChart(chart, true, 20, 90, 1.0);
  ExpectBars(chart, ikBar3D, false, 20, 90, 1.0);
}

TEST(DemoDrawChart, ThreeDBarsDescendingBeyondNinetyDegrees) {
  CountingChart chart;
  DrawChart(chart, true, 35, 91, 1.0);
  ExpectBars(chart, ikBar3D, true, 35, 91, 1.0);
}

TEST(DemoDrawChart, FactorsScaleAndMirrorTheBars) {
  CountingChart chart;
  DrawChart(chart, true, 20, 45, 0.0);
  ExpectBars(chart, ikBar3D, false, 20, 45, 0.0);
  DrawChart(chart, true, 20, 45, -1.0);
  ExpectBars(chart, ikBar3D, false, 20, 45, -1.0);
  EXPECT_EQ(chart.Items(6).Y2, 27);
}

TEST(DemoDrawChart, RectanglesIgnoreDepthAndAngle) {
  CountingChart chart;
  DrawChart(chart, false, 5, 135, 1.0);
  ExpectBars(chart, ikRectangle, false, 0, 0, 1.0);
  EXPECT_EQ(chart.Items(0).Param1, 0);
}

TEST(DemoDrawChart, EachDrawRebuildsTheListAndShowsItOnce) {
  CountingChart chart;
  chart.CreateWnd();
  for (int i = 0; i < 3; ++i) DrawChart(chart, true, 20, 45, 1.0);
  EXPECT_EQ(chart.ItemCount(), 11);
  EXPECT_EQ(chart.Renders, 3);
}

// A window stand-in: scroll positions, button states and a message pump
// whose next messages a test can script.
class FakeView : public IDemoView {
 public:
  int Height = HeightStart, Depth = DepthStart, Angle = AngleStart;
  bool Start = true, Stop = false, Exit = true;
  int HeightChanges = 0, Pumps = 0, Closes = 0;
  std::function<void()> OnHeightChange;
  std::function<void(int)> OnPump;  // argument: how many pumps so far

  int HeightPosition() const override { return Height; }
  void SetHeightPosition(int p) override {
    if (p == Height) return;
    Height = p;
    ++HeightChanges;
    if (OnHeightChange) OnHeightChange();
  }
  int DepthPosition() const override { return Depth; }
  int AnglePosition() const override { return Angle; }
  void SetButtonsEnabled(bool s, bool t, bool e) override {
    Start = s;
    Stop = t;
    Exit = e;
  }
  void ProcessMessages() override {
    ++Pumps;
    if (OnPump) OnPump(Pumps);
  }
  void Close() override { ++Closes; }
};

TEST(DemoHandlers, FormActivateDrawsThreeDBarsAtTheStartPositions) {
  CountingChart chart;
  FakeView view;
  TDemoLogic logic(chart, view);
  EXPECT_FALSE(logic.Show3DBars());
  logic.FormActivate();
  EXPECT_TRUE(logic.Show3DBars());
  ExpectBars(chart, ikBar3D, false, 20, 45, 1.0);
  logic.RBRectClick();
  ExpectBars(chart, ikRectangle, false, 0, 0, 1.0);
  view.Angle = 120;
  logic.SBarAngleChange();  // still rectangles, in ascending order
  ExpectBars(chart, ikRectangle, false, 0, 0, 1.0);
  logic.RB3DonClick();
  ExpectBars(chart, ikBar3D, true, 20, 120, 1.0);
  logic.BButDoneClick();
  EXPECT_EQ(view.Closes, 1);
}

TEST(DemoHandlers, StopEndsTheAnimationAfterTheFrameInProgress) {
  CountingChart chart;
  FakeView view;
  TDemoLogic logic(chart, view);
  view.OnHeightChange = [&] { logic.SBarHeightChange(); };
  logic.FormActivate();
  view.OnPump = [&](int pumps) {
    EXPECT_FALSE(view.Start);
    EXPECT_TRUE(view.Stop);
    EXPECT_FALSE(view.Exit);
    if (pumps == 3) logic.BButStopClick();  // the user clicks Stop
  };
  logic.BButAutoClick();
  EXPECT_EQ(view.Pumps, 3);
  EXPECT_EQ(view.Height, 3);  // one more step after the click
  EXPECT_TRUE(view.Start);
  EXPECT_FALSE(view.Stop);
  EXPECT_TRUE(view.Exit);
  EXPECT_EQ(chart.ChartFrameColor(), clBlack);
  // Each frame redraws twice: through the bar's change handler and directly.
  ExpectBars(chart, ikBar3D, false, 20, 45, (50 - 3) * 0.02);
}

TEST(DemoHandlers, TheHeightBarTurnsAtBothEnds) {
  int step = +1;
  EXPECT_EQ(NextHeightPosition(0, step), 1);
  EXPECT_EQ(NextHeightPosition(99, step), 100);
  EXPECT_EQ(NextHeightPosition(100, step), 99);
  EXPECT_EQ(step, -1);
  EXPECT_EQ(NextHeightPosition(50, step), 49);
  EXPECT_EQ(NextHeightPosition(-3, step), -2);
  CountingChart chart;
  FakeView view;
  view.Height = 100;
  TDemoLogic logic(chart, view);
  view.OnPump = [&](int) { logic.BButStopClick(); };
  logic.BButAutoClick();
  EXPECT_EQ(view.Height, 99);  // starting at the bottom end first moves up
}

TEST(DemoHandlers, ClosingDuringTheAnimationEndsItWithoutTouchingTheWindow) {
  CountingChart chart;
  FakeView view;
  TDemoLogic logic(chart, view);
  view.OnPump = [&](int pumps) {
    if (pumps == 2) logic.WindowClosing();
  };
  logic.BButAutoClick();
  EXPECT_EQ(view.Pumps, 2);
  EXPECT_EQ(view.Height, 1);  // no frame after the close
  EXPECT_FALSE(view.Start);   // buttons of a closing window are left alone
}

}  // namespace
