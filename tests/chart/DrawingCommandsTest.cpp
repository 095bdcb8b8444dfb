// Drawing commands and current attributes of the chart, and how ShowGraph,
// ClearGraph and the repaint rules call the painting steps.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/WindowServices.h"

using namespace vexa;

namespace {

// Counts the painting steps a chart runs.
class CountingChart : public TKelvo {
 public:
  using TKelvo::TKelvo;
  void Paint() override {
    if (Visible() && !IsLoading() && !PaintLock()) ++FullPaints;
    TKelvo::Paint();
  }
  void PaintDataBackground(TCanvas& Canvas, int32_t X, int32_t Y) override {
    ++Backgrounds;
    LastBackgroundTarget = &Canvas;
    LastOffset = {X, Y};
  }
  void RenderDisplayList(TBitmap&) override { ++Renders; }
  int FullPaints = 0, Backgrounds = 0, Renders = 0;
  TCanvas* LastBackgroundTarget = nullptr;
  TPoint LastOffset{-1, -1};
};

TEST(DrawingCommands, RectangleCopiesTheCurrentAttributes) {
  TKelvo chart;
  chart.SetDataColor(clRed);
  chart.SetFillColor(clBlue);
  chart.SetPenStyle(TPenStyle::psDot);
  chart.SetLineWidth(3);
  chart.SetClassDefault(7);
  chart.Rectangle(1.5, -2, 0.5, 8);  // corners as given, not ordered
  chart.SetFillColor(clLime);        // later changes leave the item alone
  chart.SetDataColor(clBlack);
  ASSERT_EQ(chart.ItemCount(), 1);
  const TDrawItem& it = chart.Items(0);
  EXPECT_EQ(it.Kind, ikRectangle);
  EXPECT_EQ(it.Layer, 1);
  EXPECT_EQ(it.ItemClass, 7);
  EXPECT_EQ(it.X1, 1.5);
  EXPECT_EQ(it.Y1, -2);
  EXPECT_EQ(it.X2, 0.5);
  EXPECT_EQ(it.Y2, 8);
  EXPECT_EQ(it.Color, clRed);
  EXPECT_EQ(it.FillColor, clBlue);
  EXPECT_EQ(it.PenStyle, TPenStyle::psDot);
  EXPECT_EQ(it.LineWidth, 3);
  EXPECT_FALSE(it.Transparent);
  EXPECT_EQ(it.Param1, 0);
  EXPECT_EQ(it.Param2, 0);
}

TEST(DrawingCommands, Bar3DClampsTheAngleAndKeepsTheDepth) {
  TKelvo chart;
  chart.Bar3D(20, 45, 1969.6, 0, 1970.4, 10);
  chart.Bar3D(-10, 200, 0, 0, 1, 1);
  chart.Bar3D(5, -5, 0, 0, 1, 1);
  chart.Bar3D(5, 180, 0, 0, 1, 1);
  ASSERT_EQ(chart.ItemCount(), 4);
  EXPECT_EQ(chart.Items(0).Kind, ikBar3D);
  EXPECT_EQ(chart.Items(0).Param1, 45);
  EXPECT_EQ(chart.Items(0).Param2, 20);
  EXPECT_EQ(chart.Items(0).X1, 1969.6);
  EXPECT_EQ(chart.Items(0).Y2, 10);
  EXPECT_EQ(chart.Items(1).Param1, 180);
  EXPECT_EQ(chart.Items(1).Param2, -10);
  EXPECT_EQ(chart.Items(2).Param1, 0);
  EXPECT_EQ(chart.Items(3).Param1, 180);
}

TEST(DrawingCommands, IgnoredValuesLeaveTheOldOnes) {
  TKelvo chart;
  chart.SetClassDefault(9);
  chart.SetClassDefault(255);
  EXPECT_EQ(chart.ClassDefault(), 9);
  chart.SetAllocSize(0);
  chart.SetAllocSize(1000001);
  EXPECT_EQ(chart.AllocSize(), 1000);
  chart.SetCurrentLayer(0);
  chart.SetCurrentLayer(17);
  EXPECT_EQ(chart.CurrentLayer(), 1);
  chart.SetCurrentLayer(16);
  chart.Rectangle(0, 0, 1, 1);
  EXPECT_EQ(chart.Items(0).Layer, 16);
}

TEST(DrawingCommands, NonFiniteCoordinatesAreStoredAsGiven) {
  TKelvo chart;
  const double inf = std::numeric_limits<double>::infinity();
  chart.Rectangle(std::nan(""), inf, -inf, 1e308);
  EXPECT_TRUE(std::isnan(chart.Items(0).X1));
  EXPECT_EQ(chart.Items(0).Y1, inf);
  EXPECT_EQ(chart.Items(0).X2, -inf);
}

TEST(DrawingCommands, CapacityFollowsAllocSizeAndClearGraphStartsAfresh) {
  CountingChart chart;
  for (int i = 0; i < 1001; ++i) chart.Rectangle(i, 0, i + 1, 1);
  EXPECT_EQ(chart.Capacity(), 2000);
  chart.ClearGraph();
  EXPECT_EQ(chart.ItemCount(), 0);
  EXPECT_EQ(chart.Capacity(), 0);
  EXPECT_EQ(chart.Backgrounds, 1);
  EXPECT_EQ(chart.LastBackgroundTarget, &chart.DataBitmap().Canvas());
  EXPECT_EQ(chart.LastOffset, Point(0, 0));
  chart.SetAllocSize(5);
  chart.Bar3D(1, 1, 0, 0, 1, 1);
  EXPECT_EQ(chart.Capacity(), 5);
  EXPECT_EQ(chart.Renders, 0);  // commands never paint
}

TEST(ChartPainting, ShowGraphRefreshesOnlyTheDataAreaWithAutoRedraw) {
  CountingChart chart;
  chart.CreateWnd();
  chart.Rectangle(0, 0, 1, 1);
  chart.ShowGraph();
  EXPECT_EQ(chart.Backgrounds, 1);
  EXPECT_EQ(chart.Renders, 1);
  EXPECT_EQ(chart.FullPaints, 0);
  chart.SetAutoRedraw(false);
  chart.ShowGraph();
  EXPECT_EQ(chart.FullPaints, 1);
}

TEST(ChartPainting, ShowGraphOnAnInvisibleChartPaintsNothing) {
  CountingChart chart;
  chart.CreateWnd();
  chart.SetVisible(false);
  chart.ShowGraph();
  EXPECT_EQ(chart.Backgrounds + chart.Renders + chart.FullPaints, 0);
}

TEST(ChartPainting, TheDataAreaLandsInsideTheMargins) {
  class FillingChart : public TKelvo {
   public:
    using TKelvo::TKelvo;
    void PaintDataBackground(TCanvas& c, int32_t, int32_t) override {
      c.Brush().SetColor(clRed);
      c.FillRect(Rect(0, 0, DataBitmap().Width(), DataBitmap().Height()));
    }
  } chart;
  chart.CreateWnd();
  EXPECT_EQ(chart.DataBitmap().Width(), 280 - 50 - 20 + 1);
  EXPECT_EQ(chart.DataBitmap().Height(), 200 - 20 - 40 + 1);
  chart.ShowGraph();
  EXPECT_EQ(chart.Canvas().Pixels(51, 21), clRed);
  EXPECT_EQ(chart.Canvas().Pixels(259, 159), clRed);
  // The renderer's closing frame covers the outermost columns and rows.
  EXPECT_EQ(chart.Canvas().Pixels(50, 20), clBlack);
  EXPECT_EQ(chart.Canvas().Pixels(260, 160), clBlack);
  EXPECT_NE(chart.Canvas().Pixels(49, 20), clRed);
  EXPECT_NE(chart.Canvas().Pixels(261, 160), clRed);
  EXPECT_NE(chart.Canvas().Pixels(260, 161), clRed);
}

TEST(ChartPainting, PaintLockAndRepaintIfAuto) {
  CountingChart chart;
  chart.SetTextBkColor(clYellow);  // no window yet: locked
  EXPECT_EQ(chart.FullPaints, 0);
  EXPECT_TRUE(chart.PaintLock());
  chart.CreateWnd();
  EXPECT_FALSE(chart.PaintLock());
  chart.SetPaintLock(false);  // already unlocked: nothing
  EXPECT_EQ(chart.FullPaints, 0);
  chart.SetPaintLock(true);
  chart.SetTextAlignment(TAlignment::taLeftJustify);
  EXPECT_EQ(chart.FullPaints, 0);
  chart.SetPaintLock(false);  // unlocking paints once
  EXPECT_EQ(chart.FullPaints, 1);
  chart.SetTextFontStyle({TFontStyle::fsBold});
  chart.SetTextBkStyle(TTextBkg::tbSolid);
  chart.SetChartFrameColor(clRed);
  EXPECT_EQ(chart.FullPaints, 4);
  chart.SetAutoRedraw(false);
  chart.SetTextBkColor(clAqua);
  EXPECT_EQ(chart.FullPaints, 4);
  chart.SetDesigning(true);  // a designer always sees the change
  chart.SetTextBkColor(clWhite);
  EXPECT_EQ(chart.FullPaints, 5);
  EXPECT_EQ(chart.TextBkColor(), clWhite);
  EXPECT_EQ(chart.TextBkStyle(), TTextBkg::tbSolid);
  EXPECT_TRUE(chart.TextFontStyle().Contains(TFontStyle::fsBold));
}

TEST(ChartPainting, VisibilityTables) {
  CountingChart chart;
  for (int c = 0; c < 256; ++c) ASSERT_TRUE(chart.ClassVisible(c));
  for (int l = 1; l <= 16; ++l) ASSERT_TRUE(chart.LayerVisible(l));
  EXPECT_FALSE(chart.LayerVisible(0));
  EXPECT_FALSE(chart.LayerVisible(17));
  chart.SetClassVisible(3, false);
  chart.SetLayerVisible(2, false);
  chart.SetLayerVisible(40, false);  // ignored
  chart.SetClassVisible(-1, false);
  EXPECT_FALSE(chart.ClassVisible(3));
  EXPECT_FALSE(chart.LayerVisible(2));
  EXPECT_TRUE(chart.ClassVisible(4));
}

TEST(ChartCreation, CreationValues) {
  TKelvo chart;
  EXPECT_EQ(chart.Width(), 280);
  EXPECT_EQ(chart.Height(), 200);
  EXPECT_EQ(chart.DataColor(), clBlack);
  EXPECT_EQ(chart.FillColor(), clSilver);
  EXPECT_EQ(chart.PenStyle(), TPenStyle::psSolid);
  EXPECT_EQ(chart.LineWidth(), 1);
  EXPECT_EQ(chart.ClassDefault(), 0);
  EXPECT_EQ(chart.CurrentLayer(), 1);
  EXPECT_TRUE(chart.TextFontStyle().Empty());
  EXPECT_EQ(chart.TextBkStyle(), TTextBkg::tbClear);
  EXPECT_EQ(chart.TextBkColor(), clWhite);
  EXPECT_EQ(chart.TextAlignment(), TAlignment::taCenter);
  EXPECT_TRUE(chart.AutoRedraw());
  EXPECT_EQ(chart.ItemCount(), 0);
  EXPECT_EQ(chart.Capacity(), 0);
}

}  // namespace
