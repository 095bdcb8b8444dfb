// Rendering: the demo chart's pictures, mark symbols, grid, item kinds,
// text labels, background areas, shadows and crosshairs, and the exact
// rules a picture does not show well.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "demo/DemoForm.h"
#include "demo/DemoLogic.h"
#include "kelvo/base/Marks.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "support/ChartFixtures.h"
#include "support/Golden.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

constexpr kelvo::test::TTolerance kText{40, 60};

std::unique_ptr<TKelvo> DemoChart() {
  auto c = std::make_unique<TKelvo>();
  demo::LoadExportChart(*c);
  c->CreateWnd();
  return c;
}

TEST(DemoPictures, StartStateAndVariants) {
  const struct {
    const char* Name;
    bool Bars;
    int Depth, Angle;
    double Factor;
  } cases[] = {{"start-3d-depth20-angle45", true, 20, 45, 1.0},
               {"rectangles", false, 20, 45, 1.0},
               {"angle0", true, 20, 0, 1.0},
               {"angle90", true, 20, 90, 1.0},
               {"angle91", true, 20, 91, 1.0},
               {"angle135", true, 30, 135, 1.0},
               {"factor-1", true, 20, 45, -1.0}};
  for (const auto& k : cases) {
    auto c = DemoChart();
    demo::DrawChart(*c, k.Bars, k.Depth, k.Angle, k.Factor);
    c->Paint();
    EXPECT_GOLDEN(c->Surface(), std::string("demo/") + k.Name, kText);
  }
}

TEST(DemoPictures, ShowGraphRefreshEqualsTheFullPaintsDataArea) {
  auto full = DemoChart(), refreshed = DemoChart();
  demo::DrawChart(*full, true, 20, 45, 1.0);
  full->Paint();
  refreshed->Paint();                              // axes and frame
  demo::DrawChart(*refreshed, true, 20, 45, 1.0);  // ShowGraph: only the data area
  EXPECT_TRUE(kelvo::test::SamePixels(full->Surface(), refreshed->Surface()));
}

// Between full paints the frame bitmap holds the last full picture: right
// after a paint, after a second one, and still after a data-area refresh or
// a rubber figure on the window.
TEST(DemoPictures, TheFrameBitmapHoldsTheLastFullPicture) {
  auto c = DemoChart();
  demo::DrawChart(*c, true, 20, 45, 1.0);
  c->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(c->FrameBitmap(), c->Surface()));
  c->SetCaption("Second");
  c->Paint();
  TBitmap full;
  full.Assign(&c->Surface());
  EXPECT_TRUE(kelvo::test::SamePixels(c->FrameBitmap(), full));
  c->Paint();
  demo::DrawChart(*c, false, 20, 45, 1.0);  // ShowGraph: the window's data area only
  c->SetMouseAction(TMouseActMode::maZoomWind);
  c->MouseDown(TMouseButton::mbLeft, {TShiftStateItem::ssLeft}, 100, 100);
  c->MouseMove({TShiftStateItem::ssLeft}, 150, 150);  // an XOR rectangle on the window
  EXPECT_FALSE(kelvo::test::SamePixels(c->Surface(), full));
  EXPECT_TRUE(kelvo::test::SamePixels(c->FrameBitmap(), full));
}

// A full paint draws the data area in place in the frame; a recorded paint
// (the SVG export's) draws it on the data bitmap and copies it: the same
// picture. The data bitmap, asked for afterwards, holds the data area's
// pixels, also when the margins have moved since.
TEST(DemoPictures, TheDataAreaDrawnInPlaceEqualsTheCopiedOne) {
  auto c = DemoChart();
  demo::DrawChart(*c, true, 20, 45, 1.0);
  c->Paint();
  TBitmap inPlace;
  inPlace.Assign(&c->Surface());
  c->SvgDocument();
  EXPECT_TRUE(kelvo::test::SamePixels(c->Surface(), inPlace));
  c->Paint();
  const int32_t ml = c->MarginLeft(), mt = c->MarginTop();
  auto dataAreaHolds = [&] {
    TBitmap& d = c->DataBitmap();
    for (int32_t y = 0; y < d.Height(); y += 7)
      for (int32_t x = 0; x < d.Width(); x += 5)
        if (d.Canvas().Pixels(x, y) != inPlace.Canvas().Pixels(ml + x, mt + y)) return false;
    return true;
  };
  EXPECT_TRUE(dataAreaHolds());
  c->Paint();
  c->SetPaintLock(true);
  c->SetMarginLeft(ml + 30);  // a narrower data bitmap keeps the pixels it had
  EXPECT_TRUE(dataAreaHolds());
}

TEST(DemoPictures, ARepaintLeavesNothingOfTheEarlierPicture) {
  // Margins, caption and size change between two paints: every pixel of the
  // second picture must equal a chart painted once with the final settings.
  auto settle = [](TKelvo& c) {
    c.SetMarginLeft(80);
    c.SetMarginTop(35);
    c.SetMarginBottom(25);
    c.SetCaption("Moved");
    c.SetBounds(c.Left(), c.Top(), 420, 330);
    demo::DrawChart(c, false, 20, 45, 1.0);
  };
  auto repainted = DemoChart(), fresh = DemoChart();
  demo::DrawChart(*repainted, true, 20, 45, 1.0);
  repainted->Paint();
  settle(*repainted);
  repainted->Paint();
  settle(*fresh);
  fresh->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(fresh->Surface(), repainted->Surface()));
}

// A character mark drawn before any text of the paint looks the same in
// every paint, whatever font the last paint's texts and labels left behind.
TEST(Renderer, TwoPaintsInARowAreEqual) {
  auto c = kelvo::test::PlainChart(200, 150);
  c->MarkAt(3, 3, 'A');
  c->Text(5, 5, "large", 20);
  c->TextLabels(1).SetCaption("label");
  c->TextLabels(1).Font().SetHeight(-30);
  c->TextLabels(1).SetMode(TTxtLblMode::tlBox);
  c->TextLabels(1).SetVisible(true);
  c->Paint();
  TBitmap first;
  first.Assign(&c->Surface());
  c->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(first, c->Surface()));
  // The chart's axes draw at the chart's ratio: one set on an axis of its
  // own leaves the picture alone.
  c->ScaleX(1).SetDevicePixelRatio(2);
  c->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(first, c->Surface()));
  c->ScaleX(1).SetDevicePixelRatio(1);
  c->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(first, c->Surface()));
}

TEST(Marks, SheetOfAllCodes) {
  TBitmap sheet(16 * 20, 16 * 20);
  TCanvas& c = sheet.Canvas();
  c.Brush().SetColor(clWhite);
  c.FillRect(Rect(0, 0, sheet.Width(), sheet.Height()));
  c.Font().SetName("Arial");
  c.Font().SetHeight(-11);
  for (int code = 0; code < 256; ++code) {
    c.Pen().SetColor(code % 3 == 0 ? clBlue : clBlack);
    c.Brush().SetColor(clYellow);
    DrawMark(c, static_cast<uint8_t>(code), 10 + (code % 16) * 20, 10 + (code / 16) * 20);
  }
  EXPECT_GOLDEN(sheet, "marks/all-codes", kText);
}

TEST(Marks, ExactShapesAndBrushRules) {
  auto b = kelvo::test::MakeSheet(20, 20);
  TCanvas& c = b->Canvas();
  DrawMark(c, 0, 5, 5);
  EXPECT_EQ(kelvo::test::CountColor(*b, clBlack), 1);
  auto p = kelvo::test::MakeSheet(20, 20);
  DrawMark(p->Canvas(), 3, 10, 10);
  EXPECT_EQ(kelvo::test::CountColor(*p, clBlack), 13);
  auto f = kelvo::test::MakeSheet(20, 20);
  f->Canvas().Brush().SetColor(clRed);
  DrawMark(f->Canvas(), 9, 10, 10);
  EXPECT_EQ(kelvo::test::CountColor(*f, clBlack), 49);  // filled with the pen colour
  EXPECT_EQ(f->Canvas().Brush().Color(), clRed);        // brush colour restored
  f->Canvas().Pen().SetWidth(3);
  DrawMark(f->Canvas(), 9, 10, 10);
  EXPECT_GT(kelvo::test::CountColor(*f, clBlack), 49);  // the wide pen grows the square
  auto t = kelvo::test::MakeSheet(30, 30);
  t->Canvas().Brush().SetStyle(TBrushStyle::bsSolid);
  DrawMark(t->Canvas(), 65, 15, 15);  // the letter A
  EXPECT_EQ(t->Canvas().Brush().Style(), TBrushStyle::bsClear);
}

using kelvo::test::PlainChart;

TEST(Renderer, EveryItemKind) {
  auto c = PlainChart(320, 240);
  kelvo::test::AddEveryItemKind(*c);
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "render/every-kind", kText);
}

TEST(Renderer, ARectangleOnOnePixelSetsThatPixelInTheOutlineColour) {
  auto c = PlainChart();
  c->SetDataColor(clRed);
  c->Rectangle(5, 5, 5.000001, 5.000001);
  c->Paint();
  int32_t px, py;
  c->WorldToPixel(1, 5, 5, px, py);
  EXPECT_EQ(c->DataBitmap().Canvas().Pixels(px - c->MarginLeft(), py - c->MarginTop()), clRed);
  EXPECT_EQ(c->DataBitmap().Canvas().Pixels(px - c->MarginLeft() + 1, py - c->MarginTop()),
            clWhite);
}

TEST(Renderer, RectangleCoversBothCornerPixels) {
  auto c = PlainChart(50 + 20 + 220, 20 + 40 + 152);  // data area 221 x 153
  c->SetFillColor(clRed);
  c->SetDataColor(clRed);
  c->Rectangle(0, 0, 10, 10);
  c->Paint();
  TCanvas& d = c->DataBitmap().Canvas();
  EXPECT_EQ(d.Pixels(1, 1), clRed);
  EXPECT_EQ(d.Pixels(219, 151), clRed);
  // Columns 0..220 and rows 0..152: the frame drawn last covers the edges.
  EXPECT_EQ(d.Pixels(220, 152), clBlack);
}

// Counts the Polyline segments the renderer hands to a canvas by drawing
// with XOR: every polyline ends one pixel short, so joints show up.
TEST(Renderer, LineToRunsBecomePolylinesOf200Points) {
  auto c = PlainChart(1000, 300);
  c->Scale1X().SetRangeHigh(450);
  c->MoveTo(0, 5);
  for (int i = 1; i <= 450; ++i) c->DrawTo(i, 5);
  int32_t x0, y0, x450, y;
  c->WorldToPixel(1, 0, 5, x0, y0);
  c->WorldToPixel(1, 450, 5, x450, y);
  c->Paint();
  TCanvas& d = c->DataBitmap().Canvas();
  const int32_t row = y0 - c->MarginTop();
  // One continuous line from the start to the last point, the last pixel excluded.
  for (int32_t x = x0 - c->MarginLeft(); x < x450 - c->MarginLeft(); ++x)
    ASSERT_EQ(d.Pixels(x, row), clBlack) << x;
  EXPECT_NE(d.Pixels(x450 - c->MarginLeft() + 1, row), clBlack);
}

TEST(Renderer, InvisibleClassesAndLayersNeitherDrawNorFlush) {
  auto c = PlainChart();
  c->SetDataColor(clRed);
  c->MoveTo(1, 1);
  c->DrawTo(5, 1);
  c->SetClassDefault(7);
  c->SetDataColor(clBlue);
  c->Rectangle(2, 2, 8, 8);  // class 7, hidden: must not flush the red run
  c->SetClassDefault(0);
  c->SetDataColor(clRed);
  c->DrawTo(9, 1);
  c->SetClassVisible(7, false);
  c->Paint();
  EXPECT_EQ(kelvo::test::CountColor(c->DataBitmap(), clBlue), 0);
  int32_t px, py;
  c->WorldToPixel(1, 7, 1, px, py);
  EXPECT_EQ(c->DataBitmap().Canvas().Pixels(px - c->MarginLeft(), py - c->MarginTop()), clRed);
}

TEST(Renderer, DuplicateMarksAreSuppressed) {
  auto c = PlainChart();
  c->SetAvoidDuplicateMarks(true);
  c->SetMinDupMarkDist(3);
  c->SetDataColor(clRed);
  c->MarkAt(5, 5, 0);
  int32_t px, py;
  c->WorldToPixel(1, 5, 5, px, py);
  double wx, wy;
  c->PixelToWorld(1, px + 2, py, wx, wy);
  c->MarkAt(wx, wy, 0);  // 2 pixels away, same symbol: not drawn
  c->MarkAt(wx, wy, 1);  // another symbol: drawn
  c->Paint();
  TCanvas& d = c->DataBitmap().Canvas();
  const int32_t bx = px - c->MarginLeft(), by = py - c->MarginTop();
  EXPECT_EQ(d.Pixels(bx, by), clRed);
  EXPECT_EQ(d.Pixels(bx + 2, by - 1), clRed);  // the plus of code 1 above the centre
  EXPECT_EQ(kelvo::test::CountColor(c->DataBitmap(), clRed), 1 + 5 - 1 + 1);
  // Negative margins make the data area larger than the control: no index may leave the grid.
  c->SetMarginLeft(-40);
  c->MarkAt(0, 0, 2);
  c->MarkAt(10, 10, 2);
  c->Paint();
}

TEST(Renderer, WildItemValuesNeverHangOrCrash) {
  auto c = PlainChart();
  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  for (double v : {nan, inf, -inf, 1e300, -1e300}) {
    c->Rectangle(v, 0, 1, v);
    c->Bar3D(INT32_MAX, 45, v, v, 1, 1);
    c->Ellipse(v, v, v, 1);
    c->Arrow(0, 0, v, v, INT32_MAX);
    c->PixelBox(v, 1, INT32_MAX, INT32_MIN);
    c->Text(v, v, "x", INT32_MAX);
    c->TextOffset(1, 1, INT32_MAX, INT32_MIN, "y", -5);
    c->MoveRel(INT32_MAX, INT32_MAX);
    c->LineRel(INT32_MIN, INT32_MAX);
    c->DrawTo(v, -v);
    c->ErrorBar(v, v, v, v, true, 200);
    c->MarkAt(v, v, 255);
  }
  c->SetGridStyle(GridStyleType::gsPoints);
  c->SetGridDx(1e-9);
  c->SetGridDy(1e-9);
  c->Paint();  // a bounded number of grid positions
  c->SetGridStyle(GridStyleType::gsLines);
  c->Scale1X().SetRangeHigh(nan);
  c->Paint();
}

TEST(Grid, FixedStepsAndLogarithmicSequences) {
  auto c = PlainChart(300, 200);
  std::vector<double> xs;
  auto positions = [&](double step) {
    xs.clear();
    c->SetGridDx(step);
    const double lo = c->Scale1X().RangeLow(), hi = c->Scale1X().RangeHigh();
    // The same walk DrawGrid makes, through NextGridPos.
    double x = lo;
    if (step > 0 || !c->Scale1X().Logarithmic()) x = std::ceil(lo / step) * step;
    int n = 0;
    for (; x < hi && n < 1000; ++n) {
      xs.push_back(x);
      x = c->NextGridPos(x, n + 2, true, step);
    }
    return xs;
  };
  c->Scale1X().SetRangeHigh(10);
  EXPECT_EQ(positions(2.5), (std::vector<double>{0, 2.5, 5, 7.5}));
  c->Scale1X().SetRangeLow(0.3);
  EXPECT_EQ(positions(1).front(), 1);
  c->Scale1X().SetRangeLow(1);
  c->Scale1X().SetRangeHigh(1000);
  c->Scale1X().SetLogarithmic(true);
  EXPECT_NEAR(c->NextGridPos(1, 2, true, -1), 10, 1e-12);
  EXPECT_NEAR(c->NextGridPos(2, 2, true, -2), 5, 1e-12);
  EXPECT_NEAR(c->NextGridPos(5, 2, true, -2), 10, 1e-12);
  EXPECT_NEAR(c->NextGridPos(9, 2, true, -3), 10, 1e-12);
  EXPECT_NEAR(c->NextGridPos(10, 2, true, -3), 20, 1e-12);
  c->SetGridStyle(GridStyleType::gsVertDotLines);
  c->SetGridDx(-2);
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "grid/log-minus2", kText);
}

TEST(Grid, FollowsTheTicksOfADateAxis) {
  // A week of hourly values on layer 1: the date axis labels days, and the
  // grid (step 0: the axis ticks) follows its day ticks.
  auto c = PlainChart(420, 220);
  c->SetMarginBottom(44);
  c->Scale1X().SetLabelType(TFigType::ftDateTime);
  c->Scale1X().SetMinTicks(3);
  c->Scale1X().SetRangeHigh(36533);  // 2000-01-08
  c->Scale1X().SetRangeLow(36526);   // 2000-01-01
  c->SetGridStyle(GridStyleType::gsDotLines);
  c->MoveTo(36526, 5);
  for (int h = 1; h <= 7 * 24; ++h) c->DrawTo(36526 + h / 24.0, 5 + 4 * std::sin(h / 9.0));
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "grid/date-axis", kText);
}

TEST(PaintPipeline, ShadowsAndCaption) {
  for (TShadowStyle style : {TShadowStyle::ssFlying, TShadowStyle::ssBox}) {
    auto c = PlainChart(200, 140);
    c->SetShadowWidth(6);
    c->SetShadowStyle(style);
    c->SetShadowColor(clGray);
    c->SetShadowBakColor(clSilver);
    c->SetCaption("Shadow");
    c->Paint();
    TCanvas& s = c->Surface().Canvas();
    const int32_t H = c->Height();
    if (style == TShadowStyle::ssFlying) {
      EXPECT_EQ(s.Pixels(4, H - 3), clSilver);  // left of x = 5 keeps the background colour
      EXPECT_EQ(s.Pixels(5, H - 3), clGray);
    } else {
      EXPECT_EQ(s.Pixels(0, H - 6), clBlack);  // the box's slanted end starts at the body's corner
    }
    EXPECT_GOLDEN(
        c->Surface(),
        style == TShadowStyle::ssFlying ? "pipeline/shadow-flying" : "pipeline/shadow-box", kText);
  }
}

TEST(PaintPipeline, CrossHairModes) {
  auto c = PlainChart(260, 200);
  const TCrossHMode modes[] = {TCrossHMode::chHoriz, TCrossHMode::chVert, TCrossHMode::chCrossBox,
                               TCrossHMode::chBox};
  for (int i = 1; i <= 4; ++i) {
    TCrossHair& h = c->CrossHair(i);
    h.SetLayer(1);
    h.SetPosX(2 * i);
    h.SetPosY(2 * i);
    h.SetColor(i % 2 ? clRed : clBlue);
    h.SetMode(modes[i - 1]);
  }
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "pipeline/crosshairs", kText);
  // chBoth at the data area's left edge draws only its horizontal line.
  auto e = PlainChart(260, 200);
  e->CrossHair1().SetMode(TCrossHMode::chBoth);
  e->CrossHair1().SetPosX(0);
  e->CrossHair1().SetPosY(5);
  e->CrossHair1().SetColor(clRed);
  e->Paint();
  EXPECT_GT(kelvo::test::CountColor(e->Surface(), clRed), 100);
  int32_t px, py;
  e->WorldToPixel(1, 0, 5, px, py);
  EXPECT_NE(e->Surface().Canvas().Pixels(px, py - 20), clRed);
  // The full paint draws them on the frame only: the data bitmap has none,
  // also after a second paint; a data-area refresh draws them into it.
  for (int paint = 0; paint < 2; ++paint) {
    EXPECT_EQ(kelvo::test::CountColor(e->DataBitmap(), clRed), 0) << paint;
    e->Paint();
  }
  e->ShowGraph();
  EXPECT_GT(kelvo::test::CountColor(e->DataBitmap(), clRed), 100);
}

TEST(Background, AreasAndAFailedImage) {
  auto c = PlainChart(240, 180);
  c->Scale1X().SetRangeLow(-2);
  c->Scale1X().SetRangeHigh(2);
  c->BackGroundImg().SetAreaMode(TBGAreaMode::bamVStripe);
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "background/vstripe", kText);
  c->BackGroundImg().SetAreaMode(TBGAreaMode::bamRectInv);
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "background/rect-inv", kText);
  c->BackGroundImg().SetName("/nonexistent/picture.bmp");
  EXPECT_EQ(c->BackGroundImg().Name(), "");  // the failed load cleared it during the repaint
}

TEST(TextLabels, MultiLineBoxRightJustified) {
  auto c = PlainChart(260, 200);
  TTextLabel& l = c->TextLabels(1);
  l.SetCaption("ab\nlonger line");
  l.SetAlignment(TAlignment::taRightJustify);
  l.SetMode(TTxtLblMode::tlBox);
  l.SetPosX(5);
  l.SetPosY(5);
  l.SetVisible(true);
  c->Paint();
  EXPECT_GOLDEN(c->Surface(), "labels/box-right-multiline", kText);
}

// The image is read again only when its file has changed, and a changed
// or vanished file shows at the next paint.
TEST(Background, AChangedImageFileShowsAtTheNextPaint) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "kelvo-background-test.bmp").string();
  auto picture = [&](TColor colour, int side) {
    TBitmap b(side, side);
    b.Canvas().Brush().SetColor(colour);
    b.Canvas().FillRect(Rect(0, 0, side, side));
    b.SaveToFile(path);
  };
  picture(clRed, 2);
  auto c = PlainChart(240, 180);
  c->BackGroundImg().SetIncludePath(true);
  c->BackGroundImg().SetName(path);
  auto data = [&] { return c->DataBitmap().Canvas().Pixels(30, 30); };
  EXPECT_EQ(data(), clRed);
  c->Paint();  // the same file: the picture stays
  EXPECT_EQ(data(), clRed);
  picture(clBlue, 3);
  c->Paint();
  EXPECT_EQ(data(), clBlue);
  std::filesystem::remove(path);
  c->Paint();
  EXPECT_EQ(c->BackGroundImg().Name(), "");
  EXPECT_EQ(data(), c->ChartColor());
}

}  // namespace
