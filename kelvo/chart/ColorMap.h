// TColorMap: a grid of values drawn in colour (a heatmap, a detector's
// image, a spectrogram).
//
// The grid has NX x NY cells over a world rectangle of its layer: cell
// (i, j) covers the i-th of NX equal parts of X0..X1 and the j-th of NY of
// Y0..Y1 (j = 0 at Y0); its edges are CellEdgeX(i), CellEdgeX(i + 1) and
// CellEdgeY(j), CellEdgeY(j + 1). Values are held row by row, 8 bytes a
// cell; columns may be appended at the high-x end (AppendColumn), and with a
// Capacity the oldest column is dropped in O(1) without moving data.
//
// Its picture, with Interpolate False, is by definition that of a filled box
// item for every cell in its colour (no outline, corners at its edges),
// drawn row by row from j = 0, each row from i = 0: a pixel takes the colour
// of the last such box that covers it (a cell whose colour is clNone draws no
// box). With Interpolate True the same pixels are covered, each in the colour
// of the bilinear value between cell centres at the pixel's centre. With an
// Opacity below 255 that picture is laid once over what lies beneath.
//
// Changing a colour map does not paint: ShowGraph does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kelvo/chart/Gradient.h"
#include "kelvo/chart/Plottable.h"

namespace vexa {

class TColorMap : public TPlottable {
 public:
  // The most cells a map holds (8 GiB of values); more is refused.
  static constexpr int64_t MaxCells = int64_t{1} << 30;

  explicit TColorMap(std::string Name = "");
  TColorMap(const TColorMap& Other);
  TColorMap& operator=(const TColorMap&) = delete;
  ~TColorMap() override;

  // --- the grid ---
  int32_t SizeX() const { return FNX; }  // 0 until SetSize
  int32_t SizeY() const { return FNY; }
  // NX x NY cells, all NaN. Each at least 1, NX x NY at most MaxCells (and a
  // Capacity at least NX): otherwise EVexaKelvoError, the map unchanged. The
  // extent stays.
  void SetSize(int32_t NX, int32_t NY);
  // The world rectangle the grid covers (0..1 x 0..1 as created); X0 > X1
  // or Y0 > Y1 runs the cells the other way. Ends not finite, or of no
  // width or height: EVexaKelvoError.
  void SetExtent(double X0, double X1, double Y0, double Y1);
  double ExtentX0() const { return CellEdgeX(0); }
  double ExtentX1() const { return CellEdgeX(FNX > 0 ? FNX : 1); }
  double ExtentY0() const { return FY0; }
  double ExtentY1() const { return CellEdgeY(FNY > 0 ? FNY : 1); }
  // The world x of the cells' edge I (0 .. NX), y of edge J (0 .. NY).
  double CellEdgeX(int64_t I) const;
  double CellEdgeY(int64_t J) const;

  // Cell (I, J); indexes outside the grid raise EVexaKelvoError.
  double Value(int32_t I, int32_t J) const;
  void SetValue(int32_t I, int32_t J, double V);
  // NX x NY values, row J after row J - 1.
  void SetValues(const double* V);
  // A column of NY values at the high-x end: the extent grows by one cell
  // width, or, with the map at its Capacity, the oldest column is dropped
  // and the extent moves by one cell width.
  void AppendColumn(const double* V);
  // Columns held at most (0, as created: the map grows). Set below SizeX,
  // the oldest columns are dropped. NY x Capacity within MaxCells.
  int32_t Capacity() const { return FCapacity; }
  void SetCapacity(int32_t Columns);

  // --- colours ---
  TGradient Gradient() const { return FGradient; }  // grViridis
  void SetGradient(TGradient Value);
  // The stops drawn with (a built-in gradient's published table, or one's
  // own). Setting stops makes the gradient grCustom; stops out of order,
  // outside 0..1 or fewer than two: EVexaKelvoError, nothing changed.
  const std::vector<TGradientStop>& GradientStops() const { return FStops; }
  void SetGradientStops(std::vector<TGradientStop> Stops);
  // The values drawn at the gradient's ends (a reversed range reverses it);
  // setting one turns AutoColorRange off. Not finite: EVexaKelvoError.
  // Low = High: every finite value takes the low end's colour.
  double ColorRangeLow() const { return FRangeLow; }  // 0
  void SetColorRangeLow(double Value);
  double ColorRangeHigh() const { return FRangeHigh; }  // 1
  void SetColorRangeHigh(double Value);
  // True: the range is the finite extent of the values (the positive ones
  // with LogColors), kept as data arrives without a scan of the grid.
  bool AutoColorRange() const { return FAutoRange; }  // True
  void SetAutoColorRange(bool Value);
  // Colours by the logarithm of the value; values <= 0 take NanColor. A set
  // range with an end <= 0 cannot be drawn: the paint says so.
  bool LogColors() const { return FLogColors; }  // False
  void SetLogColors(bool Value);
  // The colour of NaN (clNone: none, the cells show what lies beneath).
  TColor NanColor() const { return FNanColor; }  // clNone
  void SetNanColor(TColor Value);
  bool Interpolate() const { return FInterpolate; }  // False
  void SetInterpolate(bool Value);
  uint8_t Opacity() const { return FOpacity; }  // 255
  void SetOpacity(uint8_t Value);

  // The range drawn: the set one, or with AutoColorRange the values' finite
  // (positive, with LogColors) extent; false when there is none.
  bool DrawnColorRange(double& Low, double& High) const;
  // The colour V is drawn in (clNone: none), as the map draws it now.
  TColor ColorOf(double V) const;
  // The gradient's colour at Position 0..1 as the map draws it (the
  // nearest of its levels): a colour bar's.
  TColor GradientColor(double Position) const;

  // --- TPlottable ---
  std::unique_ptr<TPlottable> Clone() const override;
  void Draw(TPlotContext& Context) const override;
  bool Extent(TPlotExtent& Extent, bool PositiveX, bool PositiveY) const override;
  bool NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const override;
  bool AreaHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Hit) const override;
  void LegendIcon(TLegendEntry& Entry) const override;

 private:
  struct TColumnSummary {  // a column's finite values: lowest, lowest positive, highest
    double Min, MinPositive, Max;
  };
  struct TDrawPlan;
  // Where cell (I, J) is held: row J, the ring's column for I.
  size_t At(int64_t I, int64_t J) const {
    return static_cast<size_t>(J) * static_cast<size_t>(FStride) + Slot(I);
  }
  size_t Slot(int64_t I) const {
    const int64_t s = FFirst + I;
    return static_cast<size_t>(s >= FStride ? s - FStride : s);
  }
  void CheckCell(int32_t I, int32_t J) const;
  void Relayout(int32_t Stride);
  void Summarise(size_t Slot);
  void RangeChanged() const { FRangeKnown = false; }
  void StopsChanged();
  bool ColourRule(TDrawPlan& Plan, std::string& Problem) const;
  struct TPicture;
  void MakeCells(const TDrawPlan& Plan, TPicture& Picture) const;
  void MakeInterpolated(const TDrawPlan& Plan, TPicture& Picture) const;

  int32_t FNX = 0, FNY = 0;
  int32_t FCapacity = 0;
  int32_t FStride = 0;  // columns a row holds room for
  int32_t FFirst = 0;   // the ring's slot of column 0
  std::vector<double> FCells;
  std::vector<TColumnSummary> FSummaries;  // by slot
  // Edges: X0 + (FDropped + i) * FCellW; Y0 + j * FCellH (without cells,
  // one cell spans the extent).
  double FX0 = 0, FCellW = 1, FY0 = 0, FCellH = 1;
  int64_t FDropped = 0;

  TGradient FGradient = TGradient::grViridis;
  std::vector<TGradientStop> FStops;
  double FRangeLow = 0, FRangeHigh = 1;
  bool FAutoRange = true, FLogColors = false, FInterpolate = false;
  TColor FNanColor = clNone;
  uint8_t FOpacity = 255;

  // The values' extent over the column summaries, found again when a
  // column's extreme went.
  mutable bool FRangeKnown = true;
  mutable bool FAnyFinite = false, FAnyPositive = false;
  mutable double FMin = 0, FMinPositive = 0, FMax = 0;
  void FindRange() const;
  void TakeIntoRange(const TColumnSummary& S) const;

  std::unique_ptr<TGradientTable> FTable;      // the stops' colours
  mutable std::unique_ptr<TPicture> FPicture;  // the last paint's pixels
};

}  // namespace vexa
