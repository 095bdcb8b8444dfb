// The paint pipeline: the full paint composed in the frame bitmap, the
// data-area background, crosshairs and presenting a finished bitmap.
#include <algorithm>
#include <filesystem>

#include "kelvo/base/PixelMath.h"
#include "kelvo/chart/CustomKelvo.h"

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
  const bool inPlace = !TCanvasRecorder::Active() && !FDataBitmap.Empty() && FMarginLeft >= 0 &&
                       FMarginTop >= 0 &&
                       int64_t{FMarginLeft} + FDataBitmap.Width() <= FFrameBitmap.Width() &&
                       int64_t{FMarginTop} + FDataBitmap.Height() <= FFrameBitmap.Height();
  if (inPlace) data.Redirect(FFrameBitmap, FMarginLeft, FMarginTop);
  struct TEnd {
    TCanvas& C;
    ~TEnd() { C.EndRedirect(); }
  } end{data};
  PaintDataBackground(data, 0, 0);
  RenderDisplayList(FDataBitmap);
  if (inPlace)
    FDataInFrame = true, FDataInFrameAt = {FMarginLeft, FMarginTop};
  else
    FFrameBitmap.Canvas().Draw(FMarginLeft, FMarginTop, FDataBitmap);
  if (FComposeOnly)
    DrawCrossHairs(0, 0, FFrameBitmap);  // the picture stays here; no window needed
  else
    PresentBitmap(0, 0, Canvas(), FFrameBitmap);
}

void TCustomKelvo::PaintFrame(TCanvas& c) {
  FFrameBitmap.SetSize(Width(), Height());
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetMode(TPenMode::pmCopy);
  c.Pen().SetWidth(1);
  c.Brush().SetColor(FWindColor);
  c.Pen().SetColor(FWindColor);
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  // The window colour everywhere but where the data bitmap is copied at the
  // end of the paint: that part would be overwritten anyway.
  SizeDataBitmap();
  const TRect all = Rect(0, 0, Width(), Height());
  const TRect data =
      Rect(FMarginLeft, FMarginTop, Clamp32(int64_t{FMarginLeft} + FDataBitmap.Width()),
           Clamp32(int64_t{FMarginTop} + FDataBitmap.Height()));
  if (data.Left >= data.Right || data.Top >= data.Bottom) {
    c.FillRect(all);
  } else {
    c.FillRect(Rect(all.Left, all.Top, all.Right, data.Top));
    c.FillRect(Rect(all.Left, data.Bottom, all.Right, all.Bottom));
    c.FillRect(Rect(all.Left, data.Top, data.Left, data.Bottom));
    c.FillRect(Rect(data.Right, data.Top, all.Right, data.Bottom));
  }
  const int32_t S = FShadowWidth;
  if (S > 0) {
    const int32_t BW = FFrameBitmap.Width(), BH = FFrameBitmap.Height();
    c.Brush().SetColor(FShadowBakColor);
    c.Pen().SetColor(FShadowBakColor);
    c.Rectangle(BW - S, 0, BW, S);
    c.Rectangle(0, BH - S, S, BH);
    c.Brush().SetColor(FShadowColor);
    int32_t e;
    if (FShadowStyle == TShadowStyle::ssFlying) {
      c.Pen().SetColor(FShadowColor);
      e = S - 1;
    } else {
      c.Pen().SetColor(clBlack);
      e = 0;
    }
    const TPoint bottom[] = {{e, BH - S}, {S - 1, BH - 1}, {BW - 1, BH - 1}, {BW - S, BH - S}};
    const TPoint right[] = {{BW - S, BH - S}, {BW - 1, BH - 1}, {BW - 1, S - 1}, {BW - S, e}};
    c.Polygon(bottom);
    c.Polygon(right);
    c.Pen().SetColor(clBlack);
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.MoveTo(0, 0);
    c.LineTo(Width() - S, 0);
    c.LineTo(Width() - S, Height() - S);
    c.LineTo(0, Height() - S);
    c.LineTo(0, 0);
  }
  c.Pen().SetColor(FChartFrameColor);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.SetFont(Font());
  if (!FCaption.empty()) {
    const int64_t w = c.TextWidth(FCaption);
    const int64_t W = int64_t{Width()} - FMarginLeft - FMarginRight - FShadowWidth;
    const int64_t H = int64_t{Height()} - FMarginTop - FMarginBottom - FShadowWidth;
    int64_t x = FCaptionPosX, y = FCaptionPosY;
    switch (FCaptionAnchorHoriz) {
      case TCaptionAnchorHoriz::cahControlLeft:
        break;
      case TCaptionAnchorHoriz::cahChartLeft:
        x += FMarginLeft;
        break;
      case TCaptionAnchorHoriz::cahChartCenter:
        x += FMarginLeft + W / 2;
        break;
      case TCaptionAnchorHoriz::cahChartRight:
        x += int64_t{Width()} - FMarginRight - FShadowWidth;
        break;
      case TCaptionAnchorHoriz::cahControlRight:
        x += Width();
        break;
    }
    switch (FCaptionAnchorVert) {
      case TCaptionAnchorVert::cavControlTop:
        break;
      case TCaptionAnchorVert::cavChartTop:
        y += FMarginTop;
        break;
      case TCaptionAnchorVert::cavChartCenter:
        y += FMarginTop + H / 2;
        break;
      case TCaptionAnchorVert::cavChartBottom:
        y += int64_t{Height()} - FMarginBottom;
        break;
      case TCaptionAnchorVert::cavControlBottom:
        y += Height();
        break;
    }
    c.SetTextAlign(TA_LEFT | TA_TOP | TA_NOUPDATECP);
    if (FCaptionAlignment == TAlignment::taRightJustify) x -= w;
    if (FCaptionAlignment == TAlignment::taCenter) x -= w / 2;
    c.TextOut(Clamp32(x), Clamp32(y), FCaption);
  }
  UpdateMapping();
  // Each axis gets its settings right before it draws: all horizontal ones first.
  // A hidden axis draws nothing, and every change of settings or ranges has
  // copied them in already: it takes them here only while it or its
  // settings are shown (so that an axis switched off hides).
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (ScalePropsX(n).Visible() || ScaleX(n).Visible())
      CopyScaleSettings(ScaleX(n), ScalePropsX(n));
    ScaleX(n).ForcePaint();
  }
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (ScalePropsY(n).Visible() || ScaleY(n).Visible())
      CopyScaleSettings(ScaleY(n), ScalePropsY(n));
    ScaleY(n).ForcePaint();
  }
  PaintLegend(c, 0, 0, false);
  if (OnScalesRendered) OnScalesRendered(this, c, 0, 0);
}

// The data area in the chart colour with a frame-coloured outline, then the
// The image file is read again only when it is another file or has
// changed (its size or time of writing) since it was last read, so a paint
// still shows the file as it is without decoding it every time.
void TCustomKelvo::LoadBackgroundImage(const std::string& FileName) {
  std::error_code e1, e2;
  const auto size = std::filesystem::file_size(FileName, e1);
  const auto time = std::filesystem::last_write_time(FileName, e2);
  const THolderKey key{FileName, e1 ? 0 : size, e2 ? std::filesystem::file_time_type{} : time};
  if (!e1 && !e2 && key == FHolderKey) return;
  FHolderKey = {};
  FHolderBitmap.LoadFromFile(FileName);
  if (!e1 && !e2) FHolderKey = key;
}

// background image or the coloured areas of the background settings. A file
// that cannot be loaded clears the image name and leaves the chart colour.
void TCustomKelvo::PaintDataBackground(TCanvas& c, int32_t X, int32_t Y) {
  SizeDataBitmap();
  const int32_t BW = FDataBitmap.Width(), BH = FDataBitmap.Height();
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetMode(TPenMode::pmCopy);
  c.Brush().SetColor(FChartColor);
  c.Pen().SetColor(FChartFrameColor);
  TBakGndImg& bg = *FBackGroundImg;
  const TRect whole = Rect(X, Y, Clamp32(int64_t{X} + BW), Clamp32(int64_t{Y} + BH));
  if (!bg.Name().empty()) {
    try {
      LoadBackgroundImage(bg.Name());
    } catch (const Exception&) {
      FHolderKey = {};
      c.Rectangle(whole);
      bg.SetName("");
      return;
    }
    const int32_t IW = FHolderBitmap.Width(), IH = FHolderBitmap.Height();
    switch (bg.FillMode()) {
      case TBkgFill::bfSimple:
        c.Rectangle(0, 0, BW, BH);
        c.StretchDraw(Rect(0, 0, IW, IH), FHolderBitmap);
        break;
      case TBkgFill::bfStretch:
        c.StretchDraw(Rect(0, 0, BW, BH), FHolderBitmap);
        break;
      case TBkgFill::bfTile: {
        if (IW <= 0 || IH <= 0) break;
        const int32_t columns = (BW - 1) / IW + 1, rows = (BH - 1) / IH + 1;
        for (int32_t k = 1; k <= columns; ++k)
          for (int32_t r = 1; r <= rows; ++r)
            c.StretchDraw(Rect((k - 1) * IW, (r - 1) * IH, k * IW, r * IH), FHolderBitmap);
        break;
      }
    }
    return;
  }
  c.Rectangle(whole);
  if (bg.AreaMode() == TBGAreaMode::bamNone) return;
  c.Brush().SetColor(bg.AreaColor());
  c.Pen().SetColor(bg.AreaColor());
  int32_t lx, ty, rx, by;
  WorldToPixel(FCurrentLayer, bg.AreaLeft(), bg.AreaTop(), lx, ty);
  WorldToPixel(FCurrentLayer, bg.AreaRight(), bg.AreaBottom(), rx, by);
  ClipPixel(lx, ty);
  ClipPixel(rx, by);
  const int32_t L = Clamp32(int64_t{X} + lx - FMarginLeft),
                R = Clamp32(int64_t{X} + rx - FMarginLeft);
  const int32_t T = Clamp32(int64_t{Y} + ty - FMarginTop),
                B = Clamp32(int64_t{Y} + by - FMarginTop);
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

void TCustomKelvo::DrawCrossHairs(int32_t OffsetX, int32_t OffsetY, TBitmap& Bitmap) {
  bool any = false;
  for (int32_t i = 1; i <= CrossHairCount; ++i) any |= CrossHair(i).Mode() != TCrossHMode::chOff;
  if (!any) return;
  TCanvas& c = Bitmap.Canvas();
  const TColor penColor = c.Pen().Color();
  const int32_t penWidth = c.Pen().Width();
  const TPenStyle penStyle = c.Pen().Style();
  const TBrushStyle brushStyle = c.Brush().Style();
  const int64_t left = FMarginLeft, top = FMarginTop;
  const int64_t right = int64_t{Width()} - FMarginRight - FShadowWidth;
  const int64_t bottom = int64_t{Height()} - FMarginBottom - FShadowWidth;
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
  for (int32_t i = 1; i <= CrossHairCount; ++i) {
    const TCrossHair& h = CrossHair(i);
    if (h.Mode() == TCrossHMode::chOff) continue;
    int32_t px, py;
    WorldToPixel(h.Layer(), h.PosX(), h.PosY(), px, py);
    c.Pen().SetColor(h.Color());
    c.Pen().SetWidth(h.LineWid());
    c.Pen().SetStyle(h.LineType());
    c.Brush().SetColor(FChartColor);
    const int64_t half = h.LineWid() / 2;
    const bool inY = top + half < py && py < bottom - half;
    const bool inX = left + half < px && px < right - half;
    const TCrossHMode m = h.Mode();
    if ((m == TCrossHMode::chHoriz || m == TCrossHMode::chBoth) && inY)
      line(left + half + 1, py, right - half, py);
    if ((m == TCrossHMode::chVert || m == TCrossHMode::chBoth) && inX)
      line(px, top + half + 1, px, bottom - half);
    if (m == TCrossHMode::chCrossBox && inX && inY) {
      line(int64_t{px} - 13, py, int64_t{px} + 14, py);
      line(px, int64_t{py} - 13, px, int64_t{py} + 14);
      c.Brush().SetStyle(TBrushStyle::bsClear);
      c.Pen().SetStyle(TPenStyle::psSolid);
      c.Pen().SetColor(clWhite);
      rect(int64_t{px} - 3, int64_t{py} - 3, int64_t{px} + 4, int64_t{py} + 4);
      c.Pen().SetColor(clBlack);
      rect(int64_t{px} - 2, int64_t{py} - 2, int64_t{px} + 3, int64_t{py} + 3);
    }
    if (m == TCrossHMode::chBox && inX && inY) {
      c.Brush().SetStyle(TBrushStyle::bsClear);
      rect(int64_t{px} - 4, int64_t{py} - 4, int64_t{px} + 5, int64_t{py} + 5);
    }
  }
  c.Pen().SetColor(penColor);
  c.Pen().SetWidth(penWidth);
  c.Pen().SetStyle(penStyle);
  c.Brush().SetStyle(brushStyle);
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
