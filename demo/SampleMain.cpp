// kelvo-demo, for now: renders a sample picture with the drawing surface
// (bars with depth, a dotted grid, labels) and writes it to a PNG.
// The demo window replaces this once the chart control can paint itself.
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/Bitmap.h"

using namespace vexa;

namespace {

void DrawSample(TBitmap& b) {
  TCanvas& c = b.Canvas();
  const int w = b.Width(), h = b.Height();
  c.Brush().SetColor(clBtnFace);
  c.FillRect(Rect(0, 0, w, h));
  // Data area with a dotted grid whose gaps take the background colour.
  const TRect area = Rect(60, 40, w - 30, h - 50);
  c.Pen().SetColor(clBlack);
  c.Brush().SetColor(clWhite);
  c.Rectangle(area);
  c.Pen().SetStyle(TPenStyle::psDot);
  c.Pen().SetColor(clSilver);
  for (int y = area.Top + 40; y < area.Bottom; y += 40) {
    c.MoveTo(area.Left + 1, y);
    c.LineTo(area.Right - 1, y);
  }
  c.Pen().SetStyle(TPenStyle::psSolid);
  // Bars with a top and a side face, as a 3D bar chart draws them.
  const int values[] = {40, 75, 20, -15, 60, 95, 50, 30, 80, 110, 65};
  const TColor colors[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua,
                           clMaroon, clGreen, clNavy, clOlive, clPurple};
  const int zero = area.Bottom - 60, step = (area.Right - area.Left) / 12;
  const int dx = static_cast<int>(std::lround(std::cos(M_PI / 4) * 12));
  const int dy = -dx;
  for (int i = 0; i < 11; ++i) {
    int x1 = area.Left + step / 2 + i * step, x2 = x1 + step * 2 / 3;
    int y1 = zero - values[i] * 2, y2 = zero;
    if (y1 > y2) std::swap(y1, y2);
    c.Pen().SetColor(clBlack);
    c.Brush().SetColor(colors[i]);
    const TPoint top[] = {{x1, y1}, {x1 + dx, y1 + dy}, {x2 + dx, y1 + dy}, {x2, y1}};
    const TPoint side[] = {{x2 + dx, y1 + dy}, {x2, y1}, {x2, y2}, {x2 + dx, y2 + dy}};
    c.Polygon(top);
    c.Polygon(side);
    c.Rectangle(x1, y1, x2 + 1, y2 + 1);
  }
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Font().SetName("Arial");
  c.Font().SetHeight(-13);
  c.Font().SetColor(clBlack);
  const std::string caption = "Kelvo drawing surface sample";
  c.TextOut((w - c.TextWidth(caption)) / 2, 12, caption);
  c.Font().SetSize(8);
  for (int i = 0; i < 11; i += 2) {
    const std::string year = std::to_string(1970 + i);
    c.TextOut(area.Left + step / 2 + i * step, area.Bottom + 6, year);
  }
  c.Pen().SetColor(clRed);
  c.Pen().SetWidth(3);
  c.Ellipse(w - 80, 10, w - 40, 34);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : "kelvo-sample.png";
  try {
    TBitmap b(576, 432);
    DrawSample(b);
    b.SaveToFile(out);
    std::printf("The demo window is not built yet; wrote a sample picture to %s\n",
                std::filesystem::absolute(out).c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelvo-demo: %s\n", e.what());
    return 1;
  }
  return 0;
}
