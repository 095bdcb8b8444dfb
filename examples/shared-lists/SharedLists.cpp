// Two charts, one display list: an overview of a whole signal and a detail
// that shows a tenth of it, drawing the very same items (no copy). In the
// detail, layer 2's x axis is joined to layer 1's, so both layers move
// together when the detail is panned or zoomed.
//
//   shared_lists [FILE]     writes both charts side by side (default shared-lists.png)
#include <cmath>
#include <cstdio>
#include <string>

#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

int main(int argc, char** argv) {
  const std::string file = argc > 1 ? argv[1] : "shared-lists.png";
  TComponent form;  // owner of both charts, as a window would be
  TKelvo overview(&form), detail(&form);
  overview.SetName("Overview");
  detail.SetName("Detail");
  for (TKelvo* c : {&overview, &detail}) {
    c->SetBounds(0, 0, 400, 300);
    c->ApplyTheme(TKelvoTheme::ktLight);
    c->SetAntiAliased(true);
    c->Scale1Y().SetRangeLow(-1.5);
    c->Scale1Y().SetRangeHigh(1.5);
    c->Scale2Y().SetRangeLow(0);
    c->Scale2Y().SetRangeHigh(10);
    c->CreateWnd();
    c->SetAutoRedraw(false);
  }
  overview.SetCaption("Overview: 0 .. 100 s");
  overview.Scale1X().SetRangeHigh(100);
  overview.Scale2X().SetRangeHigh(100);
  detail.SetCaption("Detail: 40 .. 50 s");
  detail.JointLayers().SetXControlledBy(2, 1);  // layer 2 follows layer 1 in x
  detail.SetLayerRanges(1, 40, -1.5, 50, 1.5, false);

  // The detail uses the overview's list: commands on either show in both.
  detail.SetUseDataOf(&overview);
  overview.SetDataColor(clNavy);
  overview.MoveTo(0, 0);
  for (int i = 1; i <= 20000; ++i) {
    const double t = i * 0.005;
    overview.DrawTo(t, std::sin(t * 2.1) * std::cos(t * 0.13) + 0.1 * std::sin(t * 37));
  }
  overview.SetCurrentLayer(2);
  overview.SetDataColor(clRed);
  for (int s = 0; s <= 100; s += 2) overview.MarkAt(s, 5 + 4 * std::sin(s * 0.3), 8);

  overview.Paint();
  detail.Paint();
  TBitmap both(800, 300);
  both.Canvas().Draw(0, 0, overview.Surface());
  both.Canvas().Draw(400, 0, detail.Surface());
  both.SaveToFile(file);
  std::printf("Wrote %s: %d items drawn by both charts\n", file.c_str(), detail.ItemCount());
  return 0;
}
