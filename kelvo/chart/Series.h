// TSeries: data handed to the chart as columns, beside the display list.
//
// A series holds points as two columns of doubles (or the y column alone
// for evenly spaced x), optionally bounded to the newest Capacity points in
// a ring that drops the oldest in O(1) without moving the data. Summaries
// of aligned blocks (128, 8,192 and 524,288 slots) keep each block's extent
// and where its lowest and highest y lie, so that a paint of x-sorted data
// reads only the points in view and each pixel column's first, lowest,
// highest and last point, and Bounds needs no scan of the points.
//
// Its picture is by definition that of the equivalent display-list items
// with its attributes as the current ones: MoveTo to the first point and
// DrawTo to each next one, then MarkAt at every point (the renderer,
// SeriesPlottable.cpp). Changing a series does not paint: ShowGraph does.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "kelvo/chart/Plottable.h"
#include "kelvo/platform/PageBuffer.h"
#include "kelvo/platform/Types.h"

namespace vexa {

struct TDrawItem;
struct TLayerMapping;

// How a series joins its points: straight segments (as created), steps,
// stems from its baseline, or bars from its baseline.
enum class TSeriesShape : uint8_t { shStraight, shStepPre, shStepPost, shStepMid, shStems, shBars };
inline constexpr const char* TSeriesShapeNames[] = {"shStraight", "shStepPre", "shStepPost",
                                                    "shStepMid",  "shStems",   "shBars"};

// What a series fills: nothing (as created), down (or up) to its baseline,
// or the band between its line and another series' line.
enum class TAreaFill : uint8_t { afNone, afToBaseline, afToSeries };

// Block summaries of one level: for each aligned block of the ring's slots.
struct TSeriesBlocks {
  std::vector<double> MinX, MaxX;        // over points with both coordinates finite (x y series)
  std::vector<double> MinY, MaxY;        // the same for y
  std::vector<uint32_t> MinYAt, MaxYAt;  // offsets in the block of the first lowest and highest y
  std::vector<uint8_t> Flags;            // FlagAllFinite, FlagAnyFinite
  static constexpr uint8_t FlagAllFinite = 1, FlagAnyFinite = 2;
};

class TSeries : public TPlottable {
 public:
  static constexpr int Levels = 3;
  static constexpr int Shift[Levels] = {7, 13, 19};  // blocks of 128, 8,192 and 524,288 slots

  explicit TSeries(std::string Name = "");
  TSeries(const TSeries& Other);
  TSeries& operator=(const TSeries&) = delete;
  ~TSeries() override;

  // --- data (i = 0 is the oldest point held) ---
  void Append(double X, double Y);
  // Count points from two arrays of at least Count values each.
  void Append(const double* X, const double* Y, size_t Count);
  // Spans of different lengths raise EVexaKelvoError and append nothing.
  void Append(std::span<const double> X, std::span<const double> Y);
  // Evenly spaced series (SetXSpacing): y alone; x = X0 + n * DX for the
  // n-th point appended since the series was made or cleared; an empty
  // series without a spacing takes X0 = 0, DX = 1. On a series holding
  // points with an x column these raise EVexaKelvoError, as Append(X, Y)
  // does on an evenly spaced one.
  void Append(double Y);
  void Append(const double* Y, size_t Count);
  void Append(std::span<const double> Y) { Append(Y.data(), Y.size()); }
  // Drops every point; attributes, capacity and spacing stay, and evenly
  // spaced numbering starts again at X0.
  void Clear();
  uint64_t Count() const { return FCount; }
  // Point i's coordinates; i outside 0 .. Count() - 1 raises EVexaKelvoError.
  double X(uint64_t I) const;
  double Y(uint64_t I) const;

  // Makes the series evenly spaced; only while it is empty (else, or for a
  // spacing that is not finite, EVexaKelvoError).
  void SetXSpacing(double X0, double DX);
  bool Spaced() const { return FSpaced; }
  // The x of the K-th evenly spaced point: one expression for every use,
  // so that where it leaves the finite doubles is the same everywhere
  // (a target may fuse the multiply and the add).
  static double SpacedX(double X0, double DX, uint64_t K) {
    return X0 + static_cast<double>(K) * DX;
  }
  double X0() const { return FX0; }
  double DX() const { return FDX; }

  // 0 (the creation value) keeps every point; N keeps the newest N,
  // dropping the oldest as new ones arrive. Below the count it drops the
  // oldest at once. Memory follows the points held, not the capacity (a
  // generous bound costs nothing until points arrive); storage that cannot
  // be allocated, here or when points arrive, raises EVexaKelvoError naming
  // the sizes and leaves the series as it was.
  uint64_t Capacity() const { return FCapacity; }
  void SetCapacity(uint64_t Value);

  // The extent of the points with both coordinates finite; false (and the
  // arguments untouched) when there are none. No scan of the points: the
  // block summaries answer.
  bool Bounds(double& MinX, double& MaxX, double& MinY, double& MaxY) const;
  // Whether every point held has a finite x not below the one before it
  // (an evenly spaced series with DX > 0 always has). Data that is not
  // sorted is drawn and searched per sorted run (a run starts where x goes
  // back, and a point whose x is not finite is a run of its own), paying
  // per run, not per point, for the points out of view; a series holding
  // more than MaxRuns runs (x in no order) is drawn point by point.
  bool Sorted() const;
  static constexpr size_t MaxRuns = size_t{1} << 16;

  // --- attributes (read when painting; Name, Layer, ItemClass, Visible and
  // InLegend are every plottable's) ---
  TColor Color() const { return FColor; }  // clBlack
  void SetColor(TColor Value) { FColor = Value, Touch(); }
  TPenStyle PenStyle() const { return FPenStyle; }  // psSolid
  void SetPenStyle(TPenStyle Value) { FPenStyle = Value, Touch(); }
  int32_t LineWidth() const { return FLineWidth; }  // 1; values below 1 count as 1
  void SetLineWidth(int32_t Value) { FLineWidth = Value < 1 ? 1 : Value, Touch(); }
  bool LineVisible() const { return FLineVisible; }  // True; False draws the marks only
  void SetLineVisible(bool Value) { FLineVisible = Value, Touch(); }
  // -1 (the creation value): no marks; 0 .. 255: that mark code at every point.
  int32_t Symbol() const { return FSymbol; }
  void SetSymbol(int32_t Value) { FSymbol = Value < -1 || Value > 255 ? -1 : Value, Touch(); }
  TColor FillColor() const { return FFillColor; }  // clSilver
  void SetFillColor(TColor Value) { FFillColor = Value, Touch(); }

  // --- shape (SeriesShapes.cpp); each is the picture of its equivalent
  // display-list items ---
  // shStepPre: each y holds to the left of its point, back to the previous
  // x (the line rises at the previous x); shStepPost: each y holds to the
  // right, up to the next x; shStepMid: the steps lie halfway between
  // points; shStems: a line from Baseline up to each point, no line joining
  // the points; shBars: a filled box from Baseline to each point, BarWidth
  // wide about its x moved by BarOffset, filled in AreaColor at AreaOpacity
  // and outlined with the pen (psClear: no outline). Marks as for any shape.
  TSeriesShape Shape() const { return FShape; }  // shStraight
  void SetShape(TSeriesShape Value) { FShape = Value, Touch(); }
  // The extra vertices of a step from (PX, PY) to (X, Y), handed to Vertex
  // (none for a shape that is not a step).
  template <class F>
  void StepVertices(double PX, double PY, double X, double Y, F&& Vertex) const {
    switch (FShape) {
      case TSeriesShape::shStepPre:
        Vertex(PX, Y);
        break;
      case TSeriesShape::shStepPost:
        Vertex(X, PY);
        break;
      case TSeriesShape::shStepMid: {
        const double m = 0.5 * PX + 0.5 * X;
        Vertex(m, PY);
        Vertex(m, Y);
        break;
      }
      default:
        break;  // not a step: none
    }
  }
  // Where stems and bars start; a value that is not finite raises
  // EVexaKelvoError and changes nothing.
  double Baseline() const { return FBaseline; }  // 0
  void SetBaseline(double Value);
  // World units of x. 0 (and a negative width): 0.8 of the smallest spacing
  // of adjacent x among the points in view, the same for every bar (one
  // unit of x when there is no spacing to take).
  double BarWidth() const { return FBarWidth; }  // 0
  void SetBarWidth(double Value);
  // World units of x each bar's centre lies from its point (grouped bars).
  double BarOffset() const { return FBarOffset; }  // 0
  void SetBarOffset(double Value);
  // The fill of bars: clNone (the creation value) fills in Color; opacity
  // 0..255 blends it over what lies beneath (255: painted over).
  TColor AreaColor() const { return FAreaColor; }  // clNone
  void SetAreaColor(TColor Value) { FAreaColor = Value, Touch(); }
  int32_t AreaOpacity() const { return FAreaOpacity; }  // 255; kept within 0..255
  void SetAreaOpacity(int32_t Value) {
    FAreaOpacity = Value < 0 ? 0 : Value > 255 ? 255 : Value, Touch();
  }
  // The area under (or over) the line, filled in AreaColor at AreaOpacity
  // before the line is drawn: afToBaseline down to Baseline (to the values
  // it is stacked on, when stacked), afToSeries the band between this
  // series' line and AreaPartner's. It follows the shape (a stepped series
  // fills stepped) and breaks where the line does; a pixel is filled when
  // its centre lies inside (the canvas' polygon rule).
  TAreaFill AreaFill() const { return FAreaFill; }  // afNone
  void SetAreaFill(TAreaFill Value) { FAreaFill = Value, Touch(); }
  // An index into the chart's Series(i); -1 (the creation value): none.
  // Naming a series the chart does not have, this series itself, or (for
  // StackedOn) a chain of stacking that comes back to it raises
  // EVexaKelvoError and changes nothing; a partner deleted later is
  // reported by the next paint, which draws the rest.
  int64_t AreaPartner() const { return FAreaPartner; }
  void SetAreaPartner(int64_t Value);
  // This series' values drawn on top of that series' values at the same x
  // (stacked lines, bars and areas); the two must hold the same x.
  int64_t StackedOn() const { return FStackedOn; }
  void SetStackedOn(int64_t Value);
  // The width of this series' bars while x Low .. High is in view:
  // BarWidth, or the creation rule over the points there.
  double BarWidthIn(double Low, double High) const;

  // --- as a plottable (SeriesPlottable.cpp) ---
  std::unique_ptr<TPlottable> Clone() const override;
  void Draw(TPlotContext& Context) const override;
  bool Extent(TPlotExtent& Extent, bool PositiveX, bool PositiveY) const override;
  bool NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const override;
  void LegendIcon(TLegendEntry& Entry) const override;

 private:
  void DrawLine(TPlotContext& Context, TDrawItem& Item, bool Ordered) const;
  void DrawMarks(TPlotContext& Context, TDrawItem& Item) const;
  // The shapes other than straight lines (SeriesShapes.cpp).
  void DrawOwn(TPlotContext& Context, const std::vector<double>* Below) const;
  void DrawShape(TPlotContext& Context, TDrawItem& Item, bool Ordered) const;
  void DrawBars(TPlotContext& Context, TDrawItem& Item, const std::vector<double>* Below) const;
  // Whether pixels follow the values on Mapping: not at or below a
  // logarithmic axis' floor (values there go to the axis' end).
  bool Ordered(const TLayerMapping& Mapping) const;
  // A series like this one holding its x and the values Y, stacked on
  // nothing, in no chart.
  std::unique_ptr<TSeries> Holding(const std::vector<double>& Y) const;
  // What an index names, or why it cannot be used ("" when it can); Chain
  // follows StackedOn from it to find a loop.
  std::string PartnerProblem(const char* What, int64_t Index, bool Chain) const;
  // The series an index names in this series' chart (null: none).
  const TSeries* SeriesAt(int64_t Index) const;
  // The values drawn: y, or stacked on StackedOn's drawn values (those,
  // when stacked, also in Below). False with Problem set when the stacking
  // cannot be drawn.
  bool DrawnValues(std::vector<double>& Y, std::string& Problem,
                   std::vector<double>* Below = nullptr, int Depth = 0) const;
  // The area between this series' path and Lower's (its values LowerY, its
  // shape) or, Lower null, Baseline.
  void DrawArea(TPlotContext& Context, const TSeries* Lower,
                const std::vector<double>* LowerY) const;
  bool FillAreaByColumns(TPlotContext& Context, const TSeries* Lower,
                         const std::vector<double>* LowerY) const;
  // The nearest hit on the points, and on the drawn pieces of steps, stems
  // and bars (inside a bar or an area: distance 0).
  bool PointHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const;
  bool ShapeHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const;
  // What the drawing and the nearest-point search read beyond the data and
  // attributes reaches them through TSeriesView (SeriesView.h).
  friend class TSeriesView;
  // Point i without the range check (callers keep i below Count()).
  double XAt(uint64_t I) const { return FSpaced ? SpacedX(FX0, FDX, FDropped + I) : FXs[Slot(I)]; }
  double YAt(uint64_t I) const { return FYs[Slot(I)]; }
  // The slot of point i in the ring, the slot after a slot, and the y in a slot.
  uint64_t Slot(uint64_t I) const {
    const uint64_t s = FFirst + I;
    return s >= FSlots ? s - FSlots : s;
  }
  uint64_t NextSlot(uint64_t S) const { return S + 1 == FSlots ? 0 : S + 1; }
  uint64_t SlotCount() const { return FSlots; }
  // Point i's coordinates when S is its slot.
  double XInSlot(uint64_t I, uint64_t S) const {
    return FSpaced ? SpacedX(FX0, FDX, FDropped + I) : FXs[S];
  }
  double YInSlot(uint64_t S) const { return FYs[S]; }
  // The points of the block of Level whose first slot is point I's, when
  // point I starts a block whose points are all held (0 otherwise).
  uint64_t WholeBlockAt(int Level, uint64_t I) const {
    const uint64_t slot = Slot(I);
    const uint64_t size = uint64_t{1} << Shift[Level];
    if ((slot & (size - 1)) != 0) return 0;
    const uint64_t len = size < FSlots - slot ? size : FSlots - slot;
    return I + len <= FCount ? len : 0;
  }
  // The groups of 16 slots below the first level keep only where their
  // lowest and highest y lie (a byte: low nibble lowest, high nibble highest)
  // and whether all their points are finite; for the paint's column edges.
  static constexpr int GroupShift = 4;
  // The offsets of group I's lowest and highest y when point I starts a
  // group of 16 points all held and finite; false otherwise.
  bool WholeGroupAt(uint64_t I, uint32_t& LowAt, uint32_t& HighAt) const {
    const uint64_t slot = Slot(I);
    if ((slot & 15) != 0 || I + 16 > FCount) return false;
    const uint64_t g = slot >> GroupShift;
    if (!((FGroupFinite[g >> 6] >> (g & 63)) & 1)) return false;
    LowAt = FGroupAt[g] & 15;
    HighAt = FGroupAt[g] >> 4;
    return true;
  }
  // Whether point I starts a block of the first level (and so may start one of any).
  bool StartsBlock(uint64_t I) const { return (Slot(I) & ((uint64_t{1} << Shift[0]) - 1)) == 0; }
  const TSeriesBlocks& Blocks(int Level) const { return FBlocks[static_cast<size_t>(Level)]; }
  // The first index in [Lo, Hi) for which Test holds, Test being false and
  // then true along the indexes (a binary search); Hi when it never holds.
  template <class F>
  static uint64_t FirstWhere(uint64_t Lo, uint64_t Hi, F&& Test) {
    while (Lo < Hi) {
      const uint64_t mid = Lo + (Hi - Lo) / 2;
      if (Test(mid))
        Hi = mid;
      else
        Lo = mid + 1;
    }
    return Lo;
  }
  // Visit(From, To) for each sorted run of the points held, in order (index
  // ranges [From, To), together all points); false, visiting none, when the
  // runs are not known (more than MaxRuns breaks came since they were).
  template <class F>
  bool ForEachRun(F&& Visit) const {
    if (FSpaced) {
      if (!Sorted()) return false;
      Visit(uint64_t{0}, FCount);
      return true;
    }
    if (FRunsKnownFrom > FDropped) return false;
    uint64_t from = 0;
    for (const uint64_t start : FRunStarts) {
      if (start <= FDropped) continue;
      const uint64_t at = start - FDropped;
      if (at >= FCount) break;
      Visit(from, at);
      from = at;
    }
    if (FCount > 0) Visit(from, FCount);
    return true;
  }
  void AddRunStart(uint64_t Ever);
  // The first point i >= From (up to To) whose x is not below X, for a
  // sorted series (a binary search).
  uint64_t LowerBoundX(double X, uint64_t From, uint64_t To) const;

  // Room for one more chunk: the slot the next point goes to, and how many
  // may be written there contiguously.
  void Reserve(uint64_t Total);
  void Drop(uint64_t Points);
  void Store(const double* X, const double* Y, size_t Count);
  void Written(uint64_t FirstSlot, uint64_t Points, const double* X);
  void SummariseSlots(uint64_t FirstSlot, uint64_t Points);
  // XFiniteEnd: an evenly spaced x is finite in the slots before it.
  void SummariseGroups(uint64_t FirstSlot, uint64_t Points, uint64_t XFiniteEnd);
  void SummariseBlocks(uint64_t FirstSlot, uint64_t Points, uint64_t XFiniteEnd);
  void CompleteBlock(int Level, uint64_t Block);
  void Relayout(uint64_t Slots, uint64_t Keep);
  template <class F>
  void ForEachCoveringBlock(uint64_t From, uint64_t To, F&& Visit) const;

  TColor FColor = 0x000000, FFillColor = 0xC0C0C0;
  TPenStyle FPenStyle = TPenStyle::psSolid;
  int32_t FLineWidth = 1;
  bool FLineVisible = true;
  int32_t FSymbol = -1;
  TSeriesShape FShape = TSeriesShape::shStraight;
  double FBaseline = 0, FBarWidth = 0, FBarOffset = 0;
  TColor FAreaColor = clNone;
  int32_t FAreaOpacity = 255;
  TAreaFill FAreaFill = TAreaFill::afNone;
  int64_t FAreaPartner = -1, FStackedOn = -1;

  bool FSpaced = false;
  double FX0 = 0, FDX = 1;
  // Evenly spaced points numbered (since the last clear) from this one on
  // have an x beyond the finite doubles.
  uint64_t FSpacedFinite = std::numeric_limits<uint64_t>::max();
  TPageBuffer FXBuffer, FYBuffer;
  double* FXs = nullptr;  // slots of x (none while spaced), in FXBuffer
  double* FYs = nullptr;  // slots of y, in FYBuffer
  uint64_t FSlots = 0;    // slots allocated: a multiple of the first block size once bounded
  uint64_t FFirst = 0;    // slot of point 0
  uint64_t FCount = 0;
  uint64_t FCapacity = 0;
  uint64_t FDropped = 0;  // points dropped since the series was made or cleared
  // Sortedness: the number (since the last clear) of the latest point that
  // broke the order; the series is sorted once that point is dropped.
  uint64_t FBreakEver = 0;
  double FLastX = 0;
  bool FHasLastX = false;
  // The points (numbered since the last clear) that start a sorted run
  // after the first, ascending; those dropped go at the next append. More
  // than MaxRuns: forgotten, and runs are known again once the points
  // before FRunsKnownFrom are dropped.
  std::deque<uint64_t> FRunStarts;
  uint64_t FRunsKnownFrom = 0;
  std::array<TSeriesBlocks, Levels> FBlocks;
  std::vector<uint8_t> FGroupAt;       // per group of 16 slots: lowest and highest offsets
  std::vector<uint64_t> FGroupFinite;  // per group: all points finite (a bit each)
};

}  // namespace vexa
