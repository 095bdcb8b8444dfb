// The drawing item nearest to a client pixel: an index of the items' pixel
// shapes in a grid of cells, built when first asked and again after the
// items, the mapping or the visibility changed.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kelvo/chart/LayerMapping.h"
#include "kelvo/platform/Types.h"

namespace vexa {

struct TNearestItem {
  int32_t Index = -1;   // the display-list item; -1: a series point, or none within reach
  int32_t Series = -1;  // the series of a series point; -1: an item, or none
  int64_t Point = -1;   // the point's index in its series (0: the oldest held); -1 otherwise
  int32_t Layer = 0;
  double X = 0, Y = 0;  // world point: the item's point, or the nearest point of its segment or box
  double Distance = 0;  // in pixels
};

// One item's shape in client pixels: a point, a segment or a box.
struct TItemShape {
  enum TKind : uint8_t { skPoint, skSegment, skBox } Kind = skPoint;
  int32_t Index = 0, Layer = 0;
  double AX = 0, AY = 0, BX = 0, BY = 0;      // pixels: point; segment ends; box corners
  double WAX = 0, WAY = 0, WBX = 0, WBY = 0;  // the same in world units
  bool LogX = false, LogY = false;  // logarithmic axes: pixels follow the logarithm
};

class TNearestIndex {
 public:
  static constexpr int32_t Cell = 16;  // pixels per side of a grid cell

  void Clear() { FShapes.clear(), FCells.clear(), FLarge.clear(), FBuilt = false; }
  bool Built() const { return FBuilt; }
  void Build(std::vector<TItemShape> Shapes, int32_t Width, int32_t Height);
  TNearestItem Find(int32_t X, int32_t Y, double MaxPixels) const;
  // The shape's distance from (X, Y) and its nearest world point.
  static TNearestItem Measure(const TItemShape& S, double X, double Y);

 private:
  std::vector<TItemShape> FShapes;
  std::vector<std::vector<uint32_t>> FCells;  // shape indexes per cell
  std::vector<uint32_t> FLarge;               // shapes too large for cells, or off the grid
  int32_t FColumns = 0, FRows = 0;
  bool FBuilt = false;
};

}  // namespace vexa
