// Charts for rendering tests.
#pragma once

#include <cmath>
#include <memory>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/WindowServices.h"

namespace kelvo::test {

// A live chart of the given size whose layer 1 maps 0..10 on both axes.
inline std::unique_ptr<vexa::TKelvo> PlainChart(int w = 240, int h = 180) {
  auto c = std::make_unique<vexa::TKelvo>();
  c->SetBounds(0, 0, w, h);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1Y().SetRangeHigh(10);
  c->CreateWnd();
  return c;
}

// A chart for comparing pictures: live, painted only when asked, on white.
inline std::unique_ptr<vexa::TKelvo> PictureChart(int w, int h) {
  auto c = std::make_unique<vexa::TKelvo>();
  c->SetBounds(0, 0, w, h);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  c->SetChartColor(vexa::clWhite);
  return c;
}

// One item of every kind (on a chart whose layer 1 maps 0..10 both ways).
inline void AddEveryItemKind(vexa::TKelvo& c) {
  using namespace vexa;
  c.SetDataColor(clNavy);
  c.SetFillColor(clAqua);
  c.MarkAt(1, 9, 15);
  c.MarkAt(1.5, 9, 24);
  c.MarkAt(2, 9, 65);
  c.Line(0.5, 8, 3, 6.5);
  c.MoveTo(4, 6);
  for (int i = 0; i < 12; ++i) c.DrawTo(4 + i * 0.25, 6 + std::sin(i) * 1.5);
  c.Rectangle(0.5, 0.5, 2, 2);
  c.BevelBox(2.5, 0.5, 4, 2, TFrameStyle::fsRaised, clWhite, clGray);
  c.Bar3D(12, 60, 4.5, 0.5, 5.5, 3);
  c.Text(7, 9, "Text", 10, 0);
  c.TextOffset(7, 8, 5, 5, "Offset", 8, 2);
  c.Ellipse(8.5, 4, 1, 1.5);
  c.MoveTo(6, 3);
  c.MoveRel(10, -10);
  c.LineRel(30, 0);
  c.Arrow(6, 1, 9, 2.5, 10);
  c.Arrow(6, 2, 8, 3, 8, true);
  c.SetPenStyle(TPenStyle::psDash);
  c.ErrorBar(1.5, 4.5, 1, 2, false, 8);
  c.ErrorBar(3, 4, 0.5, 1, true, 16);
  c.SetPenStyle(TPenStyle::psSolid);
  c.PixelBox(9, 8, 6, 4, true);
}

// The mouse tests' chart: plot area 100 x 100 logical pixels at (50, 20),
// layer 1 from 0 to 10 on both axes, painted, at a device pixel ratio.
inline std::unique_ptr<vexa::TKelvo> MouseChart(double Ratio = 1.0) {
  vexa::HeadlessWindowServices().Reset();
  auto c = std::make_unique<vexa::TKelvo>();
  c->SetDevicePixelRatio(Ratio);
  c->SetBounds(0, 0, 170, 160);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1Y().SetRangeHigh(10);
  c->CreateWnd();
  c->Paint();
  return c;
}

}  // namespace kelvo::test
