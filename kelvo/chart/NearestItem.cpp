#include "kelvo/chart/NearestItem.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

namespace {
// The world value a fraction T of the way from A to B in pixels: on a
// logarithmic axis the pixels follow the logarithm of the value.
double Along(double A, double B, double T, bool Log) {
  if (Log && A > 0 && B > 0) return A * std::pow(B / A, T);
  return A + T * (B - A);
}
}  // namespace

TNearestItem TNearestIndex::Measure(const TItemShape& S, double X, double Y) {
  TNearestItem r;
  r.Index = S.Index;
  r.Layer = S.Layer;
  switch (S.Kind) {
    case TItemShape::skPoint:
      r.X = S.WAX;
      r.Y = S.WAY;
      r.Distance = std::hypot(X - S.AX, Y - S.AY);
      break;
    case TItemShape::skSegment: {
      const double dx = S.BX - S.AX, dy = S.BY - S.AY, len2 = dx * dx + dy * dy;
      double t = len2 > 0 ? ((X - S.AX) * dx + (Y - S.AY) * dy) / len2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      r.Distance = std::hypot(X - (S.AX + t * dx), Y - (S.AY + t * dy));
      r.X = Along(S.WAX, S.WBX, t, S.LogX);  // the world point of that pixel position
      r.Y = Along(S.WAY, S.WBY, t, S.LogY);
      break;
    }
    case TItemShape::skBox: {
      const double l = std::min(S.AX, S.BX), rr = std::max(S.AX, S.BX);
      const double t = std::min(S.AY, S.BY), b = std::max(S.AY, S.BY);
      const double cx = std::clamp(X, l, rr), cy = std::clamp(Y, t, b);
      r.Distance = std::hypot(X - cx, Y - cy);
      const double u = rr > l ? (cx - S.AX) / (S.BX - S.AX) : 0;
      const double v = b > t ? (cy - S.AY) / (S.BY - S.AY) : 0;
      r.X = Along(S.WAX, S.WBX, u, S.LogX);
      r.Y = Along(S.WAY, S.WBY, v, S.LogY);
      break;
    }
  }
  return r;
}

void TNearestIndex::Build(std::span<const TItemShape> Shapes) {
  Clear();
  Add(Shapes);
  FBuilt = true;
}

void TNearestIndex::Push(const TItemShape& Shape) {
  if ((FCount & (ChunkSize - 1)) == 0) FChunks.push_back(std::make_unique<TItemShape[]>(ChunkSize));
  FChunks.back()[FCount & (ChunkSize - 1)] = Shape;
  ++FCount;
}

void TNearestIndex::Add(std::span<const TItemShape> Shapes) {
  for (const TItemShape& s : Shapes) {
    Push(s);
    Insert(FCount - 1);
  }
}

void TNearestIndex::Insert(uint32_t K) {
  const TItemShape& s = Shape(K);
  const double l = std::min(s.AX, s.Kind == TItemShape::skPoint ? s.AX : s.BX);
  const double r = std::max(s.AX, s.Kind == TItemShape::skPoint ? s.AX : s.BX);
  const double t = std::min(s.AY, s.Kind == TItemShape::skPoint ? s.AY : s.BY);
  const double b = std::max(s.AY, s.Kind == TItemShape::skPoint ? s.AY : s.BY);
  // Pixels are clipped to +-30000: every shape lies on the plane of cells.
  const auto c0 = static_cast<int64_t>(std::floor(l / Cell)),
             c1 = static_cast<int64_t>(std::floor(r / Cell));
  const auto r0 = static_cast<int64_t>(std::floor(t / Cell)),
             r1 = static_cast<int64_t>(std::floor(b / Cell));
  if ((c1 - c0 + 1) * (r1 - r0 + 1) > 64) {
    FLarge.push_back(K);  // over many cells: always measured
    return;
  }
  for (int64_t row = r0; row <= r1; ++row)
    for (int64_t col = c0; col <= c1; ++col) FCells[Key(col, row)].push_back(K);
}

TNearestItem TNearestIndex::Find(int32_t X, int32_t Y, double MaxPixels) const {
  TNearestItem best;
  if (!(MaxPixels >= 0)) return best;
  double bestDistance = MaxPixels;
  int64_t bestIndex = -1;
  auto consider = [&](uint32_t k) {
    const TNearestItem m = Measure(Shape(k), X, Y);
    // Ties go to the item drawn later, the one on top.
    if (m.Distance < bestDistance || (m.Distance == bestDistance && m.Index > bestIndex)) {
      bestDistance = m.Distance;
      bestIndex = m.Index;
      best = m;
    }
  };
  for (uint32_t k : FLarge) consider(k);
  const double reach = std::min(MaxPixels, 1e6);
  const int64_t c0 =
      std::max<int64_t>(-Extent, static_cast<int64_t>(std::floor((X - reach) / Cell)));
  const int64_t c1 =
      std::min<int64_t>(Extent, static_cast<int64_t>(std::floor((X + reach) / Cell)));
  const int64_t r0 =
      std::max<int64_t>(-Extent, static_cast<int64_t>(std::floor((Y - reach) / Cell)));
  const int64_t r1 =
      std::min<int64_t>(Extent, static_cast<int64_t>(std::floor((Y + reach) / Cell)));
  if (c0 <= c1 && r0 <= r1) {
    const auto cells = static_cast<uint64_t>((c1 - c0 + 1) * (r1 - r0 + 1));
    if (cells <= FCells.size()) {
      for (int64_t row = r0; row <= r1; ++row)
        for (int64_t col = c0; col <= c1; ++col)
          if (auto it = FCells.find(Key(col, row)); it != FCells.end())
            for (uint32_t k : it->second) consider(k);
    } else {
      // A reach wider than the cells held: each cell held once.
      for (const auto& [key, shapes] : FCells) {
        const int64_t col = static_cast<int64_t>(key >> 32) - Bias;
        const int64_t row = static_cast<int64_t>(key & 0xFFFFFFFFu) - Bias;
        if (col < c0 || col > c1 || row < r0 || row > r1) continue;
        for (uint32_t k : shapes) consider(k);
      }
    }
  }
  return best.Index >= 0 && best.Distance <= MaxPixels ? best : TNearestItem{};
}

// --- the chart's side: shapes of the visible items ---

// One display-list item's shape as the pointer finds it; false for an item
// that draws nothing to find (a move, a kind without a place, a line from a
// point that is not finite). Pen: where the path stands before this item.
bool TCustomKelvo::ItemShape(const TDrawItem& it, const TShapePen& Pen, TItemShape& s) const {
  auto pixel = [&](double x, double y, double& px, double& py) {
    int32_t ix, iy;
    WorldToPixel(it.Layer, x, y, ix, iy);
    ClipPixel(ix, iy);
    px = ix;
    py = iy;
  };
  auto point = [&](double x, double y) {
    s.Kind = TItemShape::skPoint;
    s.WAX = x;
    s.WAY = y;
    pixel(x, y, s.AX, s.AY);
  };
  auto twoPoints = [&](TItemShape::TKind kind, double x1, double y1, double x2, double y2) {
    s.Kind = kind;
    s.WAX = x1, s.WAY = y1, s.WBX = x2, s.WBY = y2;
    pixel(x1, y1, s.AX, s.AY);
    pixel(x2, y2, s.BX, s.BY);
  };
  switch (it.Kind) {
    case ikMark:
    case ikErrorMark:
    case ikText:
    case ikTextOffset:
    case ikPixelBox:
      point(it.X1, it.Y1);
      return true;
    case ikLine:
    case ikArrow:
      twoPoints(TItemShape::skSegment, it.X1, it.Y1, it.X2, it.Y2);
      return true;
    case ikLineTo:
      if (Pen.Set && !(std::isfinite(Pen.X) && std::isfinite(Pen.Y)))
        return false;  // drawn as a move: the line from a point that is not finite is not drawn
      if (Pen.Set && Pen.Layer == it.Layer)
        twoPoints(TItemShape::skSegment, Pen.X, Pen.Y, it.X1, it.Y1);
      else
        point(it.X1, it.Y1);
      return true;
    case ikRectangle:
    case ikBevelBox:
    case ikBar3D:
      twoPoints(TItemShape::skBox, it.X1, it.Y1, it.X2, it.Y2);
      return true;
    case ikEllipse:
      twoPoints(TItemShape::skBox, it.X1 - it.X2, it.Y1 - it.Y2, it.X1 + it.X2, it.Y1 + it.Y2);
      return true;
    default:
      return false;  // moves and kinds that draw nothing
  }
}

std::vector<TItemShape> TCustomKelvo::ItemShapes(size_t From, TShapePen& Pen) const {
  std::vector<TItemShape> shapes;
  const auto items = FList.Items();
  shapes.reserve(items.size() - std::min(From, items.size()));
  for (size_t i = From; i < items.size(); ++i) {
    const TDrawItem& it = items[i];
    TItemShape s;
    s.Index = static_cast<int32_t>(i);
    s.Layer = it.Layer;
    s.LogX = Mapping(it.Layer).LogX;
    s.LogY = Mapping(it.Layer).LogY;
    const bool add = ItemShape(it, Pen, s) && ClassVisible(it.ItemClass) && LayerVisible(it.Layer);
    if (it.Kind == ikMoveTo || it.Kind == ikLineTo) {  // where lines go on from
      Pen.X = it.X1;
      Pen.Y = it.Y1;
      Pen.Layer = it.Layer;
      Pen.Set = true;
    }
    // A shape with a coordinate that is not finite is not drawn, so never found.
    const bool finite =
        HasFiniteCoordinates(it) && std::isfinite(s.WAX) && std::isfinite(s.WAY) &&
        (s.Kind == TItemShape::skPoint || (std::isfinite(s.WBX) && std::isfinite(s.WBY)));
    if (add && finite) shapes.push_back(s);
  }
  return shapes;
}

TNearestItem TCustomKelvo::FindNearestItem(int32_t X, int32_t Y, double MaxPixels) {
  // The index follows the mapping, the visibility and the items: appended
  // items are added to it, anything else builds it anew.
  TNearestKey key;
  key.Rewrites = FList.Rewrites();
  for (int32_t n = 1; n <= LayerCount; ++n) {
    const TLayerMapping& m = FMapping[static_cast<size_t>(n)];
    key.Factors[static_cast<size_t>(n)] = {
        m.KX, m.DX, m.KY, m.DY, m.FloorX, m.FloorY, m.LogX ? 1.0L : 0.0L, m.LogY ? 1.0L : 0.0L};
  }
  key.Classes = FSettings.ClassVisible;
  key.Layers = FSettings.LayerVisible;
  key.Width = Width();
  key.Height = Height();
  const size_t count = FList.Items().size();
  if (!FNearest.Built() || !(key == FNearestKey) || count < FNearestCount) {
    FNearestPen = {};
    FNearest.Build(ItemShapes(0, FNearestPen));
    FNearestKey = key;
  } else if (count > FNearestCount) {
    FNearest.Add(ItemShapes(FNearestCount, FNearestPen));
  }
  FNearestCount = count;
  TNearestItem best = FNearest.Find(X, Y, MaxPixels);
  if (!FPlottables->empty() && MaxPixels >= 0) {
    if (best.Index < 0) best.Distance = MaxPixels;
    NearestPlottablePoint(X, Y, best);
    if (best.Index < 0 && best.Plottable < 0) best = TNearestItem{};
  }
  if (best.Index < 0 && best.Plottable < 0) PlottableAreaAt(X, Y, best);
  return best;
}

// The topmost plottable covering the pixel: the one drawn last.
void TCustomKelvo::PlottableAreaAt(int32_t X, int32_t Y, TNearestItem& Best) const {
  for (size_t k = FPlottables->size(); k-- > 0;) {
    const TPlottable& p = *(*FPlottables)[k];
    TPlotHit hit;
    if (!p.Shown(*this) || !p.AreaHit(*this, X, Y, hit)) continue;
    Best = TNearestItem{};
    Best.Plottable = static_cast<int32_t>(k);
    int32_t kindIndex = 0;
    for (size_t j = 0; j < k; ++j) kindIndex += typeid(*(*FPlottables)[j]) == typeid(p) ? 1 : 0;
    if (dynamic_cast<const TColorMap*>(&p)) Best.ColorMap = kindIndex;
    Best.Layer = hit.Layer;
    Best.X = hit.X, Best.Y = hit.Y;
    Best.CellX = hit.CellX, Best.CellY = hit.CellY, Best.Value = hit.Value;
    return;
  }
}

void TCustomKelvo::NearestPlottablePoint(int32_t X, int32_t Y, TNearestItem& Best) const {
  // Plottables are drawn after the items, later ones over earlier ones: on
  // equal distances the later wins.
  for (size_t k = 0; k < FPlottables->size(); ++k) {
    const TPlottable& p = *(*FPlottables)[k];
    if (!p.Shown(*this)) continue;
    TPlotHit hit;
    hit.Distance = Best.Distance;
    if (!p.NearestHit(*this, X, Y, hit)) continue;
    // Its number among the plottables of its kind (a series' index).
    int32_t kindIndex = 0;
    for (size_t j = 0; j < k; ++j) kindIndex += typeid(*(*FPlottables)[j]) == typeid(p) ? 1 : 0;
    Best = TNearestItem{};
    Best.Plottable = static_cast<int32_t>(k);
    Best.Series = kindIndex;
    Best.Point = hit.Point;
    Best.Layer = hit.Layer;
    Best.X = hit.X;
    Best.Y = hit.Y;
    Best.Distance = hit.Distance;
  }
}

}  // namespace vexa
