// Drawing in device pixels on high-density surfaces: the snapping rule, the
// canvas at a device scale, the chart's pictures at 1.25, 1.5 and 2, the
// pointer between logical pixels, and pictures written at a ratio.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "demo/DemoForm.h"
#include "demo/DemoLogic.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Raster.h"
#include "kelvo/platform/WindowServices.h"
#include "support/ChartFixtures.h"
#include "support/Golden.h"
#include "support/Random.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

constexpr kelvo::test::TTolerance kText{40, 60};
constexpr double kRatios[] = {1.25, 1.5, 2.0};

std::string RatioName(double r) { return r == 1.25 ? "1.25" : r == 1.5 ? "1.5" : "2"; }

TEST(DeviceScale, TheSnappingRule) {
  // Length: max(1, round-half-even(L x r)), sign kept, 0 stays 0.
  const struct {
    double Ratio;
    int64_t L;
    int32_t Length, Position;
  } cases[] = {{1.0, 7, 7, 7},    {1.25, 1, 1, 1},
               {1.25, 2, 2, 2},  // 2.5 -> 2
               {1.25, 6, 8, 8},   {1.5, 1, 2, 2},
               {1.5, 3, 4, 4},  // 4.5 -> 4
               {1.5, 5, 8, 8},    {1.5, -3, -4, -4},
               {2.0, 0, 0, 0},    {1.75, 2, 4, 4},
               {1.1, 1, 1, 1},    {1.1, 5, 6, 6},  // 5.5 -> 6
               {4.0, -1, -4, -4}, {1.5, 2000000000, 2147483647, 2147483647}};
  for (const auto& k : cases) {
    const TDeviceScale d{k.Ratio};
    EXPECT_EQ(d.Length(k.L), k.Length) << k.Ratio << " " << k.L;
    EXPECT_EQ(d.Position(k.L), k.Position) << k.Ratio << " " << k.L;
  }
  EXPECT_EQ(TDeviceScale{1.1}.Length(0), 0);
  EXPECT_EQ(TDeviceScale{1.1}.Position(-1), -1);
  // Surfaces cover every logical pixel.
  EXPECT_EQ(TDeviceScale{1.5}.Side(281), 422);
  EXPECT_EQ(TDeviceScale{1.25}.Side(3), 4);
  EXPECT_EQ(TDeviceScale{2}.Side(-5), 0);
  for (double r : {0.5, 0.999, 4.001, std::nan(""), HUGE_VAL, -2.0})
    EXPECT_FALSE(TDeviceScale::Acceptable(r)) << r;
}

TEST(DeviceScale, ControlRatioAndSurface) {
  TCustomControl c;
  c.SetBounds(0, 0, 101, 50);
  EXPECT_EQ(c.DevicePixelRatio(), 1.0);
  for (double bad : {0.0, 0.75, 5.0, std::nan(""), -HUGE_VAL, HUGE_VAL}) {
    c.SetDevicePixelRatio(bad);
    EXPECT_EQ(c.DevicePixelRatio(), 1.0) << bad;
  }
  c.SetDevicePixelRatio(1.5);
  EXPECT_EQ(c.Surface().Width(), 152);  // ceil(151.5)
  EXPECT_EQ(c.Surface().Height(), 75);
  EXPECT_EQ(c.Canvas().DeviceScale().Ratio, 1.5);
  c.SetBounds(0, 0, 10, 11);
  EXPECT_EQ(c.Surface().Width(), 15);
  EXPECT_EQ(c.Surface().Height(), 17);  // ceil(16.5)
  EXPECT_EQ(c.Width(), 10);             // the programming interface stays logical
  // A ratio at which the surface would be too large is refused whole.
  TCustomControl big;
  big.SetBounds(0, 0, MaxBitmapSide / 2, 10);
  EXPECT_THROW(big.SetDevicePixelRatio(3), EInvalidGraphic);
  EXPECT_EQ(big.DevicePixelRatio(), 1.0);
}

// Runs of pen pixels along a row or column of a sheet.
std::vector<int> Runs(TBitmap& b, bool Row, int At, TColor Colour) {
  std::vector<int> runs;
  const int n = Row ? b.Width() : b.Height();
  int run = 0;
  for (int i = 0; i <= n; ++i) {
    const bool on = i < n && (Row ? b.Canvas().Pixels(i, At) : b.Canvas().Pixels(At, i)) == Colour;
    if (on) {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  return runs;
}

// Lines of one logical width are equally wide wherever they lie, and a
// width-1 pen at 2 is two pixels wide; wider pens take Length(width).
TEST(DeviceCanvas, LinesOfOneWidthAreEquallyWide) {
  for (double r : kRatios) {
    const TDeviceScale d{r};
    for (int width : {1, 2, 3}) {
      for (TPenStyle style : {TPenStyle::psSolid, TPenStyle::psDot}) {
        auto s = kelvo::test::MakeSheet(200, 200);
        TCanvas& c = s->Canvas();
        c.SetDeviceScale(d);
        c.Pen().SetColor(clBlack);
        c.Pen().SetWidth(width);
        c.Pen().SetStyle(style);
        for (int k = 0; k < 9; ++k) {  // upright lines at 9 logical columns
          const int x = d.Position(10 + 7 * k);
          c.MoveTo(x, 5);
          c.LineTo(x, 60);
        }
        // A row where the dotted pattern (3 on, 3 off, scaled) is on.
        const std::vector<int> runs = Runs(*s, true, 5 + d.Length(1), clBlack);
        ASSERT_EQ(runs.size(), 9u) << r << " " << width;
        for (int w : runs) EXPECT_EQ(w, d.Length(width)) << r << " width " << width;
      }
    }
  }
  // The dash pattern scales with the pen: runs of the dotted pattern are
  // 3 x 2 pixels long at 2.
  auto s = kelvo::test::MakeSheet(100, 20);
  s->Canvas().SetDeviceScale(TDeviceScale{2});
  s->Canvas().Pen().SetStyle(TPenStyle::psDot);
  s->Canvas().Pen().SetColor(clBlack);
  s->Canvas().MoveTo(0, 4);
  s->Canvas().LineTo(60, 4);
  for (int w : Runs(*s, true, 5, clBlack)) EXPECT_EQ(w, 6);
}

// A thick line is the one-pixel line's pixels as blocks; XOR twice restores.
TEST(DeviceCanvas, ThickLineIsTheBlocksOfTheOnePixelLine) {
  kelvo::test::TRandom rnd{11};
  for (int trial = 0; trial < 400; ++trial) {
    const int n = 2 + static_cast<int>(rnd.Below(3));
    const int x0 = static_cast<int>(rnd.Below(90)) - 20, y0 = static_cast<int>(rnd.Below(90)) - 20;
    const int x1 = static_cast<int>(rnd.Below(90)) - 20, y1 = static_cast<int>(rnd.Below(90)) - 20;
    auto thick = kelvo::test::MakeSheet(60, 60);
    const raster::TPaint black{raster::PixelFromColor(clBlack), false};
    uint32_t phase = 0;
    auto wide = kelvo::test::MakeSheet(70, 70);  // the one-pixel line, off the edges too
    raster::TSurface ws{wide->Bits(), 70, 70, 70};
    raster::Line(ws, x0 + 5, y0 + 5, x1 + 5, y1 + 5, black, {}, phase, nullptr);
    auto expected = kelvo::test::MakeSheet(60, 60);
    expected->Canvas().Brush().SetStyle(TBrushStyle::bsSolid);
    expected->Canvas().Brush().SetColor(clBlack);
    for (int y = 0; y < 70; ++y)
      for (int x = 0; x < 70; ++x)
        if (wide->Canvas().Pixels(x, y) == clBlack)
          expected->Canvas().FillRect(Rect(x - 5, y - 5, x - 5 + n, y - 5 + n));
    raster::TSurface ts{thick->Bits(), 60, 60, 60};
    raster::ThickLine(ts, x0, y0, x1, y1, n, black, {}, phase, nullptr);
    ASSERT_TRUE(kelvo::test::SamePixels(*thick, *expected))
        << x0 << "," << y0 << " -> " << x1 << "," << y1 << " n " << n;
    const raster::TPaint x{raster::PixelFromColor(clWhite), true};
    auto before = kelvo::test::MakeSheet(60, 60);
    before->Canvas().Draw(0, 0, *thick);
    raster::ThickLine(ts, x0, y0, x1, y1, n, x, {}, phase, nullptr);
    raster::ThickLine(ts, x0, y0, x1, y1, n, x, {}, phase, nullptr);
    ASSERT_TRUE(kelvo::test::SamePixels(*thick, *before));
  }
}

std::unique_ptr<TKelvo> DemoChart(double Ratio) {
  auto c = std::make_unique<TKelvo>();
  demo::LoadExportChart(*c);
  c->SetDevicePixelRatio(Ratio);
  c->CreateWnd();
  demo::DrawChart(*c, true, 20, 45, 1.0);
  return c;
}

TEST(DevicePictures, DemoChartAtEachRatio) {
  for (double r : kRatios) {
    auto c = DemoChart(r);
    c->Paint();
    EXPECT_EQ(c->Surface().Width(), TDeviceScale{r}.Side(c->Width()));
    EXPECT_GOLDEN(c->Surface(), "device/demo-" + RatioName(r), kText);
  }
}

std::unique_ptr<TKelvo> EveryKind(double Ratio) {
  auto c = kelvo::test::PlainChart(320, 240);
  c->SetDevicePixelRatio(Ratio);
  kelvo::test::AddEveryItemKind(*c);
  c->MarkAt(1.5, 8, 3);  // a glyph mark
  c->MarkAt(2.5, 9, 8);  // a filled square
  c->SetGridStyle(GridStyleType::gsDotLines);
  c->SetShadowWidth(4);
  c->SetCaption("Every kind");
  c->CrossHair(1).SetMode(TCrossHMode::chCrossBox);
  c->CrossHair(1).SetPosX(8);
  c->CrossHair(1).SetPosY(6);
  TSeries& s = c->AddSeries();
  s.SetColor(clRed);
  s.SetSymbol(10);
  for (int i = 0; i <= 20; ++i) s.Append(0.5 + i * 0.45, 3 + std::cos(i * 0.7));
  c->Legend().SetVisible(true);
  return c;
}

TEST(DevicePictures, EveryItemKindAtEachRatio) {
  for (double r : kRatios) {
    auto c = EveryKind(r);
    c->Paint();
    EXPECT_GOLDEN(c->Surface(), "device/every-kind-" + RatioName(r), kText);
  }
}

std::unique_ptr<TKelvo> PointerChart(double Ratio) { return kelvo::test::MouseChart(Ratio); }

// The physical pointer at a device position: the host's fractional
// logical position, and the notification at its rounded pixel.
struct TPointer {
  TKelvo& C;
  double Lx = 0, Ly = 0;
  void At(double DevX, double DevY) {
    Lx = DevX / C.DevicePixelRatio(), Ly = DevY / C.DevicePixelRatio();
    C.SetPointerPosition(Lx, Ly);
  }
  int32_t X() const { return static_cast<int32_t>(std::lround(Lx)); }
  int32_t Y() const { return static_cast<int32_t>(std::lround(Ly)); }
};

const TShiftState kLeft{TShiftStateItem::ssLeft};

TEST(DevicePointer, PanKeepsTheWorldPointUnderThePhysicalPointer) {
  auto c = PointerChart(1.5);
  c->SetMouseAction(TMouseActMode::maPan);
  TPointer p{*c};
  // Device positions between logical pixels (151 / 1.5 = 100.67).
  p.At(151, 100);
  double wx, wy;
  c->PixelToWorld(1, p.Lx, p.Ly, wx, wy);
  c->MouseMove(kLeft, p.X(), p.Y());
  p.At(181, 131);
  c->MouseMove(kLeft, p.X(), p.Y());
  double ax, ay;
  c->PixelToWorld(1, p.Lx, p.Ly, ax, ay);
  // Within half a device pixel (1 / 30 of a unit here); in fact exact.
  EXPECT_NEAR(ax, wx, 1e-9);
  EXPECT_NEAR(ay, wy, 1e-9);
  // Where the pointer lies: the device pixel the mapping gives the world
  // point is the pointer's.
  int32_t px, py;
  c->DeviceMapping(1).Map(wx, wy, px, py);
  EXPECT_EQ(px, 181);
  EXPECT_EQ(py, 131);
}

TEST(DevicePointer, ZoomWindowSpansThePhysicalCorners) {
  auto c = PointerChart(1.5);
  c->SetMouseAction(TMouseActMode::maZoomWindPos);
  TPointer p{*c};
  p.At(121, 61);  // logical 80.67, 40.67
  c->MouseDown(TMouseButton::mbLeft, kLeft, p.X(), p.Y());
  p.At(196, 151);  // logical 130.67, 100.67
  c->MouseMove(kLeft, p.X(), p.Y());
  c->MouseUp(TMouseButton::mbLeft, {}, p.X(), p.Y());
  EXPECT_NEAR(c->Scale1X().RangeLow(), (121 / 1.5 - 50) / 10, 1e-9);
  EXPECT_NEAR(c->Scale1X().RangeHigh(), (196 / 1.5 - 50) / 10, 1e-9);
  EXPECT_NEAR(c->Scale1Y().RangeLow(), (120 - 151 / 1.5) / 10, 1e-9);
  EXPECT_NEAR(c->Scale1Y().RangeHigh(), (120 - 61 / 1.5) / 10, 1e-9);
  // Without the host's position the notification's pixel counts.
  c->SetPointerPosition(std::nan(""), 0);
  EXPECT_EQ(c->PointerX(7), 7.0);
}

// A world point lands on its nearest device pixel, not on the device pixel
// of its rounded logical one.
TEST(DevicePointer, WorldPointsLandOnTheirNearestDevicePixel) {
  auto c = PointerChart(1.5);
  c->SetDataColor(clRed);
  c->Line(3.33, 1, 3.33, 9);  // logical 83.3: device 124.95
  c->Paint();
  EXPECT_EQ(c->Surface().Canvas().Pixels(125, 100), clRed);
  EXPECT_EQ(c->Surface().Canvas().Pixels(126, 100), clRed);  // two device pixels wide
  EXPECT_NE(c->Surface().Canvas().Pixels(124, 100), clRed);
  EXPECT_NE(c->Surface().Canvas().Pixels(127, 100), clRed);
}

TEST(DevicePictures, SavedAtARatio) {
  const std::string dir = testing::TempDir();
  auto c = kelvo::test::PlainChart(150, 110);
  c->MarkAt(5, 5, 12);
  c->SaveToFile(dir + "ratio2.png", 0, 0, 2.0);
  TBitmap png;
  png.LoadFromFile(dir + "ratio2.png");
  auto at2 = kelvo::test::PlainChart(150, 110);
  at2->SetDevicePixelRatio(2);
  at2->MarkAt(5, 5, 12);
  at2->Paint();
  EXPECT_EQ(png.Width(), 300);
  EXPECT_TRUE(kelvo::test::SamePixels(png, at2->Surface()));
  EXPECT_EQ(c->DevicePixelRatio(), 1.0);  // the control is left as it was
  // A picture at another size and ratio; the vector picture stays logical.
  c->SaveToFile(dir + "ratio125.png", 201, 157, 1.25);
  png.LoadFromFile(dir + "ratio125.png");
  EXPECT_EQ(png.Width(), 252);   // ceil(251.25)
  EXPECT_EQ(png.Height(), 197);  // ceil(196.25)
  EXPECT_EQ(at2->SvgDocument(), c->SvgDocument());
  for (double bad : {0.5, 4.5, std::nan("")})
    EXPECT_THROW(c->SaveToFile(dir + "bad.png", 0, 0, bad), EInvalidGraphic) << bad;
  // Smaller than the margins allow: refused, not written at another size.
  EXPECT_THROW(c->SaveToFile(dir + "bad.png", 15, 610, 4), EInvalidGraphic);
  EXPECT_THROW(c->SvgDocument(15, 610), EInvalidGraphic);
  EXPECT_FALSE(std::filesystem::exists(dir + "bad.png"));
  std::filesystem::remove(dir + "ratio2.png");
  std::filesystem::remove(dir + "ratio125.png");
}

}  // namespace
