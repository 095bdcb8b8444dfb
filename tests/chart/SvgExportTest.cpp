// The SVG export: recorded shapes rasterise (librsvg, crisp edges) to the
// canvas's own pixels, text stays text, and what the document cannot say
// is embedded as pixels.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

#include "demo/DemoForm.h"
#include "demo/DemoLogic.h"
#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/SvgPicture.h"
#include "support/SvgRaster.h"

namespace {

using namespace vexa;
using kelvo::test::ComparePictures;
using kelvo::test::RasteriseSvg;

std::unique_ptr<TKelvo> DemoChart() {
  auto chart = std::make_unique<TKelvo>();
  ::demo::LoadExportChart(*chart);
  chart->CreateWnd();
  ::demo::DrawChart(*chart, true, 20, 45, 1.0);
  return chart;
}

size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t i = s.find(what); i != std::string::npos; i = s.find(what, i + 1)) ++n;
  return n;
}

// Draws on a 64 x 48 canvas (at a device Ratio) while recording; returns
// the canvas's picture and the rasterised document.
struct TRecorded {
  TBitmap Canvas{64, 48};
  TBitmap Svg{64, 48};
  std::string Document;
};
void Record(TRecorded& r, const std::function<void(TCanvas&)>& draw, double Ratio = 1.0) {
  TCanvas& c = r.Canvas.Canvas();
  c.SetDeviceScale(TDeviceScale{Ratio});
  c.Brush().SetColor(clWhite);
  c.FillRect(Rect(0, 0, 64, 48));
  TSvgPicture svg;
  {
    TCanvasRecorder::TScope recording(svg);
    c.FillRect(Rect(0, 0, 64, 48));
    draw(c);
  }
  r.Document = svg.Document(r.Canvas, r.Canvas);
  RasteriseSvg(r.Document, r.Svg);
}

// Writes the three forms next to each other for a failing case.
std::string KeepForLooking(const TRecorded& r, std::string name) {
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '-';
  const std::string base = ::testing::TempDir() + "svg-" + name;
  std::ofstream(base + ".svg") << r.Document;
  r.Canvas.SaveToFile(base + "-canvas.png");
  r.Svg.SaveToFile(base + "-svg.png");
  return "see " + base + ".svg, -canvas.png, -svg.png";
}

// Shapes on whole pixels: the rasterised document equals the canvas pixel
// for pixel (the canvas's rules: lines without their end pixel, boxes
// x1..x2-1 with the pen band centred or inside, polygons filled where a
// pixel's corner lies inside, dash patterns counted in pixel steps).
TEST(SvgExport, WholePixelShapesRasteriseExactly) {
  auto pen = [](TCanvas& c, TColor colour, int width, TPenStyle style = TPenStyle::psSolid) {
    c.Pen().SetColor(colour);
    c.Pen().SetWidth(width);
    c.Pen().SetStyle(style);
  };
  const std::vector<std::pair<const char*, std::function<void(TCanvas&)>>> cases = {
      {"boxes",
       [&](TCanvas& c) {
         pen(c, clBlue, 1);
         c.Brush().SetColor(clYellow);
         c.Rectangle(3, 4, 20, 15);
         c.Brush().SetStyle(TBrushStyle::bsClear);
         c.Rectangle(40, 30, 25, 18);  // reversed corners
         c.Rectangle(50, 5, 51, 20);   // one pixel wide
         pen(c, clRed, 4);
         c.Rectangle(30, 3, 45, 14);
         pen(c, clGreen, 3, TPenStyle::psInsideFrame);
         c.Brush().SetStyle(TBrushStyle::bsSolid);
         c.Rectangle(5, 25, 20, 44);
         pen(c, clBlack, 1, TPenStyle::psClear);
         c.Brush().SetColor(clMaroon);
         c.Rectangle(45, 35, 60, 46);
       }},
      {"lines",
       [&](TCanvas& c) {
         pen(c, clBlack, 1);
         c.MoveTo(2, 2);
         c.LineTo(60, 2);   // right
         c.LineTo(60, 40);  // down, then a path on
         c.LineTo(5, 40);
         c.MoveTo(30, 30);
         c.LineTo(30, 8);  // up, alone
         c.MoveTo(20, 20);
         c.LineTo(20, 20);  // nothing
         pen(c, clRed, 1);
         c.MoveTo(-2000000000, 45);
         c.LineTo(2000000000, 45);  // far beyond both sides
       }},
      {"dashes",
       [&](TCanvas& c) {
         const TPenStyle styles[] = {TPenStyle::psDash, TPenStyle::psDot, TPenStyle::psDashDot,
                                     TPenStyle::psDashDotDot};
         for (int k = 0; k < 4; ++k) {
           pen(c, clNavy, 1, styles[k]);
           c.Brush().SetStyle(k % 2 ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
           c.Brush().SetColor(clAqua);
           c.MoveTo(3, 3 + 6 * k);
           c.LineTo(40, 3 + 6 * k);
           c.LineTo(40, 30 + 4 * k);  // the pattern goes on round the corner
           c.MoveTo(50 + 3 * k, 45);
           c.LineTo(50 + 3 * k, 5);
         }
         c.Brush().SetStyle(TBrushStyle::bsClear);
         pen(c, clPurple, 1, TPenStyle::psDot);
         c.Rectangle(5, 30, 35, 46);
       }},
      {"pixels and polygons",
       [&](TCanvas& c) {
         for (int x = 1; x < 63; x += 2) c.SetPixels(x, 1, clGray);
         for (int x = 10; x < 30; ++x) c.SetPixels(x, 3, clRed);
         pen(c, clBlack, 1);
         c.Brush().SetColor(clLime);
         const TPoint frame[] = {{5, 10}, {30, 10}, {30, 40}, {5, 40}};
         c.Polygon(frame);
         c.Brush().SetStyle(TBrushStyle::bsClear);
         const TPoint open[] = {{40, 10}, {60, 10}, {60, 30}};
         c.Polyline(open);
         // Slanted edges without an outline: filled where a corner is inside.
         pen(c, clBlack, 1, TPenStyle::psClear);
         c.Brush().SetStyle(TBrushStyle::bsSolid);
         c.Brush().SetColor(clFuchsia);
         const TPoint slanted[] = {{35, 33}, {62, 47}, {33, 46}};
         c.Polygon(slanted);
       }},
      {"bitmaps",
       [&](TCanvas& c) {
         static TBitmap tile(3, 2);
         for (int i = 0; i < 6; ++i) tile.Bits()[i] = 0xFF000000u | (0x332211u * (i + 1));
         c.StretchDraw(Rect(2, 2, 14, 10), tile);
         c.StretchDraw(Rect(30, 2, 18, 10), tile);  // mirrored
         static TBitmap inner(20, 12);
         inner.Canvas().Brush().SetColor(clTeal);
         inner.Canvas().FillRect(Rect(0, 0, 20, 12));
         inner.Canvas().Pen().SetColor(clWhite);
         inner.Canvas().MoveTo(0, 5);
         inner.Canvas().LineTo(40, 5);  // beyond its own bitmap: clipped there
         c.Draw(50, 30, inner);         // and partly beyond the target
         c.Draw(-5, 35, inner);
       }},
  };
  for (const auto& [name, draw] : cases) {
    TRecorded r;
    Record(r, draw);
    const auto d = ComparePictures(r.Svg, r.Canvas);
    EXPECT_EQ(d.EqualShare, 1.0) << name << ": " << KeepForLooking(r, name);
  }
}

// Random scenes of whole-pixel shapes, partly or far outside the canvas,
// with every pen style and width the boxes take and thin dashed lines; every
// other scene on a canvas of two device pixels to the pixel (thin pens two
// pixels wide, box outlines and dashes scaled).
TEST(SvgExport, RandomWholePixelScenesRasteriseExactly) {
  uint32_t seed = 2026;
  auto next = [&](int n) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
  };
  const TColor colours[] = {clBlack, clRed, clBlue, clLime, clYellow, clTeal, clGray, clWhite};
  for (int scene = 0; scene < 40; ++scene) {
    TRecorded r;
    Record(
        r,
        [&](TCanvas& c) {
          auto coord = [&](int size) {
            return next(10) == 0 ? (next(2) ? 2000000000 : -2000000000) : next(size + 40) - 20;
          };
          for (int op = 0; op < 25; ++op) {
            c.Pen().SetColor(colours[next(8)]);
            c.Brush().SetColor(colours[next(8)]);
            c.Brush().SetStyle(next(3) ? TBrushStyle::bsSolid : TBrushStyle::bsClear);
            const auto style = static_cast<TPenStyle>(next(7));
            c.Pen().SetStyle(style);
            switch (next(4)) {
              case 0:
                c.Pen().SetWidth(1 + next(5));
                c.Rectangle(coord(64), coord(48), coord(64), coord(48));
                break;
              case 1:
                c.FillRect(Rect(coord(64), coord(48), coord(64), coord(48)));
                break;
              case 2: {  // a thin horizontal or vertical line, any style
                c.Pen().SetWidth(1);
                const int a = coord(64), b = coord(48), len = next(60) - 30;
                c.MoveTo(a, b);
                if (next(2))
                  c.LineTo(a + len, b);
                else
                  c.LineTo(a, b + len);
                break;
              }
              default:
                c.SetPixels(next(64), next(48), colours[next(8)]);
                break;
            }
          }
        },
        scene % 2 ? 2.0 : 1.0);
    const auto d = ComparePictures(r.Svg, r.Canvas);
    EXPECT_EQ(d.EqualShare, 1.0) << "scene " << scene << ": "
                                 << KeepForLooking(r, "scene" + std::to_string(scene));
  }
}

// Translucent fills (the brush's opacity) are written with their opacity:
// boxes, outlined boxes and polygons blend over what lies beneath.
TEST(SvgExport, TranslucentFillsKeepTheirOpacity) {
  TRecorded r;
  Record(r, [](TCanvas& c) {
    c.Brush().SetColor(clYellow);
    c.FillRect(Rect(0, 0, 40, 30));
    c.SetBrushOpacity(100);
    c.Brush().SetColor(clBlue);
    c.Pen().SetStyle(TPenStyle::psClear);
    c.Rectangle(10, 10, 50, 40);
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.Rectangle(30, 2, 60, 20);
    const TPoint tri[] = {{2, 44}, {30, 20}, {58, 44}};
    c.Polygon(tri);
    c.SetBrushOpacity(255);
  });
  EXPECT_EQ(Count(r.Document, "fill-opacity"), 3u);
  const auto d = ComparePictures(r.Svg, r.Canvas);
  EXPECT_GT(d.NearShare, 0.99) << KeepForLooking(r, "translucent");
  EXPECT_LT(d.MeanAbs, 2.0) << KeepForLooking(r, "translucent");
}

// Slanted lines, wide round pens and ellipses are placed as the canvas
// places them; a crisp renderer's own rule decides single edge pixels.
TEST(SvgExport, CurvesAndSlantsRasteriseClosely) {
  TRecorded r;
  Record(r, [](TCanvas& c) {
    c.Pen().SetColor(clBlack);
    c.MoveTo(2, 2);
    c.LineTo(60, 20);
    c.LineTo(10, 45);
    c.Pen().SetWidth(3);
    c.MoveTo(5, 30);
    c.LineTo(40, 10);
    c.Pen().SetWidth(1);
    c.Brush().SetColor(clYellow);
    c.Ellipse(30, 20, 60, 46);
    c.Pen().SetWidth(4);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Ellipse(4, 4, 24, 24);
  });
  const auto d = ComparePictures(r.Svg, r.Canvas);
  EXPECT_GE(d.EqualShare, 0.97);
  EXPECT_LE(d.MeanAbs, 4.0);
}

// What SVG cannot say is embedded as the pixels themselves: XOR drawing
// makes the bitmap's finished picture stand for its recording.
TEST(SvgExport, XorDrawingIsEmbeddedAsItsPixels) {
  TRecorded r;
  Record(r, [](TCanvas& c) {
    c.Brush().SetColor(clBlue);
    c.Rectangle(5, 5, 40, 30);
    c.Pen().SetMode(TPenMode::pmXor);
    c.Pen().SetColor(clWhite);
    c.MoveTo(0, 10);
    c.LineTo(64, 20);
  });
  EXPECT_EQ(Count(r.Document, "<image"), 1u);
  EXPECT_EQ(Count(r.Document, "<rect"), 0u);
  EXPECT_EQ(ComparePictures(r.Svg, r.Canvas).EqualShare, 1.0);
}

// The demo chart: all of it as shapes and text (no pictures), and its
// rasterised document close to the window. Measured: 98.7% of the pixels
// equal, 99.4% within 48 per channel; the rest is text anti-aliasing (the
// renderer's hinting is not the canvas's) and a few slanted bar edges.
TEST(SvgExport, DemoChartIsShapesAndTextAndMatchesTheWindow) {
  auto chart = DemoChart();
  chart->Paint();
  const std::string doc = chart->SvgDocument();
  EXPECT_EQ(Count(doc, "<image"), 0u);
  EXPECT_NE(doc.find(">Net exports</text>"), std::string::npos);
  for (const char* label : {">1970<", ">1980<", ">150<", ">-50<", ">0<"})
    EXPECT_NE(doc.find(label), std::string::npos) << label;
  EXPECT_NE(doc.find("font-family=\"'Liberation Sans'"), std::string::npos);
  TBitmap svg(chart->Width(), chart->Height());
  RasteriseSvg(doc, svg);
  const auto d = ComparePictures(svg, chart->Surface());
  EXPECT_GE(d.EqualShare, 0.98);
  EXPECT_GE(d.NearShare, 0.99);
  EXPECT_LE(d.MeanAbs, 1.5);
  // Exporting leaves the window's picture as it was.
  TBitmap before(chart->Width(), chart->Height());
  before.Canvas().Draw(0, 0, chart->Surface());
  chart->SvgDocument();
  EXPECT_EQ(ComparePictures(before, chart->Surface()).EqualShare, 1.0);
}

// A colour map is embedded as the picture drawn, once; its colour bar is
// shapes and text.
TEST(SvgExport, ColorMapIsOnePictureAndItsBarShapesAndText) {
  auto chart = DemoChart();
  TColorMap& m = chart->AddColorMap("heat");
  m.SetSize(30, 20);
  m.SetExtent(1972, 1980, -20, 100);
  for (int j = 0; j < 20; ++j)
    for (int i = 0; i < 30; ++i) m.SetValue(i, j, i * j);
  m.SetValue(4, 4, std::nan(""));  // transparent: the chart shows through
  chart->ColorBar().SetVisible(true);
  chart->ColorBar().SetCaption("Heat");
  chart->Paint();
  const std::string doc = chart->SvgDocument();
  EXPECT_EQ(Count(doc, "<image"), 1u);
  EXPECT_NE(doc.find(">Heat</text>"), std::string::npos);
  EXPECT_NE(doc.find(">400<"), std::string::npos);  // a label of the bar
  TBitmap svg(chart->Width(), chart->Height());
  RasteriseSvg(doc, svg);
  const auto d = ComparePictures(svg, chart->Surface());
  EXPECT_GE(d.EqualShare, 0.97);
  EXPECT_LE(d.MeanAbs, 2.0);
}

// The background picture is embedded once for every distinct cut of it,
// however often it is tiled, and
// the export at another size is that of a copy drawn at that size.
TEST(SvgExport, BackgroundPictureFilesAndSizes) {
  auto chart = DemoChart();
  const std::string dir = ::testing::TempDir();
  TBitmap tile(7, 5);
  for (int i = 0; i < 35; ++i) tile.Bits()[i] = 0xFF000000u | (0x050709u * i);
  tile.SaveToFile(dir + "svg-tile.bmp");
  chart->BackGroundImg().SetIncludePath(true);
  chart->BackGroundImg().SetFillMode(TBkgFill::bfTile);
  chart->BackGroundImg().SetName(dir + "svg-tile.bmp");
  chart->Paint();
  chart->SaveToFile(dir + "chart.svg");
  std::ifstream in(dir + "chart.svg", std::ios::binary);
  const std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The whole tile, and the tile cut at the right, at the bottom and at both.
  EXPECT_EQ(Count(doc, "<image"), 4u);
  EXPECT_GT(Count(doc, "<use"), 100u);
  TBitmap svg(chart->Width(), chart->Height());
  RasteriseSvg(doc, svg);
  EXPECT_GE(ComparePictures(svg, chart->Surface()).EqualShare, 0.97);

  chart->SaveToFile(dir + "CHART-BIG.SVG", 800, 600);
  std::ifstream big(dir + "CHART-BIG.SVG", std::ios::binary);
  const std::string bigDoc((std::istreambuf_iterator<char>(big)), std::istreambuf_iterator<char>());
  EXPECT_NE(bigDoc.find("width=\"800\" height=\"600\""), std::string::npos);
  EXPECT_EQ(chart->Width(), 449);
  EXPECT_THROW(chart->SaveToFile(dir + "no-such-dir/chart.svg"), EFOpenError);
}

// Items far beyond the picture, NaN and infinite ones: the document keeps
// every coordinate near the picture (renderers work in fixed point) and
// still shows what the window shows.
TEST(SvgExport, FarAndNonFiniteItemsStayNearThePicture) {
  auto chart = std::make_unique<TKelvo>();
  chart->SetBounds(0, 0, 240, 180);
  chart->Scale1X().SetRangeHigh(10);
  chart->Scale1Y().SetRangeHigh(10);
  chart->CreateWnd();
  const double inf = std::numeric_limits<double>::infinity();
  chart->SetFillColor(clYellow);
  chart->Rectangle(-1e12, -1e12, 1e12, 4);
  chart->Line(-1e300, 5, 1e300, 6);
  chart->MoveTo(5, 5);
  chart->DrawTo(1e15, -1e15);
  chart->DrawTo(std::nan(""), 3);
  chart->DrawTo(inf, -inf);
  chart->Ellipse(2, 8, 1, 1);
  chart->MarkAt(1e9, 5, 8);
  chart->Text(-1e9, 5, "far", 10);
  chart->Paint();
  const std::string doc = chart->SvgDocument();
  EXPECT_EQ(Count(doc, "<image"), 0u);
  double widest = 0;
  for (const char* p = doc.c_str(); *p;) {
    char* end = nullptr;
    const double v = std::strtod(p, &end);
    if (end != p && std::isfinite(v)) {
      widest = std::max(widest, std::fabs(v));
      p = end;
    } else {
      ++p;
    }
  }  // Coordinates within 4096 pixels of the picture; a width spans at most that twice.
  EXPECT_LE(widest, 2 * 4096 + 240);
  TBitmap svg(240, 180);
  RasteriseSvg(doc, svg);
  // All but the tick labels' anti-aliasing, a larger share on a small chart.
  EXPECT_GE(ComparePictures(svg, chart->Surface()).EqualShare, 0.97);
  // An ellipse reaching a billion pixels out: the data area's pixels stand for it.
  chart->Ellipse(5, 5, 1e9, 1e9);
  chart->Paint();
  const std::string withEllipse = chart->SvgDocument();
  EXPECT_EQ(Count(withEllipse, "<image"), 1u);
  RasteriseSvg(withEllipse, svg);
  EXPECT_GE(ComparePictures(svg, chart->Surface()).EqualShare, 0.97);
}

// Text the XML cannot carry as it stands: markup escaped, bytes that are not
// UTF-8 and control characters as U+FFFD; the document still reads.
TEST(SvgExport, HostileTextStaysWellFormed) {
  auto chart = std::make_unique<TKelvo>();
  chart->SetBounds(0, 0, 200, 120);
  chart->CreateWnd();
  chart->SetCaption(std::string("a<b&\"c'>\x01\xff\xfe]]>", 15));  // with its NUL
  chart->Paint();
  const std::string doc = chart->SvgDocument();
  const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
  EXPECT_NE(
      doc.find(">a&lt;b&amp;&quot;c&apos;&gt;" + bad + bad + bad + "]]&gt;" + bad + "</text>"),
      std::string::npos)
      << doc;
  TBitmap svg(200, 120);
  EXPECT_NO_THROW(RasteriseSvg(doc, svg));
}

}  // namespace

// Unsnapped, lines and series keep their positions between pixels: a gentle
// curve rasterised at four times the size runs smooth where the snapped
// document climbs in steps of whole pixels.
TEST(SvgExport, UnsnappedShapesPrintSmoothAtAnyScale) {
  auto chart = std::make_unique<TKelvo>();
  chart->SetBounds(0, 0, 240, 180);
  chart->CreateWnd();
  chart->SetAutoRedraw(false);
  chart->Scale1X().SetRangeLow(0);
  chart->Scale1X().SetRangeHigh(100);
  chart->Scale1Y().SetRangeLow(0);
  chart->Scale1Y().SetRangeHigh(100);
  TSeries& s = chart->AddSeries();
  for (int i = 0; i <= 400; ++i) s.Append(i / 4.0, 50 + 30 * std::sin(i / 64.0));
  chart->Paint();
  const TRect area = chart->DataArea();
  // The mean of the line's darkness' row down each column of the data
  // area (four times as many), and how much that bends from column to column.
  auto roughness = [&](bool snap, std::string& doc) {
    chart->SetSvgPixelSnap(snap);
    doc = chart->SvgDocument();
    TBitmap big(chart->Width() * 4, chart->Height() * 4);
    RasteriseSvg(doc, big);
    std::vector<double> centre;
    for (int x = area.Left * 4 + 8; x < area.Right * 4 - 8; ++x) {
      double mass = 0, moment = 0;
      for (int y = area.Top * 4 + 8; y < area.Bottom * 4 - 8; ++y) {
        const double ink = 255 - (big.Bits()[size_t(y) * big.Width() + x] & 0xFF);
        mass += ink;
        moment += ink * y;
      }
      if (mass > 0) centre.push_back(moment / mass);
    }
    EXPECT_GT(centre.size(), 600u);  // the line crosses the whole area
    double bend = 0;
    for (size_t i = 1; i + 1 < centre.size(); ++i)
      bend += std::fabs(centre[i + 1] - 2 * centre[i] + centre[i - 1]);
    return bend / static_cast<double>(centre.size());
  };
  std::string snapped, unsnapped;
  const double stairs = roughness(true, snapped), smooth = roughness(false, unsnapped);
  EXPECT_LT(smooth * 4, stairs) << smooth << " " << stairs;
  EXPECT_NE(snapped.find("shape-rendering=\"crispEdges\""), std::string::npos);
  EXPECT_EQ(unsnapped.find("shape-rendering"), std::string::npos);
  EXPECT_NE(unsnapped.find("width=\"240\" height=\"180\" viewBox=\"0 0 960 720\""),
            std::string::npos);
  // Text stays text at its size in the picture's units.
  EXPECT_NE(unsnapped.find(">100</text>"), std::string::npos);
  EXPECT_EQ(chart->DevicePixelRatio(), 1.0);  // the chart itself is not changed
}
