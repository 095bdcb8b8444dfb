// Mouse actions driven headless: pan (all kinds), zoom drag, zoom windows,
// rubber band, selection, crosshair and label dragging, the mouse box,
// double clicks, cursors and the events.
#include <gtest/gtest.h>

#include <vector>

#include "demo/DemoForm.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/WindowServices.h"
#include "support/ChartFixtures.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

const TShiftState Left{TShiftStateItem::ssLeft};
const TShiftState None{};

using kelvo::test::MouseChart;

void Drag(TKelvo& c, int x0, int y0, int x1, int y1) {
  c.MouseMove(Left, x0, y0);  // the first move only records the start
  c.MouseMove(Left, x1, y1);
}

TEST(MousePan, MovesTheRangesByThePixelDistance) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maPan);
  int pans = 0;
  c->OnZoomPan = [&](TObject*) { ++pans; };
  Drag(*c, 60, 50, 70, 60);
  EXPECT_NEAR(c->Scale1X().RangeLow(), -1, 1e-12);
  EXPECT_NEAR(c->Scale1X().RangeHigh(), 9, 1e-12);
  EXPECT_NEAR(c->Scale1Y().RangeLow(), 1, 1e-12);  // dragging down moves the y range up
  EXPECT_EQ(pans, 1);
  c->MouseMove(None, 80, 60);  // the button is up: the drag ends
  c->MouseMove(Left, 90, 60);  // a new drag starts here
  EXPECT_NEAR(c->Scale1X().RangeLow(), -1, 1e-12);
  EXPECT_EQ(pans, 1);
}

// The copy continues the drag from where it started, by its own mapping.
TEST(MousePan, AnAssignedChartContinuesTheDrag) {
  auto a = MouseChart();
  a->SetMouseAction(TMouseActMode::maPan);
  a->MouseMove(Left, 60, 50);
  auto b = MouseChart();
  b->Assign(a.get());
  b->MouseMove(Left, 70, 50);
  EXPECT_NEAR(b->Scale1X().RangeLow(), -1, 1e-12);  // 10 of 100 pixels of 0 .. 10
}

TEST(MousePan, HorizontalVerticalAndOutsideThePlot) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maPanHoriz);
  Drag(*c, 60, 50, 70, 70);
  EXPECT_NEAR(c->Scale1X().RangeLow(), -1, 1e-12);
  EXPECT_EQ(c->Scale1Y().RangeLow(), 0);
  c->MouseMove(None, 0, 0);
  c->SetMouseAction(TMouseActMode::maPanVert);
  Drag(*c, 60, 50, 90, 60);
  EXPECT_NEAR(c->Scale1X().RangeLow(), -1, 1e-12);
  EXPECT_NEAR(c->Scale1Y().RangeLow(), 1, 1e-12);
  c->MouseMove(Left, 5, 5);  // outside the plot: nothing
  EXPECT_NEAR(c->Scale1Y().RangeLow(), 1, 1e-12);
}

TEST(MousePan, GridSnapsTheLowerEnds) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maPanGrid);
  c->SetPanGridDx(2);
  Drag(*c, 100, 50, 63, 50);  // would give 3.7 .. 13.7
  EXPECT_NEAR(c->Scale1X().RangeLow(), 2, 1e-12);
  EXPECT_NEAR(c->Scale1X().RangeHigh(), 12, 1e-12);
  auto d = MouseChart();
  d->SetMouseAction(TMouseActMode::maPanGrid);
  d->SetPanGridDx(0);
  Drag(*d, 100, 50, 63, 50);
  EXPECT_NEAR(d->Scale1X().RangeLow(), 3.7, 1e-12);
  EXPECT_NEAR(d->Scale1X().RangeHigh(), 13.7, 1e-12);
}

TEST(MousePan, OnlyLayersTheMouseAffects) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maPan);
  c->Scale2X().SetRangeHigh(10);
  Drag(*c, 60, 50, 70, 50);
  EXPECT_EQ(c->Scale2X().RangeLow(), 0);
  c->SetMouseAffectsLayer(2, true);
  c->MouseMove(None, 0, 0);
  Drag(*c, 60, 50, 70, 50);
  EXPECT_NEAR(c->Scale2X().RangeLow(), -1, 1e-12);
}

TEST(MouseZoom, DragZoomsAboutTheStartCentre) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maZoomDrag);
  const int quarter = c->Width() / 4;
  Drag(*c, 60, 50, 60 + quarter, 50);
  const double fx = 1 - double(quarter) / c->Width();
  EXPECT_NEAR(c->Scale1X().RangeHigh() - c->Scale1X().RangeLow(), 10 * fx, 1e-9);
  EXPECT_NEAR((c->Scale1X().RangeHigh() + c->Scale1X().RangeLow()) / 2, 5, 1e-9);
  EXPECT_NEAR(c->Scale1Y().RangeHigh() - c->Scale1Y().RangeLow(), 10, 1e-9);  // no vertical move
}

TEST(MouseZoom, WindowsInvertOrKeepDirection) {
  for (TMouseActMode mode : {TMouseActMode::maZoomWind, TMouseActMode::maZoomWindPos}) {
    auto c = MouseChart();
    c->SetMouseAction(mode);
    int pans = 0;
    c->OnZoomPan = [&](TObject*) { ++pans; };
    TBitmap before;
    before.Assign(&c->Surface());
    c->MouseDown(TMouseButton::mbLeft, Left, 130, 40);  // right to left, top to bottom
    c->MouseMove(Left, 80, 90);
    EXPECT_FALSE(kelvo::test::SamePixels(before, c->Surface()));  // the XOR window shows
    c->MouseUp(TMouseButton::mbLeft, None, 80, 90);
    EXPECT_EQ(c->ZoomState(), TZoomState::zsNormal);
    EXPECT_EQ(pans, 1);
    if (mode == TMouseActMode::maZoomWind) {
      EXPECT_NEAR(c->Scale1X().RangeLow(), 8, 1e-9);  // reversed
      EXPECT_NEAR(c->Scale1X().RangeHigh(), 3, 1e-9);
    } else {
      EXPECT_NEAR(c->Scale1X().RangeLow(), 3, 1e-9);
      EXPECT_NEAR(c->Scale1X().RangeHigh(), 8, 1e-9);
      EXPECT_NEAR(c->Scale1Y().RangeLow(), 3, 1e-9);
      EXPECT_NEAR(c->Scale1Y().RangeHigh(), 8, 1e-9);
    }
  }
}

TEST(MouseZoom, DegenerateAndCancelledWindowsChangeNothing) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maZoomWind);
  c->MouseDown(TMouseButton::mbLeft, Left, 60, 40);
  c->MouseMove(Left, 60, 90);  // same x
  c->MouseUp(TMouseButton::mbLeft, None, 60, 90);
  EXPECT_EQ(c->Scale1X().RangeLow(), 0);
  TBitmap before;
  before.Assign(&c->Surface());
  c->MouseDown(TMouseButton::mbLeft, Left, 60, 40);
  c->MouseMove(Left, 100, 90);
  c->MouseUp(TMouseButton::mbRight, None, 100, 90);  // right release: erase and stop
  EXPECT_EQ(c->ZoomState(), TZoomState::zsNormal);
  EXPECT_EQ(c->Scale1X().RangeLow(), 0);
  EXPECT_TRUE(kelvo::test::SamePixels(before, c->Surface()));  // XOR twice restored it
  c->MouseDown(TMouseButton::mbLeft, Left, 10, 10);            // outside the plot: no window
  EXPECT_EQ(c->ZoomState(), TZoomState::zsNormal);
}

TEST(MouseFigures, RubberBandReportsTheStartPointFirst) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maRubberBand);
  std::vector<std::string> order;
  double lo = 0, hi = 0;
  c->OnRubberBand = [&](TObject*, int32_t layer, double loX, double, double hiX, double) {
    order.push_back("band" + std::to_string(layer));
    lo = loX;
    hi = hiX;
  };
  c->OnZoomPan = [&](TObject*) { order.push_back("zoompan"); };
  c->MouseDown(TMouseButton::mbLeft, Left, 130, 90);
  c->MouseMove(Left, 70, 40);
  c->MouseUp(TMouseButton::mbLeft, None, 70, 40);
  EXPECT_EQ(order, (std::vector<std::string>{"band1", "zoompan"}));
  EXPECT_NEAR(lo, 8, 1e-9);  // the start point, right of the end point
  EXPECT_NEAR(hi, 2, 1e-9);
  EXPECT_EQ(c->Scale1X().RangeLow(), 0);  // the band changes no range
}

TEST(MouseFigures, SelectionIsOrderedLikeTheAxes) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maSelectRect);
  double r[4] = {};
  c->OnSelectRect = [&](TObject*, int32_t, double a, double b, double d, double e) {
    r[0] = a, r[1] = b, r[2] = d, r[3] = e;
  };
  c->MouseDown(TMouseButton::mbLeft, Left, 130, 40);
  c->MouseMove(Left, 80, 90);
  c->MouseUp(TMouseButton::mbLeft, None, 80, 90);
  EXPECT_NEAR(r[0], 3, 1e-9);
  EXPECT_NEAR(r[1], 3, 1e-9);
  EXPECT_NEAR(r[2], 8, 1e-9);
  EXPECT_NEAR(r[3], 8, 1e-9);
}

TEST(MouseDrag, CrossHairsAndLabels) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maDragCrossH);
  int moves = 0;
  c->OnCrossHairMove = [&](TObject*, TCrossHair& h) {
    EXPECT_EQ(&h, &c->CrossHair1());
    ++moves;
  };
  Drag(*c, 60, 50, 100, 70);  // all crosshairs off: crosshair 1 moves
  EXPECT_NEAR(c->CrossHair1().PosX(), 5, 1e-9);
  EXPECT_NEAR(c->CrossHair1().PosY(), 5, 1e-9);
  EXPECT_EQ(moves, 1);
  c->MouseMove(None, 0, 0);
  c->CrossHair3().SetLayer(1);
  c->CrossHair3().SetMode(TCrossHMode::chVert);
  c->CrossHair3().SetPosX(9);
  c->OnCrossHairMove = nullptr;
  Drag(*c, 138, 50, 120, 50);  // nearest vertical line: crosshair 3 at x = 140
  EXPECT_NEAR(c->CrossHair3().PosX(), 7, 1e-9);

  c->SetMouseAction(TMouseActMode::maDragLabel);
  c->MouseMove(None, 0, 0);
  TTextLabel& hidden = c->TextLabels(2);
  hidden.SetPosX(5);
  hidden.SetPosY(5);
  hidden.SetMode(TTxtLblMode::tlBox);  // still invisible: never picked
  Drag(*c, 100, 70, 120, 50);
  EXPECT_EQ(hidden.PosX(), 5);
  EXPECT_NEAR(c->TextLabels(1).PosX(), 7, 1e-9);  // none pickable: label 1
  c->MouseMove(None, 0, 0);
  TTextLabel& pixels = c->TextLabels(3);
  pixels.SetAttachToData(TTxtLblAttachMode::tlamNone);
  pixels.SetPosX(60);
  pixels.SetPosY(30);
  pixels.SetMode(TTxtLblMode::tlsimple);
  pixels.SetVisible(true);
  Drag(*c, 62, 31, 90, 40);
  EXPECT_EQ(pixels.PosX(), 90);  // pixels stay pixels
  EXPECT_EQ(pixels.PosY(), 40);
}

TEST(MouseBox, FirstCornerDrawAndFinish) {
  auto c = MouseChart();
  c->SetMouseBoxState(TMouseBoxState::msFirstCorner);
  c->MouseDown(TMouseButton::mbLeft, Left, 70, 30);
  EXPECT_EQ(c->MouseBoxState(), TMouseBoxState::msRectDraw);
  c->MouseMove(Left, 200, 90);  // clamped to the plot area while drawing
  c->MouseUp(TMouseButton::mbLeft, None, 200, 90);
  EXPECT_EQ(c->MouseBoxState(), TMouseBoxState::msFinished);
  EXPECT_EQ(c->MouseBox().X1, 70);
  EXPECT_EQ(c->MouseBox().Y1, 30);
  EXPECT_EQ(c->MouseBox().X2, 200);  // the release point, unclamped
  c->SetMouseBoxState(TMouseBoxState::msFirstCorner);
  c->MouseDown(TMouseButton::mbRight, None, 70, 30);
  EXPECT_EQ(c->MouseBoxState(), TMouseBoxState::msNormal);
}

TEST(MouseClicks, TheClickAfterADoubleClickIsSwallowed) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maZoomWind);
  int downs = 0;
  c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int32_t, int32_t) { ++downs; };
  c->DblClick();
  c->MouseDown(TMouseButton::mbLeft, Left, 60, 40);
  EXPECT_EQ(downs, 0);
  EXPECT_EQ(c->ZoomState(), TZoomState::zsNormal);
  c->MouseDown(TMouseButton::mbLeft, Left, 60, 40);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(c->ZoomState(), TZoomState::zsDrawWin);
}

TEST(MouseCursor, FixedByDefaultElseByAction) {
  auto c = MouseChart();
  c->SetMouseAction(TMouseActMode::maPan);
  c->MouseMove(None, 100, 50);
  EXPECT_EQ(Screen().Cursor(), crDefault);
  c->SetMouseCursorFixed(false);
  c->MouseMove(None, 100, 50);
  EXPECT_EQ(Screen().Cursor(), 1);
  c->SetMouseAction(TMouseActMode::maNone);
  c->MouseMove(None, 100, 50);
  EXPECT_EQ(Screen().Cursor(), crCross);
  c->SetMouseAction(TMouseActMode::maZoomDrag);
  c->MouseMove(None, 100, 50);
  EXPECT_EQ(Screen().Cursor(), 3);
  c->MouseMove(None, 5, 5);  // outside the plot
  EXPECT_EQ(Screen().Cursor(), crDefault);
}

TEST(MouseReport, PositionInWorldUnits) {
  auto c = MouseChart();
  bool inChart = false;
  double wx = 0, wy = 0;
  c->OnMouseMoveInChart = [&](TObject*, bool in, TShiftState, double x, double y) {
    inChart = in;
    wx = x;
    wy = y;
  };
  c->MouseMove(None, 100, 70);
  EXPECT_TRUE(inChart);
  EXPECT_NEAR(wx, 5, 1e-9);
  EXPECT_NEAR(wy, 5, 1e-9);
  EXPECT_EQ(c->MouseX(), 100);
  EXPECT_NEAR(c->MouseWorldX(), 5, 1e-9);
  c->MouseMove(None, 5, 150);
  EXPECT_FALSE(inChart);
  EXPECT_NEAR(c->MouseWorldX(), 5, 1e-9);  // kept from the last move inside
}

TEST(MouseDemo, APanDragMovesTheDemoChartsRanges) {
  HeadlessWindowServices().Reset();
  TKelvo chart;
  demo::LoadExportChart(chart);
  chart.CreateWnd();
  Drag(chart, 200, 150, 239, 120);  // 39 pixels right, 30 up
  const double pw = 449 - 40 - 20, ph = 345 - 20 - 30;
  EXPECT_NEAR(chart.Scale1X().RangeLow(), 1969 - 12 * 39 / pw, 1e-9);
  EXPECT_NEAR(chart.Scale1X().RangeHigh(), 1981 - 12 * 39 / pw, 1e-9);
  EXPECT_NEAR(chart.Scale1Y().RangeLow(), -50 + 200 * -30 / ph, 1e-9);
  EXPECT_NEAR(chart.Scale1Y().RangeHigh(), 150 + 200 * -30 / ph, 1e-9);
}

}  // namespace
