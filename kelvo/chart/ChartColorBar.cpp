// The colour bar: the colour map it shows, its room beside the data area
// and its painting.
//
// The bar takes a band at one side of the control, as an outside legend
// does, between the margin as set and a legend on the same side: across the
// band lie the bar, the ticks and labels of its values (a TScale of its
// own, with the label settings of the map's layer's y axis), then the
// caption. Along the data area it runs the data area's length: its low end
// (the colour range's low) at the bottom or the left.
#include <algorithm>

#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/RenderState.h"
#include "kelvo/scale/TickLabels.h"

namespace vexa {

namespace {

using render::Clamp32;

constexpr int64_t Inset = 6;       // between the band's parts and its edges
constexpr int64_t TickRoom = 10;   // ticks and the gap before their labels
constexpr int64_t CaptionGap = 4;  // between labels and caption

// The side's place in the room arrays: left, right, top, bottom.
size_t SideOf(TLegendPos P) {
  return P == TLegendPos::lpOutsideLeft    ? 0
         : P == TLegendPos::lpOutsideRight ? 1
         : P == TLegendPos::lpOutsideTop   ? 2
                                           : 3;
}

}  // namespace

void TCustomKelvo::SetColorBar(const TColorBar& Value) {
  TNotifyEvent wiring = FColorBar->OnChange;  // the chart keeps its own object wired to itself
  FColorBar->Assign(&Value);
  FColorBar->OnChange = std::move(wiring);
  RepaintIfAuto();
}

const TColorMap* TCustomKelvo::ColorBarMap(double& Low, double& High) const {
  const TColorBar& b = *FColorBar;
  if (!b.Visible()) return nullptr;
  size_t index = static_cast<size_t>(b.ColorMapIndex());
  for (const auto& p : *FPlottables) {
    const auto* map = dynamic_cast<const TColorMap*>(p.get());
    if (!map || index-- != 0) continue;
    if (map->SizeX() == 0 || !map->DrawnColorRange(Low, High)) return nullptr;
    if (map->LogColors() && !(Low > 0 && High > 0)) return nullptr;
    return map;
  }
  return nullptr;
}

TAxisSettings TCustomKelvo::ColorBarAxis(const TColorMap& Map) const {
  TAxisSettings a = ScalePropsY(Map.Layer()).AxisSettings();
  a.Caption.clear();
  a.UserTickText.clear();
  a.LabelType = TFigType::ftNum;
  a.Logarithmic = Map.LogColors();
  return a;
}

int32_t TCustomKelvo::ColorBarRoom() {
  double low, high;
  const TColorMap* map = ColorBarMap(low, high);
  if (!map) return 0;
  const TColorBar& b = *FColorBar;
  TCanvas& c = FLegendMeasure.Canvas();
  c.SetFont(b.Font());
  const int64_t textH = c.TextHeight("0");
  int64_t labels = textH;  // across the band: a horizontal bar's labels are a line high
  const bool vertical = SideOf(b.Position()) < 2;
  if (vertical) {
    // The widest of the ends' and the middle's labels, and a digit to spare.
    const TAxisSettings a = ColorBarAxis(*map);
    const int32_t decimals = a.Logarithmic ? AutoLogDecimals(a.DecPlaces, low, high)
                                           : AutoDecimals(a.DecPlaces, low, high);
    labels = 0;
    for (double v : {low, high, (low + high) / 2})
      labels = std::max<int64_t>(
          labels, c.TextWidth(ApplyInscript(FormatTickValue(v, decimals), a.ScaleInscript)));
    labels += c.TextWidth("0");
  }
  const int64_t caption = b.Caption().empty() ? 0 : CaptionGap + textH;
  return Clamp32(Inset + b.Width() + TickRoom + labels + caption + Inset);
}

TRect TCustomKelvo::ColorBarBand() const {
  const size_t side = SideOf(FColorBar->Position());
  const int64_t room = FColorBarRoom;
  if (room <= 0) return TRect{};
  const int64_t legend = FLegendOnlyRoom[side];
  const int64_t W = int64_t{Width()} - FSettings.ShadowWidth,
                H = int64_t{Height()} - FSettings.ShadowWidth;
  switch (side) {
    case 0:
      return Rect(Clamp32(legend), 0, Clamp32(legend + room), Clamp32(H));
    case 1:
      return Rect(Clamp32(W - legend - room), 0, Clamp32(W - legend), Clamp32(H));
    case 2:
      return Rect(0, Clamp32(legend), Clamp32(W), Clamp32(legend + room));
    default:
      return Rect(0, Clamp32(H - legend - room), Clamp32(W), Clamp32(H - legend));
  }
}

TRect TCustomKelvo::ColorBarBox() const {
  const TRect band = ColorBarBand();
  if (band.Right <= band.Left) return TRect{};
  const TRect area = DataArea();
  const int64_t w = FColorBar->Width();
  switch (SideOf(FColorBar->Position())) {
    case 0:
      return Rect(Clamp32(band.Right - Inset - w), area.Top, Clamp32(band.Right - Inset),
                  area.Bottom);
    case 1:
      return Rect(Clamp32(band.Left + Inset), area.Top, Clamp32(band.Left + Inset + w),
                  area.Bottom);
    case 2:
      return Rect(area.Left, Clamp32(band.Bottom - Inset - w), area.Right,
                  Clamp32(band.Bottom - Inset));
    default:
      return Rect(area.Left, Clamp32(band.Top + Inset), area.Right, Clamp32(band.Top + Inset + w));
  }
}

void TCustomKelvo::PaintColorBar(TCanvas& c) {
  double low, high;
  const TColorMap* map = ColorBarMap(low, high);
  const TRect box = ColorBarBox();
  if (!map || box.Right - box.Left < 2 || box.Bottom - box.Top < 2) return;
  const TColorBar& b = *FColorBar;
  const size_t side = SideOf(b.Position());
  const bool vertical = side < 2;
  // The gradient, in device pixels: the low end's colour at the bottom (the
  // left), the high end's at the top (the right), one run per colour.
  const int32_t l = c.Pos(box.Left), t = c.Pos(box.Top), r = c.Pos(box.Right),
                bt = c.Pos(box.Bottom);
  const int32_t steps = vertical ? bt - t - 1 : r - l - 1;
  c.Pen().SetMode(TPenMode::pmCopy);
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  for (int32_t k = 0; k <= steps;) {
    const TColor colour = map->GradientColor(steps > 0 ? static_cast<double>(k) / steps : 0);
    int32_t e = k + 1;
    while (e <= steps && map->GradientColor(static_cast<double>(e) / steps) == colour) ++e;
    c.Brush().SetColor(colour);
    c.FillRect(vertical ? Rect(l, bt - e, r, bt - k) : Rect(l + k, t, l + e, bt));
    k = e;
  }
  const TAxisSettings axis = ColorBarAxis(*map);
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetWidth(1);
  c.Pen().SetColor(axis.ColorScale);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Rectangle(l, t, r, bt);
  // Ticks and labels: an axis along the bar's outer edge.
  if (!FColorBarScale) {
    FColorBarScale = std::make_unique<TScale>(this);
    FColorBarScale->SetPaintSuspended(true);
    FColorBarScale->SetChartOwned(true);
    FColorBarScale->SetTransparent(true);
    FColorBarScale->SetName("KV_FColorBarScale");
  }
  TScale& s = *FColorBarScale;
  s.SetDrawTarget(&c, 0, 0);
  s.SetDevicePixelRatio(DevicePixelRatio());
  s.SetBounds(0, 0, Width(), Height());
  static constexpr TScaleType types[4] = {TScaleType::sctYR, TScaleType::sctYL, TScaleType::sctXB,
                                          TScaleType::sctXT};
  s.SetScaleType(types[side]);
  s.SetMarginLeft(side == 1 ? box.Right : box.Left);
  s.SetMarginRight(Clamp32(int64_t{Width()} - (side == 0 ? box.Left : box.Right)));
  s.SetMarginTop(side == 3 ? box.Bottom : box.Top);
  s.SetMarginBottom(Clamp32(int64_t{Height()} - (side == 2 ? box.Top : box.Bottom)));
  s.SetFont(b.Font());
  s.SetAxisSettings(axis);
  s.SetRangeLow(low);
  s.SetRangeHigh(high == low ? low + 1 : high);  // an axis needs a width
  s.ForcePaint();
  // The caption at the band's far edge, along the bar.
  if (b.Caption().empty()) return;
  const TRect band = ColorBarBand();
  c.SetFont(b.Font());
  c.Brush().SetStyle(TBrushStyle::bsClear);
  // Measured on the frame: device pixels.
  const int32_t textW = c.TextWidth(b.Caption()), textH = c.TextHeight(b.Caption());
  if (vertical) {
    c.Font().SetOrientation(900);  // reading upwards
    const int64_t x = side == 0 ? int64_t{c.Pos(int64_t{band.Left} + Inset)}
                                : int64_t{c.Pos(int64_t{band.Right} - Inset)} - textH;
    const int64_t mid = c.Pos((int64_t{box.Top} + box.Bottom) / 2);
    c.TextOut(Clamp32(x), Clamp32(mid + textW / 2), b.Caption());
    c.Font().SetOrientation(0);
  } else {
    const int64_t y = side == 2 ? int64_t{c.Pos(int64_t{band.Top} + Inset)}
                                : int64_t{c.Pos(int64_t{band.Bottom} - Inset)} - textH;
    const int64_t mid = c.Pos((int64_t{box.Left} + box.Right) / 2);
    c.TextOut(Clamp32(mid - textW / 2), Clamp32(y), b.Caption());
  }
}

}  // namespace vexa
