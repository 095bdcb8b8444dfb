// The chart's list of plottables, walked without knowing any kind: a kind
// defined here (a box between two corners, drawn as its equivalent
// rectangle item) takes part in drawing order, the legend, fitting,
// nearest hits, sharing and copies as series do.
#include <gtest/gtest.h>

#include <cmath>

#include "kelvo/chart/Legend.h"
#include "kelvo/chart/PlotContext.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

class TBoxPlot : public TPlottable {
 public:
  TBoxPlot(std::string Name, double X0, double Y0, double X1, double Y1, TColor Color)
      : TPlottable(std::move(Name)), A{X0, Y0}, B{X1, Y1}, Fill(Color) {}
  std::unique_ptr<TPlottable> Clone() const override { return std::make_unique<TBoxPlot>(*this); }
  void Draw(TPlotContext& Context) const override {
    if (!Shown(Context.Chart)) return;
    TDrawItem it{};
    it.Kind = ikRectangle;
    it.X1 = A[0], it.Y1 = A[1], it.X2 = B[0], it.Y2 = B[1];
    it.Color = clBlack;
    it.FillColor = Fill;
    it.Layer = Layer();
    it.ItemClass = ItemClass();
    Context.DrawItem(it);
  }
  bool Extent(TPlotExtent& E, bool, bool) const override {
    E = {std::fmin(A[0], B[0]), std::fmax(A[0], B[0]), std::fmin(A[1], B[1]),
         std::fmax(A[1], B[1])};
    return true;
  }
  bool NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const override {
    int32_t px, py;
    Chart.WorldToPixel(Layer(), A[0], A[1], px, py);
    const double d = std::hypot(double(px) - X, double(py) - Y);
    if (d > Best.Distance) return false;
    Best = TPlotHit{0, Layer(), A[0], A[1], d};
    return true;
  }
  void LegendIcon(TLegendEntry& Entry) const override {
    Entry.Color = clBlack;
    Entry.PenStyle = TPenStyle::psClear;
    Entry.Symbol = 9;
    Entry.FillColor = Fill;
  }

 private:
  double A[2], B[2];
  TColor Fill;
};

std::unique_ptr<TKelvo> Chart() {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, 240, 180);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1Y().SetRangeHigh(10);
  return c;
}

TEST(Plottables, EveryKindInOneListInTheOrderAdded) {
  auto c = Chart();
  c->AddSeries("first").Append(0.0, 3);
  auto& box = c->AddPlottable(std::make_unique<TBoxPlot>("box", 2, 2, 6, 6, clRed));
  TSeries& second = c->AddSeries("second");
  ASSERT_EQ(c->PlottableCount(), 3u);
  EXPECT_EQ(c->SeriesCount(), 2u);
  EXPECT_EQ(&c->Series(1), &second);  // series count series only
  EXPECT_EQ(&c->Plottable(1), &box);
  EXPECT_THROW(c->Plottable(3), EVexaKelvoError);
  try {
    c->Series(2);
    ADD_FAILURE() << "no error";
  } catch (const EVexaKelvoError& e) {
    EXPECT_STREQ(e.what(), "Series 2 does not exist: the chart has 2 series");
  }

  // Drawn in that order, after the items: a series line added after the box
  // crosses it; the one before is covered.
  second.SetColor(clBlue);
  second.Append(0.0, 4);
  second.Append(10, 4);
  c->Series(0).SetColor(clLime);
  c->Series(0).Append(10, 3);  // under the box
  c->Paint();
  int32_t px, py;
  c->WorldToPixel(1, 4, 4, px, py);
  EXPECT_EQ(c->Surface().Canvas().Pixels(px, py), clBlue);
  c->WorldToPixel(1, 5, 3, px, py);
  EXPECT_EQ(c->Surface().Canvas().Pixels(px, py), clRed);

  // The legend names every kind.
  EXPECT_EQ(c->LegendEntryCount(), 3u);

  // Fitting and the nearest hit ask the list.
  c->FitLayerToData(1);
  EXPECT_EQ(c->Scale1X().RangeLow(), 0);
  EXPECT_EQ(c->Scale1Y().RangeLow(), 2);
  EXPECT_EQ(c->Scale1Y().RangeHigh(), 6);
  c->WorldToPixel(1, 2, 2, px, py);
  const TNearestItem near = c->FindNearestItem(px + 1, py, 5);
  EXPECT_EQ(near.Plottable, 1);
  EXPECT_EQ(near.Series, 0);  // the first of its kind
  EXPECT_EQ(near.Point, 0);
  c->WorldToPixel(1, 0, 4, px, py);
  EXPECT_EQ(c->FindNearestItem(px, py, 5).Series, 1);  // the second series

  // Sharing: a user sees the list, and keeps copies when it leaves.
  TKelvo user;
  user.SetUseDataOf(c.get());
  EXPECT_EQ(user.PlottableCount(), 3u);
  user.SetUseDataOf(nullptr);
  c->DeletePlottable(1);
  EXPECT_EQ(c->PlottableCount(), 2u);
  ASSERT_EQ(user.PlottableCount(), 3u);
  EXPECT_NE(&user.Plottable(1), &box);
  EXPECT_EQ(user.Plottable(1).Name(), "box");
  c->ClearSeries();
  EXPECT_EQ(c->PlottableCount(), 0u);
}

}  // namespace
