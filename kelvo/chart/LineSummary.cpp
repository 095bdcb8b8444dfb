#include "kelvo/chart/LineSummary.h"

#include <algorithm>
#include <cmath>

#include "kelvo/chart/DisplayList.h"

namespace vexa {

namespace {

TLineBlock FromItems(const TDrawItem* Items, size_t First, size_t Count) {
  const TDrawItem& a = Items[First];
  TLineBlock b;
  b.Color = a.Color;
  b.FillColor = a.FillColor;
  b.Layer = a.Layer;
  b.LineWidth = a.LineWidth;
  b.PenStyle = a.PenStyle;
  b.ItemClass = a.ItemClass;
  b.MinX = b.MaxX = a.X1;
  b.MinY = b.MaxY = a.Y1;
  b.MinYAt = b.MaxYAt = static_cast<uint32_t>(First);
  b.FirstX = a.X1;
  b.FirstY = a.Y1;
  b.LastX = Items[First + Count - 1].X1;
  b.LastY = Items[First + Count - 1].Y1;
  bool uniform = true;
  for (size_t i = First; i < First + Count; ++i) {
    const TDrawItem& it = Items[i];
    uniform = uniform && it.Kind == ikLineTo && it.Color == a.Color &&
              it.FillColor == a.FillColor && it.Layer == a.Layer && it.LineWidth == a.LineWidth &&
              it.PenStyle == a.PenStyle && it.ItemClass == a.ItemClass && std::isfinite(it.X1) &&
              std::isfinite(it.Y1);
    if (!uniform) break;
    if (it.X1 < b.MinX) b.MinX = it.X1;
    if (it.X1 > b.MaxX) b.MaxX = it.X1;
    if (it.Y1 < b.MinY) {
      b.MinY = it.Y1;
      b.MinYAt = static_cast<uint32_t>(i);
    }
    if (it.Y1 > b.MaxY) {
      b.MaxY = it.Y1;
      b.MaxYAt = static_cast<uint32_t>(i);
    }
  }
  b.Uniform = uniform;
  return b;
}

TLineBlock FromBlocks(const TLineBlock* Blocks, size_t Count) {
  TLineBlock b = Blocks[0];
  b.LastX = Blocks[Count - 1].LastX;
  b.LastY = Blocks[Count - 1].LastY;
  for (size_t k = 1; k < Count && b.Uniform; ++k) {
    const TLineBlock& c = Blocks[k];
    if (!c.Uniform || !c.SameAttributes(b)) {
      b.Uniform = false;
      break;
    }
    if (c.MinX < b.MinX) b.MinX = c.MinX;
    if (c.MaxX > b.MaxX) b.MaxX = c.MaxX;
    if (c.MinY < b.MinY) {  // strictly less: the first occurrence stays
      b.MinY = c.MinY;
      b.MinYAt = c.MinYAt;
    }
    if (c.MaxY > b.MaxY) {
      b.MaxY = c.MaxY;
      b.MaxYAt = c.MaxYAt;
    }
  }
  return b;
}

}  // namespace

void TLineSummary::Update(const TDrawItem* Items, size_t Count) {
  const size_t from = std::min(FValid, Count);
  for (int level = 0; level < Levels; ++level) {
    const auto l = static_cast<size_t>(level);
    const int shift = Shift[level];
    const size_t complete = Count >> shift;
    std::vector<TLineBlock>& blocks = FBlocks[l];
    const size_t first = std::min(from >> shift, blocks.size());
    blocks.resize(complete);
    const size_t childShift = level == 0 ? 0 : static_cast<size_t>(shift - Shift[level - 1]);
    for (size_t b = first; b < complete; ++b)
      blocks[b] = level == 0
                      ? FromItems(Items, b << shift, size_t{1} << shift)
                      : FromBlocks(&FBlocks[l - 1][b << childShift], size_t{1} << childShift);
    FComplete[l] = complete;
  }
  FValid = Count;
}

}  // namespace vexa
