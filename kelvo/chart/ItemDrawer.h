// The display-list item drawer: one drawing item at a time into the data
// bitmap, in the renderer's cached drawing state (RenderState.h), one
// function per item kind. Positions are device pixels of the bitmap: a
// world point through the layer's device mapping, lengths by the snapping
// rule. Private to the chart's renderers (Renderer.cpp).
#pragma once

#include <cstdint>
#include <vector>

#include "kelvo/chart/DisplayList.h"
#include "kelvo/chart/RenderState.h"

namespace vexa {

class TCustomKelvo;

namespace render {

class TItemDrawer {
 public:
  // DupGrid: the duplicate-mark grid, kept by the chart between paints.
  // DirectSquares: filled squares may be written straight into the bitmap.
  TItemDrawer(TCustomKelvo& Chart, TCanvas& Canvas, TRenderState& State,
              std::vector<int32_t>& DupGrid, bool DirectSquares);

  // Draws one item as the display list holds it (hidden classes and layers
  // draw nothing).
  void Draw(const TDrawItem& It);
  // A world point of a layer on the bitmap, clipped as every item's is.
  TPoint Map(int32_t Layer, double X, double Y) const;
  const TLayerMapping& LayerMapping(int32_t Layer) const;
  // The device pixel of the bitmap's pixel (0, 0).
  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }

  // Set by a move or line to a point that is not finite: no line goes from
  // it, and the next finite line-to point moves there instead.
  bool PenLost() const { return FPenLost; }
  void SetPenLost(bool Value) { FPenLost = Value; }
  // The last mark drawn, so that the same mark again on the same pixel
  // with nothing drawn in between is drawn once (copy-mode shapes).
  void ForgetLastMark() { FLastMark = {}; }
  void RememberMark(TPoint At, const TDrawItem& It) {
    FLastMark = TLastMark{At, It.Symbol, It.Color, It.PenStyle, It.LineWidth};
  }

 private:
  void Mark(const TDrawItem& It);
  void Line(const TDrawItem& It);
  void LineTo(const TDrawItem& It);
  void BevelBox(const TDrawItem& It);
  void Bar3D(const TDrawItem& It);
  void TextOffset(const TDrawItem& It);
  void MoveTo(const TDrawItem& It);
  void Relative(const TDrawItem& It, bool Line);
  void Arrow(const TDrawItem& It);
  void PixelBox(const TDrawItem& It);
  void ErrorMark(const TDrawItem& It);

  // A client device pixel of a world point, unclipped.
  void DevicePixel(int32_t Layer, double X, double Y, int32_t& PX, int32_t& PY) const;
  // A client device pixel on the bitmap, clipped.
  TPoint ToBitmap(int32_t PX, int32_t PY) const;
  void Dot(TPoint P, TColor Color);
  // Both corners one pixel: that pixel in the pen colour; else the larger
  // x and y grow by one so the shape covers both corner pixels.
  void PixelOrBox(TPoint A, TPoint B, bool Ellipse);
  void ShapeColours(const TDrawItem& It);
  void Text(const TDrawItem& It, TPoint P);
  // The duplicate-mark grid's cell of a device pixel moved by the rim, or
  // none outside the grid.
  int32_t* Cell(int64_t X, int64_t Y);

  struct TLastMark {
    TPoint At{};
    uint8_t Symbol = 0;
    TColor Color = 0;
    TPenStyle Style = TPenStyle::psSolid;
    int32_t Width = -1;  // none yet
    bool operator==(const TLastMark&) const = default;
  };

  TCustomKelvo& FChart;
  TCanvas& c;
  TRenderState& s;
  std::vector<int32_t>& FDupGrid;
  const TLayerMapping* FMaps;
  int32_t FLeft, FTop, FOne;  // the bitmap's device origin; one logical pixel
  int64_t FDupRim, FGridW, FGridH;
  bool FDirectSquares, FAvoidDuplicates, FShortcuts, FAntiAliased;
  TLastMark FLastMark;
  bool FPenLost = false;
};

}  // namespace render
}  // namespace vexa
