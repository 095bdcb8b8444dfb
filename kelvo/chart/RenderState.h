// The renderer's drawing state, shared by the display-list renderer
// (Renderer.cpp) and the plottables (SeriesPlottable.cpp, through PlotContext.h): cached pen,
// brush and font attributes, and the polyline being collected from line-to
// points. Private to the chart's renderers.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "kelvo/base/PixelMath.h"
#include "kelvo/chart/LayerMapping.h"
#include "kelvo/platform/Canvas.h"

namespace vexa::render {

inline int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Pixel offsets and sizes stored in items may be any double: rounded half to
// even and kept to +-1e9, so sums with clipped coordinates stay in range.
inline int32_t RoundOffset(long double v) { return RoundClamped(v, 1000000000); }

// A data-bitmap coordinate, kept to +-1e9 as well: clipped pixels lie within
// +-30000, so only margins beyond any picture reach the bound, and an
// offset and a pixel more can still be added without overflow.
inline int32_t ClampFar(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -1000000000, 1000000000));
}

// A client pixel coordinate clipped to the pixel range (TCustomKelvo::ClipPixel's +-30000).
inline int32_t ClipCoord(int32_t v) { return v < -30000 ? -30000 : (v > 30000 ? 30000 : v); }

// A world point on the data-area bitmap whose pixel (0, 0) is client pixel
// (Left, Top): mapped, clipped to the pixel range, moved. Items and series
// map through this one routine (the series' columns through its two halves).
inline TPoint MapToBitmap(const TLayerMapping& M, double X, double Y, int32_t Left, int32_t Top) {
  int32_t px, py;
  M.Map(X, Y, px, py);
  return TPoint{ClampFar(int64_t{ClipCoord(px)} - Left), ClampFar(int64_t{ClipCoord(py)} - Top)};
}

constexpr size_t PolylineCapacity = 200;

class TRenderState {
 public:
  TRenderState(TCanvas& Canvas, TColor ChartColor, int32_t LineWidth) : C(Canvas) {
    PenWidth = LineWidth;
    C.Pen().SetWidth(LineWidth);
    C.MoveTo(0, 0);
    Current = {0, 0};
    PenColor = ChartColor;
    C.Pen().SetColor(ChartColor);
    PenStyle = TPenStyle::psSolid;
    C.Pen().SetStyle(TPenStyle::psSolid);
    BrushColor = ChartColor;
    C.Brush().SetColor(ChartColor);
    FontColor = ChartColor;
    C.Font().SetColor(ChartColor);
    C.SetTextAlign(TA_LEFT | TA_TOP | TA_NOUPDATECP);
  }

  void SetPenColor(TColor v) {
    if (v == PenColor) return;
    PenColor = v;
    C.Pen().SetColor(v);
  }
  void SetPenStyle(TPenStyle v) {
    if (v == PenStyle) return;
    PenStyle = v;
    C.Pen().SetStyle(v);
  }
  void SetBrushColor(TColor v) {
    if (v == BrushColor) return;
    BrushColor = v;
    C.Brush().SetColor(v);
  }
  void SetFontColor(TColor v) {
    if (v == FontColor) return;
    FontColor = v;
    C.Font().SetColor(v);
  }
  // Set on the canvas and in the caches whatever the caches hold.
  void ForcePen(TColor color, TPenStyle style, TColor brush) {
    PenColor = color;
    C.Pen().SetColor(color);
    PenStyle = style;
    C.Pen().SetStyle(style);
    BrushColor = brush;
    C.Brush().SetColor(brush);
  }

  void Flush() {
    if (Count == 0) return;
    C.Polyline(std::span<const TPoint>(Buffer.data(), Count));
    Current = Buffer[Count - 1];
    C.MoveTo(Current.X, Current.Y);
    Count = 0;
  }
  // As Append, leaving out a point equal to the one before.
  void AppendDistinct(TPoint p) {
    if ((Count == 0 ? Current : Buffer[Count - 1]) != p) Append(p);
  }
  void Append(TPoint p) {
    if (Count == 0) Buffer[Count++] = Current;
    Buffer[Count++] = p;
    if (Count == PolylineCapacity) {
      Flush();
      Buffer[Count++] = p;
    }
  }

  TCanvas& C;
  TColor PenColor, BrushColor, FontColor;
  TPenStyle PenStyle;
  int32_t PenWidth;
  TPoint Current;
  std::array<TPoint, PolylineCapacity> Buffer;
  size_t Count = 0;
};

}  // namespace vexa::render
