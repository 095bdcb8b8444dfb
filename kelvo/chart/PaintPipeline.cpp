// The paint pipeline: the full paint composed in the frame bitmap, the
// data-area background, crosshairs and presenting a finished bitmap.
#include <algorithm>
#include <filesystem>

#include "kelvo/base/PixelMath.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/platform/Files.h"

namespace vexa {

namespace {
int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}
}  // namespace

void TCustomKelvo::Paint() {
  if ((!Visible() && !IsDesigning()) || IsLoading() || FPaintLock) return;
  FFrameInWindow = false;  // composed afresh: every pixel is painted over
  FDataInFrame = false;
  UpdateLegendRoom();
  PaintFrame(FFrameBitmap.Canvas());
  // The data area is drawn in place in the frame when it lies inside it,
  // with the data bitmap's own canvas (its pen, brush and font) and
  // coordinates, instead of being drawn and then copied. A recording sees
  // it drawn on the data bitmap, as the copy.
  TCanvas& data = FDataBitmap.Canvas();
  const int32_t dataX = DeviceDataArea().Left, dataY = DeviceDataArea().Top;
  const bool inPlace = !TCanvasRecorder::Active() && !FDataBitmap.Empty() && dataX >= 0 &&
                       dataY >= 0 && int64_t{dataX} + FDataBitmap.Width() <= FFrameBitmap.Width() &&
                       int64_t{dataY} + FDataBitmap.Height() <= FFrameBitmap.Height();
  if (inPlace) data.Redirect(FFrameBitmap, dataX, dataY);
  struct TEnd {
    TCanvas& C;
    ~TEnd() { C.EndRedirect(); }
  } end{data};
  PaintDataBackground(data, 0, 0);
  RenderDisplayList(FDataBitmap);
  if (inPlace) {
    FDataInFrame = true, FDataInFrameAt = {dataX, dataY};
    // The data bitmap holds the data area without crosshairs, which are
    // drawn on the frame next: take its copy now rather than when asked.
    if (AnyCrossHairShown()) SettleDataBitmap();
  } else
    FFrameBitmap.Canvas().Draw(dataX, dataY, FDataBitmap);
  if (FComposeOnly)
    DrawCrossHairs(0, 0, FFrameBitmap);  // the picture stays here; no window needed
  else
    PresentBitmap(0, 0, Canvas(), FFrameBitmap);
}

void TCustomKelvo::PaintFrame(TCanvas& c) {
  SizeFrameBitmap();
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetMode(TPenMode::pmCopy);
  c.Pen().SetWidth(1);
  c.Brush().SetColor(FSettings.WindColor);
  c.Pen().SetColor(FSettings.WindColor);
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  // The window colour everywhere but where the data bitmap is copied at the
  // end of the paint: that part would be overwritten anyway.
  SizeDataBitmap();
  const TRect all = Rect(0, 0, FFrameBitmap.Width(), FFrameBitmap.Height());
  const int32_t dataX = DeviceDataArea().Left, dataY = DeviceDataArea().Top;
  const TRect data = Rect(dataX, dataY, Clamp32(int64_t{dataX} + FDataBitmap.Width()),
                          Clamp32(int64_t{dataY} + FDataBitmap.Height()));
  if (data.Left >= data.Right || data.Top >= data.Bottom) {
    c.FillRect(all);
  } else {
    c.FillRect(Rect(all.Left, all.Top, all.Right, data.Top));
    c.FillRect(Rect(all.Left, data.Bottom, all.Right, all.Bottom));
    c.FillRect(Rect(all.Left, data.Top, data.Left, data.Bottom));
    c.FillRect(Rect(data.Right, data.Top, all.Right, data.Bottom));
  }
  if (FSettings.ShadowWidth > 0) PaintShadow(c);
  PaintCaption(c);
  UpdateMapping();
  // Each axis gets its settings right before it draws: all horizontal ones first.
  // A hidden axis draws nothing, and every change of settings or ranges has
  // copied them in already: it takes them here only while it or its
  // settings are shown (so that an axis switched off hides). The axes draw
  // on the frame at the chart's device ratio, whatever was set on one.
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (ScalePropsX(n).Visible() || ScaleX(n).Visible())
      CopyScaleSettings(ScaleX(n), ScalePropsX(n));
    ScaleX(n).SetDevicePixelRatio(DevicePixelRatio());
    ScaleX(n).ForcePaint();
  }
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (ScalePropsY(n).Visible() || ScaleY(n).Visible())
      CopyScaleSettings(ScaleY(n), ScalePropsY(n));
    ScaleY(n).SetDevicePixelRatio(DevicePixelRatio());
    ScaleY(n).ForcePaint();
  }
  PaintLegend(c, 0, 0, false);
  PaintColorBar(c);
  if (OnScalesRendered) OnScalesRendered(this, c, 0, 0);
}

void TCustomKelvo::PaintShadow(TCanvas& c) {
  // In device pixels: the shadow's inner edge is the position of the
  // logical one, its outer edge the surface's, one logical pixel n wide.
  const int32_t BW = FFrameBitmap.Width(), BH = FFrameBitmap.Height();
  const int32_t SX = Clamp32(int64_t{BW} - c.Pos(int64_t{Width()} - FSettings.ShadowWidth));
  const int32_t SY = Clamp32(int64_t{BH} - c.Pos(int64_t{Height()} - FSettings.ShadowWidth));
  const int32_t S = SX, n = c.Len(1);
  c.Brush().SetColor(FSettings.ShadowBakColor);
  c.Pen().SetColor(FSettings.ShadowBakColor);
  c.Rectangle(BW - SX, 0, BW, c.Pos(FSettings.ShadowWidth));
  c.Rectangle(0, BH - SY, c.Pos(FSettings.ShadowWidth), BH);
  c.Brush().SetColor(FSettings.ShadowColor);
  const int32_t T = SY;
  int32_t ex = 0, ey = 0;  // where the shadow's slanted ends start
  if (FSettings.ShadowStyle == TShadowStyle::ssFlying) {
    c.Pen().SetColor(FSettings.ShadowColor);
    ex = S - n, ey = T - n;
  } else {
    c.Pen().SetColor(clBlack);
  }
  const TPoint bottom[] = {{ex, BH - T}, {S - n, BH - n}, {BW - n, BH - n}, {BW - S, BH - T}};
  const TPoint right[] = {{BW - S, BH - T}, {BW - n, BH - n}, {BW - n, T - n}, {BW - S, ey}};
  c.Polygon(bottom);
  c.Polygon(right);
  c.Pen().SetColor(clBlack);
  c.Pen().SetStyle(TPenStyle::psSolid);
  const int32_t r = c.Pos(int64_t{Width()} - FSettings.ShadowWidth),
                b = c.Pos(int64_t{Height()} - FSettings.ShadowWidth);
  c.MoveTo(0, 0);
  c.LineTo(r, 0);
  c.LineTo(r, b);
  c.LineTo(0, b);
  c.LineTo(0, 0);
}

// The chart's caption, in the frame's colour, placed by its anchors.
void TCustomKelvo::PaintCaption(TCanvas& c) {
  c.Pen().SetColor(FSettings.ChartFrameColor);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.SetFont(Font());
  if (!FSettings.Caption.empty()) {
    const int64_t w = c.TextWidth(FSettings.Caption);
    const int64_t W =
        int64_t{Width()} - FSettings.MarginLeft - FSettings.MarginRight - FSettings.ShadowWidth;
    const int64_t H =
        int64_t{Height()} - FSettings.MarginTop - FSettings.MarginBottom - FSettings.ShadowWidth;
    int64_t x = FSettings.CaptionPosX, y = FSettings.CaptionPosY;
    switch (FSettings.CaptionAnchorHoriz) {
      case TCaptionAnchorHoriz::cahControlLeft:
        break;
      case TCaptionAnchorHoriz::cahChartLeft:
        x += FSettings.MarginLeft;
        break;
      case TCaptionAnchorHoriz::cahChartCenter:
        x += FSettings.MarginLeft + W / 2;
        break;
      case TCaptionAnchorHoriz::cahChartRight:
        x += int64_t{Width()} - FSettings.MarginRight - FSettings.ShadowWidth;
        break;
      case TCaptionAnchorHoriz::cahControlRight:
        x += Width();
        break;
    }
    switch (FSettings.CaptionAnchorVert) {
      case TCaptionAnchorVert::cavControlTop:
        break;
      case TCaptionAnchorVert::cavChartTop:
        y += FSettings.MarginTop;
        break;
      case TCaptionAnchorVert::cavChartCenter:
        y += FSettings.MarginTop + H / 2;
        break;
      case TCaptionAnchorVert::cavChartBottom:
        y += int64_t{Height()} - FSettings.MarginBottom;
        break;
      case TCaptionAnchorVert::cavControlBottom:
        y += Height();
        break;
    }
    c.SetTextAlign(TA_LEFT | TA_TOP | TA_NOUPDATECP);
    x = c.Pos(x), y = c.Pos(y);
    if (FSettings.CaptionAlignment == TAlignment::taRightJustify) x -= w;
    if (FSettings.CaptionAlignment == TAlignment::taCenter) x -= w / 2;
    c.TextOut(Clamp32(x), Clamp32(y), FSettings.Caption);
  }
}

// The image file is read again only when it is another file or has
// changed (its size or time of writing) since it was last read, so a paint
// still shows the file as it is without decoding it every time.
void TCustomKelvo::LoadBackgroundImage(const std::string& FileName) {
  std::error_code e1, e2;
  const std::filesystem::path path = FilePath(FileName);
  const auto size = std::filesystem::file_size(path, e1);
  const auto time = std::filesystem::last_write_time(path, e2);
  const THolderKey key{FileName, e1 ? 0 : size, e2 ? std::filesystem::file_time_type{} : time};
  if (!e1 && !e2 && key == FHolderKey) return;
  FHolderKey = {};
  FHolderBitmap.LoadFromFile(FileName);
  if (!e1 && !e2) FHolderKey = key;
}

// The data area in the chart colour with a frame-coloured outline, then the
// background image or the coloured areas of the background settings. A file
// that cannot be loaded clears the image name and leaves the chart colour.
void TCustomKelvo::PaintDataBackground(TCanvas& c, int32_t X, int32_t Y) {
  SizeDataBitmap();
  const int32_t BW = FDataBitmap.Width(), BH = FDataBitmap.Height();
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetMode(TPenMode::pmCopy);
  c.Brush().SetColor(FSettings.ChartColor);
  c.Pen().SetColor(FSettings.ChartFrameColor);
  TBakGndImg& bg = *FBackGroundImg;
  const TRect whole = Rect(X, Y, Clamp32(int64_t{X} + BW), Clamp32(int64_t{Y} + BH));
  if (!bg.Name().empty()) {
    c.TargetBitmap().DrawnTiles().Stop();
    try {
      LoadBackgroundImage(bg.Name());
    } catch (const Exception&) {
      FHolderKey = {};
      c.Rectangle(whole);
      bg.SetName("");
      return;
    }
    PaintBackgroundPicture(c);
    return;
  }
  LayDataFrame(c, whole);
  PaintBackgroundArea(c, X, Y, whole);
}

// The data area's frame and the chart colour inside it. The bitmap's pixels
// hold them from an earlier paint except where it has been drawn on since
// (DrawnTiles.h): then only those tiles are laid again, and the frame. A
// live chart's repaint so writes the chart colour where its lines were,
// not over the whole area.
void TCustomKelvo::LayDataFrame(TCanvas& c, const TRect& whole) {
  TBitmap& target = c.TargetBitmap();
  TDrawnTiles& tiles = target.DrawnTiles();
  if (c.Brush().Style() != TBrushStyle::bsSolid || c.BrushOpacity() != 255) {
    tiles.Stop();  // a frame without a plain inside: no picture to keep
    c.Rectangle(whole);
    return;
  }
  const TPoint o = c.TargetOrigin();
  const TDrawnTiles::TKey key{int64_t{o.X} + whole.Left,
                              int64_t{o.Y} + whole.Top,
                              int64_t{o.X} + whole.Right,
                              int64_t{o.Y} + whole.Bottom,
                              int64_t{ColorToRGB(c.Brush().Color())},
                              c.Pen().Width()};
  if (tiles.Tracking() && tiles.Key() == key) {
    tiles.ForEachMarked(
        key[0], key[1], key[2], key[3], [&](int64_t l, int64_t t, int64_t r, int64_t b) {
          c.FillRect(Rect(static_cast<int32_t>(l - o.X), static_cast<int32_t>(t - o.Y),
                          static_cast<int32_t>(r - o.X), static_cast<int32_t>(b - o.Y)));
        });
    c.Brush().SetStyle(TBrushStyle::bsClear);  // the frame over it
    c.Rectangle(whole);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
  } else {
    c.Rectangle(whole);
  }
  target.TrackDrawing(key);
}

// The background picture over the data area: at its size, stretched, or
// tiled.
void TCustomKelvo::PaintBackgroundPicture(TCanvas& c) {
  const TBakGndImg& bg = *FBackGroundImg;
  const int32_t BW = FDataBitmap.Width(), BH = FDataBitmap.Height();
  // The picture's pixels are logical ones: on the device surface each
  // covers the device pixels of its place (sampled at device resolution).
  const int32_t IW = FHolderBitmap.Width(), IH = FHolderBitmap.Height();
  switch (bg.FillMode()) {
    case TBkgFill::bfSimple:
      c.Rectangle(0, 0, BW, BH);
      c.StretchDraw(Rect(0, 0, c.Pos(IW), c.Pos(IH)), FHolderBitmap);
      break;
    case TBkgFill::bfStretch:
      c.StretchDraw(Rect(0, 0, BW, BH), FHolderBitmap);
      break;
    case TBkgFill::bfTile: {
      if (IW <= 0 || IH <= 0) break;
      for (int64_t k = 0; c.Pos(k * IW) < BW; ++k)
        for (int64_t r = 0; c.Pos(r * IH) < BH; ++r)
          c.StretchDraw(
              Rect(c.Pos(k * IW), c.Pos(r * IH), c.Pos((k + 1) * IW), c.Pos((r + 1) * IH)),
              FHolderBitmap);
      break;
    }
  }
}

// The coloured area of the background settings, in world units of the
// current layer, over the chart colour.
void TCustomKelvo::PaintBackgroundArea(TCanvas& c, int32_t X, int32_t Y, const TRect& whole) {
  const TBakGndImg& bg = *FBackGroundImg;
  if (bg.AreaMode() == TBGAreaMode::bamNone) return;
  c.Brush().SetColor(bg.AreaColor());
  c.Pen().SetColor(bg.AreaColor());
  int32_t lx, ty, rx, by;
  const TLayerMapping& m = DeviceMapping(FSettings.CurrentLayer);
  m.Map(bg.AreaLeft(), bg.AreaTop(), lx, ty);
  m.Map(bg.AreaRight(), bg.AreaBottom(), rx, by);
  ClipPixel(lx, ty);
  ClipPixel(rx, by);
  const int32_t dataX = DeviceDataArea().Left, dataY = DeviceDataArea().Top;
  const int32_t L = Clamp32(int64_t{X} + lx - dataX), R = Clamp32(int64_t{X} + rx - dataX);
  const int32_t T = Clamp32(int64_t{Y} + ty - dataY), B = Clamp32(int64_t{Y} + by - dataY);
  const int32_t X2 = whole.Right, Y2 = whole.Bottom;
  switch (bg.AreaMode()) {
    case TBGAreaMode::bamLeft:
      c.Rectangle(X, Y, L, Y2);
      break;
    case TBGAreaMode::bamRight:
      c.Rectangle(R, Y, X2, Y2);
      break;
    case TBGAreaMode::bamTop:
      c.Rectangle(X, Y, X2, T);
      break;
    case TBGAreaMode::bamBottom:
      c.Rectangle(X, B, X2, Y2);
      break;
    case TBGAreaMode::bamVStripe:
      c.Rectangle(L, Y, R, Y2);
      break;
    case TBGAreaMode::bamHStripe:
      c.Rectangle(X, T, X2, B);
      break;
    case TBGAreaMode::bamRect:
      c.Rectangle(L, T, R, B);
      break;
    case TBGAreaMode::bamRectInv:
      c.Rectangle(X, Y, X2, T);
      c.Rectangle(X, B, X2, Y2);
      c.Rectangle(X, Y, L, Y2);
      c.Rectangle(R, Y, X2, Y2);
      break;
    case TBGAreaMode::bamVStripeInv:
      c.Rectangle(X, Y, L, Y2);
      c.Rectangle(R, Y, X2, Y2);
      break;
    case TBGAreaMode::bamHStripeInv:
      c.Rectangle(X, Y, X2, T);
      c.Rectangle(X, B, X2, Y2);
      break;
    default:
      break;
  }
}

bool TCustomKelvo::AnyCrossHairShown() const {
  for (int32_t i = 1; i <= CrossHairCount; ++i)
    if (FCrossHairs[static_cast<size_t>(i)]->Mode() != TCrossHMode::chOff) return true;
  return false;
}

void TCustomKelvo::DrawCrossHairs(int32_t OffsetX, int32_t OffsetY, TBitmap& Bitmap) {
  if (!AnyCrossHairShown()) return;
  TCanvas& c = Bitmap.Canvas();
  const TColor penColor = c.Pen().Color();
  const int32_t penWidth = c.Pen().Width();
  const TPenStyle penStyle = c.Pen().Style();
  const TBrushStyle brushStyle = c.Brush().Style();
  // Device pixels: the data area's edges and every length by the rule.
  const TDeviceDataArea area = DeviceDataArea();
  const int64_t left = area.Left, top = area.Top, right = area.Right, bottom = area.Bottom;
  auto P = [&](int64_t x, int64_t y) { return TPoint{Clamp32(x - OffsetX), Clamp32(y - OffsetY)}; };
  auto line = [&](int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    const TPoint a = P(x1, y1), b = P(x2, y2);
    c.MoveTo(a.X, a.Y);
    c.LineTo(b.X, b.Y);
  };
  auto rect = [&](int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    const TPoint a = P(x1, y1), b = P(x2, y2);
    c.Rectangle(a.X, a.Y, b.X, b.Y);
  };
  // A figure from k logical pixels before the centre to k pixels after it.
  auto before = [&](int64_t centre, int64_t k) { return centre - c.Len(k); };
  auto after = [&](int64_t centre, int64_t k) { return centre + c.Len(k + 1); };
  for (int32_t i = 1; i <= CrossHairCount; ++i) {
    const TCrossHair& h = CrossHair(i);
    if (h.Mode() == TCrossHMode::chOff) continue;
    int32_t px, py;
    DeviceMapping(h.Layer()).Map(h.PosX(), h.PosY(), px, py);
    c.Pen().SetColor(h.Color());
    c.Pen().SetWidth(h.LineWid());
    c.Pen().SetStyle(h.LineType());
    c.Brush().SetColor(FSettings.ChartColor);
    const int64_t half = c.DevicePenWidth() / 2, one = c.Len(1);
    const bool inY = top + half < py && py < bottom - half;
    const bool inX = left + half < px && px < right - half;
    const TCrossHMode m = h.Mode();
    if ((m == TCrossHMode::chHoriz || m == TCrossHMode::chBoth) && inY)
      line(left + half + one, py, right - half, py);
    if ((m == TCrossHMode::chVert || m == TCrossHMode::chBoth) && inX)
      line(px, top + half + one, px, bottom - half);
    if (m == TCrossHMode::chCrossBox && inX && inY) {
      line(before(px, 13), py, after(px, 13), py);
      line(px, before(py, 13), px, after(py, 13));
      c.Brush().SetStyle(TBrushStyle::bsClear);
      c.Pen().SetStyle(TPenStyle::psSolid);
      c.Pen().SetColor(clWhite);
      rect(before(px, 3), before(py, 3), after(px, 3), after(py, 3));
      c.Pen().SetColor(clBlack);
      rect(before(px, 2), before(py, 2), after(px, 2), after(py, 2));
    }
    if (m == TCrossHMode::chBox && inX && inY) {
      c.Brush().SetStyle(TBrushStyle::bsClear);
      rect(before(px, 4), before(py, 4), after(px, 4), after(py, 4));
    }
  }
  c.Pen().SetColor(penColor);
  c.Pen().SetWidth(penWidth);
  c.Pen().SetStyle(penStyle);
  c.Brush().SetStyle(brushStyle);
}

void TCustomKelvo::SetAntiAliased(bool Value) {
  if (Value == FSettings.AntiAliased) return;
  FSettings.AntiAliased = Value;
  RepaintAfterChange();
}

void TCustomKelvo::SettleFrame() {
  if (!FFrameInWindow) return;
  FFrameInWindow = false;
  const TBitmap& window = Surface();
  if (window.Width() == FFrameBitmap.Width() && window.Height() == FFrameBitmap.Height())
    FFrameBitmap.Canvas().Draw(0, 0, window);
}

void TCustomKelvo::SettleDataBitmap() {
  if (!FDataInFrame) return;
  FDataInFrame = false;
  SettleFrame();
  FDataBitmap.Canvas().Draw(-FDataInFrameAt.X, -FDataInFrameAt.Y, FFrameBitmap);
}

void TCustomKelvo::PresentBitmap(int32_t X, int32_t Y, TCanvas& Target, TBitmap& Bitmap) {
  DrawCrossHairs(X, Y, Bitmap);
  TBitmap& window = Surface();
  if (&Target == &window.Canvas()) SettleFrame();
  if (&Target == &window.Canvas() && &Bitmap == &FFrameBitmap && X == 0 && Y == 0 &&
      Bitmap.Width() == window.Width() && Bitmap.Height() == window.Height()) {
    // The frame covers the whole window: it becomes the window's picture,
    // and the next full paint composes the frame afresh in the old one.
    window.SwapPixels(Bitmap);
    FFrameInWindow = true;
  } else {
    Target.Draw(X, Y, Bitmap);
  }
  if (&Target == &Canvas()) SurfaceChanged();
}

}  // namespace vexa
