// A summary of the display list for drawing long lines fast and exactly.
//
// The items are grouped in aligned blocks of 32, 1,024 and 32,768. For each
// block the summary says whether all its items are line-to items with the
// same drawing attributes and finite coordinates, and if so the least and
// greatest world x and y, with the items where the y extremes first occur,
// and its first and last points (so that drawing a block reads no items).
// A block whose x extent falls into one pixel column can then be drawn from
// its first and last points and its two extremes (see the renderer).
//
// The summary follows the items as they are appended: appending or cutting
// invalidates from that item on, and Update brings it up to a count, each
// item summarised once (amortised O(1) per append, no rebuild per paint).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kelvo/platform/Types.h"

namespace vexa {

struct TDrawItem;

struct TLineBlock {
  double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
  double FirstX = 0, FirstY = 0, LastX = 0, LastY = 0;  // its first and last points
  uint32_t MinYAt = 0, MaxYAt = 0;  // item indexes of the first least and greatest y
  TColor Color = 0, FillColor = 0;
  int32_t Layer = 0;
  int32_t LineWidth = 0;
  TPenStyle PenStyle = TPenStyle::psSolid;
  uint8_t ItemClass = 0;
  bool Uniform = false;  // line-to items only, equal attributes, finite coordinates

  bool SameAttributes(const TLineBlock& Other) const {
    return Color == Other.Color && FillColor == Other.FillColor && Layer == Other.Layer &&
           LineWidth == Other.LineWidth && PenStyle == Other.PenStyle &&
           ItemClass == Other.ItemClass;
  }
};

class TLineSummary {
 public:
  static constexpr int Levels = 4;
  static constexpr int Shift[Levels] = {3, 6, 10, 15};  // blocks of 8, 64, 1,024 and 32,768 items

  // Items from Index on have changed or gone.
  void Invalidate(size_t Index) {
    if (Index < FValid) FValid = Index;
  }
  // Summarises Items[0, Count) where it is not yet.
  void Update(const TDrawItem* Items, size_t Count);
  // The block of the level that starts at item Index (a multiple of its
  // size), or nullptr when that block is not complete within the count
  // last brought up to date.
  const TLineBlock* BlockAt(int Level, size_t Index) const {
    const size_t b = Index >> Shift[Level];
    return b < FComplete[static_cast<size_t>(Level)] ? &FBlocks[static_cast<size_t>(Level)][b]
                                                     : nullptr;
  }

 private:
  std::array<std::vector<TLineBlock>, Levels> FBlocks;
  std::array<size_t, Levels> FComplete{};  // complete blocks per level, as of the last Update
  size_t FValid = 0;                       // items summarised and unchanged since
};

}  // namespace vexa
