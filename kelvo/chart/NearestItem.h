// The drawing item nearest to a client pixel: an index of the items' pixel
// shapes in a grid of cells, built when first asked and again after the
// items, the mapping or the visibility changed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "kelvo/chart/LayerMapping.h"
#include "kelvo/platform/Types.h"

namespace vexa {

struct TNearestItem {
  int32_t Index = -1;  // the display-list item; -1: a plottable's point, or none within reach
  // The plottable of a plottable's point (its place in the chart's list, as
  // Plottable(i) counts); -1: an item, or none.
  int32_t Plottable = -1;
  // That plottable's number among those of its kind: for a series point,
  // the series' index (Series(i)); -1: an item, or none.
  int32_t Series = -1;
  // The point's index within its plottable (for a series 0 is the oldest
  // point held); -1 otherwise.
  int64_t Point = -1;
  int32_t Layer = 0;
  double X = 0, Y = 0;  // world point: the item's point, or the nearest point of its segment or box
  double Distance = 0;  // in pixels
  // The colour map whose cell lies under the pixel (ColorMap(i)), when no
  // item or plottable point lies within reach; -1 otherwise. Then X and Y
  // are the cell's centre, Distance 0.
  int32_t ColorMap = -1;
  int32_t CellX = -1, CellY = -1;  // the cell's column and row
  double Value = 0;                // its value
};

// One item's shape in client pixels: a point, a segment or a box.
struct TItemShape {
  enum TKind : uint8_t { skPoint, skSegment, skBox } Kind = skPoint;
  int32_t Index = 0, Layer = 0;
  double AX = 0, AY = 0, BX = 0, BY = 0;      // pixels: point; segment ends; box corners
  double WAX = 0, WAY = 0, WBX = 0, WBY = 0;  // the same in world units
  bool LogX = false, LogY = false;            // logarithmic axes: pixels follow the logarithm
};

// A grid of 16-pixel cells over the whole clipped pixel plane (only cells
// holding shapes are stored): a query reads the cells within its reach, so
// items far from the pointer are never looked at, and shapes for appended
// items are added without building anew.
class TNearestIndex {
 public:
  static constexpr int32_t Cell = 16;  // pixels per side of a grid cell

  void Clear() { FChunks.clear(), FCount = 0, FCells.clear(), FLarge.clear(), FBuilt = false; }
  bool Built() const { return FBuilt; }
  void Build(std::span<const TItemShape> Shapes);
  void Add(std::span<const TItemShape> Shapes);
  TNearestItem Find(int32_t X, int32_t Y, double MaxPixels) const;
  // The shape's distance from (X, Y) and its nearest world point.
  static TNearestItem Measure(const TItemShape& S, double X, double Y);

 private:
  void Insert(uint32_t K);
  void Push(const TItemShape& Shape);
  const TItemShape& Shape(uint32_t K) const {
    return FChunks[K >> ChunkShift][K & (ChunkSize - 1)];
  }
  static constexpr uint32_t ChunkShift = 12, ChunkSize = uint32_t{1} << ChunkShift;
  static uint64_t Key(int64_t Column, int64_t Row) {
    return (static_cast<uint64_t>(Column + Bias) << 32) | static_cast<uint64_t>(Row + Bias);
  }
  static constexpr int64_t Bias = int64_t{1} << 20;
  static constexpr int64_t Extent = 30000 / Cell + 1;  // cells either side of 0

  // Shapes in chunks: growing never moves (or copies) what is held.
  std::vector<std::unique_ptr<TItemShape[]>> FChunks;
  uint32_t FCount = 0;
  std::unordered_map<uint64_t, std::vector<uint32_t>> FCells;  // shape indexes per cell
  std::vector<uint32_t> FLarge;                                // shapes over more than 64 cells
  bool FBuilt = false;
};

// Where lines go on from while the shapes of items are made, kept between
// additions of appended items.
struct TShapePen {
  double X = 0, Y = 0;
  int32_t Layer = 1;
  bool Set = false;
};

}  // namespace vexa
