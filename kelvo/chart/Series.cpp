#include "kelvo/chart/Series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "kelvo/base/Errors.h"

namespace vexa {

namespace {

constexpr uint64_t BlockSize(int Level) { return uint64_t{1} << TSeries::Shift[Level]; }
constexpr uint64_t Base = uint64_t{1} << TSeries::Shift[0];

// The slots of a ring bounded to Capacity points once it is full: the
// capacity in whole first-level blocks (saturating; so large a ring is never
// reached, since memory follows the points held).
uint64_t FullRingSlots(uint64_t Capacity) {
  constexpr uint64_t Most = std::numeric_limits<uint64_t>::max() / Base * Base;
  return Capacity > Most ? Most : (Capacity + Base - 1) / Base * Base;
}

// The slots for Points points: doublings of one first-level block, so that
// memory follows the points held; a bounded ring (Capacity not 0) takes its
// full size as soon as it holds Capacity points, and never more. Until then
// it has dropped nothing and does not wrap, so growing keeps every slot.
uint64_t SlotsFor(uint64_t Points, uint64_t Capacity) {
  const uint64_t full = Capacity ? FullRingSlots(Capacity) : std::numeric_limits<uint64_t>::max();
  if (Capacity && Points >= Capacity) return full;
  uint64_t slots = Base;
  while (slots < Points && slots <= std::numeric_limits<uint64_t>::max() / 2) slots *= 2;
  return std::min(slots, full);
}

double* Grow(TPageBuffer& Buffer, uint64_t Slots) {
  const auto refuse = [Slots] {
    return EVexaKelvoError("Series storage for " + std::to_string(Slots) +
                           " points cannot be allocated (" + std::to_string(Slots) + " x " +
                           std::to_string(sizeof(double)) + " bytes a column)");
  };
  if (Slots > std::numeric_limits<size_t>::max() / sizeof(double)) throw refuse();
  try {
    Buffer.Grow(static_cast<size_t>(Slots) * sizeof(double));
  } catch (const std::bad_alloc&) {
    throw refuse();
  }
  return static_cast<double*>(Buffer.Data());
}

// The number of points (counted from the first since the series was made
// or cleared) whose evenly spaced x X0 + k DX is finite: x moves one way
// with k, so they are the first ones.
uint64_t FiniteSpacedPoints(double X0, double DX) {
  constexpr uint64_t All = std::numeric_limits<uint64_t>::max();
  const auto finite = [&](uint64_t k) { return std::isfinite(TSeries::SpacedX(X0, DX, k)); };
  if (DX == 0 || finite(All)) return All;
  uint64_t lo = 0, hi = All;  // finite(lo), !finite(hi)
  while (hi - lo > 1) {
    const uint64_t mid = lo + (hi - lo) / 2;
    (finite(mid) ? lo : hi) = mid;
  }
  return hi;
}

// Block summaries are kept for the blocks written so far: arrays grow with
// the data, so a doubled ring costs no summary memory until it fills.
void ResizeBlocks(TSeriesBlocks& B, size_t Count, bool WithX) {
  B.MinX.resize(WithX ? Count : 0);
  B.MaxX.resize(WithX ? Count : 0);
  B.MinY.resize(Count);
  B.MaxY.resize(Count);
  B.MinYAt.resize(Count);
  B.MaxYAt.resize(Count);
  B.Flags.resize(Count);
}

void ResetBlock(TSeriesBlocks& B, size_t K, bool WithX) {
  if (K >= B.Flags.size()) ResizeBlocks(B, K + 1, WithX);
  constexpr double Inf = std::numeric_limits<double>::infinity();
  if (WithX) {
    B.MinX[K] = Inf;
    B.MaxX[K] = -Inf;
  }
  B.MinY[K] = Inf;
  B.MaxY[K] = -Inf;
  B.MinYAt[K] = B.MaxYAt[K] = 0;
  B.Flags[K] = TSeriesBlocks::FlagAllFinite;
}

std::string PointError(uint64_t I, uint64_t Count) {
  return "Series point " + std::to_string(I) + " is not held: the series holds " +
         std::to_string(Count) + (Count == 1 ? " point" : " points");
}

}  // namespace

TSeries::TSeries(std::string Name) : TPlottable(std::move(Name)) {}

TSeries::TSeries(const TSeries& Other)
    : TPlottable(Other),
      FColor(Other.FColor),
      FFillColor(Other.FFillColor),
      FPenStyle(Other.FPenStyle),
      FLineWidth(Other.FLineWidth),
      FLineVisible(Other.FLineVisible),
      FSymbol(Other.FSymbol),
      FShape(Other.FShape),
      FBaseline(Other.FBaseline),
      FBarWidth(Other.FBarWidth),
      FBarOffset(Other.FBarOffset),
      FAreaColor(Other.FAreaColor),
      FAreaOpacity(Other.FAreaOpacity),
      FAreaFill(Other.FAreaFill),
      FAreaPartner(Other.FAreaPartner),
      FStackedOn(Other.FStackedOn),
      FSpaced(Other.FSpaced),
      FX0(Other.FX0),
      FDX(Other.FDX),
      FSpacedFinite(Other.FSpacedFinite),
      FCapacity(Other.FCapacity) {
  // The points held, in a fresh ring; the numbering of evenly spaced points
  // and the order go on from where the other series is.
  const uint64_t slots = SlotsFor(Other.FCount, FCapacity);
  FYs = Grow(FYBuffer, slots);
  if (!FSpaced) FXs = Grow(FXBuffer, slots);
  FSlots = slots;
  for (uint64_t i = 0; i < Other.FCount; ++i) {
    FYs[i] = Other.YAt(i);
    if (!FSpaced) FXs[i] = Other.FXs[Other.Slot(i)];
  }
  FCount = Other.FCount;
  FDropped = Other.FDropped;
  FBreakEver = Other.FBreakEver;
  FLastX = Other.FLastX;
  FHasLastX = Other.FHasLastX;
  FRunStarts = Other.FRunStarts;
  FRunsKnownFrom = Other.FRunsKnownFrom;
  SummariseSlots(0, FCount);
}

TSeries::~TSeries() = default;

// --- storage ---

void TSeries::Relayout(uint64_t Slots, uint64_t Keep) {
  // The newest Keep points, moved to slots 0 .. Keep - 1 of a ring of Slots.
  const uint64_t from = FCount - Keep;
  TPageBuffer yBuffer, xBuffer;
  double* ys = Grow(yBuffer, Slots);
  double* xs = FSpaced ? nullptr : Grow(xBuffer, Slots);
  for (uint64_t i = 0; i < Keep; ++i) {
    ys[i] = FYs[Slot(from + i)];
    if (xs) xs[i] = FXs[Slot(from + i)];
  }
  FYBuffer.Swap(yBuffer);
  FXBuffer.Swap(xBuffer);
  FYs = ys;
  FXs = xs;
  FSlots = Slots;
  FFirst = 0;
  FDropped += from;
  FCount = Keep;
  for (auto& b : FBlocks) ResizeBlocks(b, 0, !FSpaced);
  FGroupAt.clear();
  FGroupFinite.clear();
  SummariseSlots(0, Keep);
}

void TSeries::Reserve(uint64_t Total) {
  if (Total <= FSlots) return;
  const uint64_t slots = SlotsFor(Total, FCapacity);
  if (slots <= FSlots) return;  // a full bounded ring: the newest overwrite the oldest
  if (FCount == 0) FFirst = 0;  // nothing held: the ring starts afresh
  FYs = Grow(FYBuffer, slots);
  if (!FSpaced) FXs = Grow(FXBuffer, slots);
  FSlots = slots;
}

void TSeries::Drop(uint64_t Points) {
  FFirst = Slot(Points);
  FCount -= Points;
  FDropped += Points;
  while (!FRunStarts.empty() && FRunStarts.front() <= FDropped) FRunStarts.pop_front();
}

void TSeries::AddRunStart(uint64_t Ever) {
  if (!FRunStarts.empty() && FRunStarts.back() >= Ever) return;
  if (FRunStarts.size() == MaxRuns) {  // x in no order: forget the runs held
    FRunStarts.clear();
    FRunsKnownFrom = Ever;
  }
  FRunStarts.push_back(Ever);
}

void TSeries::SetCapacity(uint64_t Value) {
  if (Value == FCapacity) return;
  const uint64_t keep = Value == 0 ? FCount : std::min(FCount, Value);
  Relayout(SlotsFor(keep, Value), keep);  // allocates first: a refusal changes nothing
  FCapacity = Value;
  Touch();
}

void TSeries::Clear() {
  FCount = 0;
  FFirst = 0;
  FDropped = 0;
  FBreakEver = 0;
  FHasLastX = false;
  FRunStarts.clear();
  FRunsKnownFrom = 0;
  Touch();
}

void TSeries::SetXSpacing(double X0, double DX) {
  if (FCount != 0)
    throw EVexaKelvoError("The spacing of a series can only be set while it holds no points");
  if (!std::isfinite(X0) || !std::isfinite(DX))
    throw EVexaKelvoError("The spacing of a series must be finite");
  if (!FSpaced) {
    FXBuffer.Release();
    FXs = nullptr;
    for (auto& b : FBlocks) ResizeBlocks(b, b.Flags.size(), false);
  }
  FSpaced = true;
  FX0 = X0;
  FDX = DX;
  FSpacedFinite = FiniteSpacedPoints(X0, DX);
  Touch();
}

void TSeries::Append(double X, double Y) { Append(&X, &Y, 1); }

void TSeries::Append(std::span<const double> X, std::span<const double> Y) {
  if (X.size() != Y.size())
    throw EVexaKelvoError("Series data of different lengths: " + std::to_string(X.size()) +
                          " x values and " + std::to_string(Y.size()) + " y values");
  Append(X.data(), Y.data(), X.size());
}

void TSeries::Append(double Y) { Append(&Y, 1); }

void TSeries::Append(const double* X, const double* Y, size_t Count) {
  if (FSpaced) throw EVexaKelvoError("The series is evenly spaced: append y values alone");
  Store(X, Y, Count);
}

void TSeries::Append(const double* Y, size_t Count) {
  if (!FSpaced && FCount != 0)
    throw EVexaKelvoError(
        "The series has an x column: append x and y values (or SetXSpacing first)");
  if (!FSpaced) SetXSpacing(0, 1);  // an empty series takes y alone at x = 0, 1, 2, ...
  Store(nullptr, Y, Count);
}

// Appends Count points (X nullptr: evenly spaced) in contiguous runs of slots.
void TSeries::Store(const double* X, const double* Y, size_t Count) {
  if (Count == 0) return;
  Touch();
  uint64_t n = Count;
  if (FCapacity != 0 && n > FCapacity) {
    // Only the newest Capacity of them are kept; the rest count as dropped,
    // and the order check starts afresh at the first kept point.
    const uint64_t skip = n - FCapacity;
    Drop(FCount);
    FDropped += skip;
    FHasLastX = false;
    FBreakEver = std::max(FBreakEver, FDropped);
    if (X) X += skip;
    Y += skip;
    n = FCapacity;
  }
  Reserve(FCount + n);
  while (n > 0) {
    const uint64_t slot = Slot(FCount);
    const uint64_t k = std::min<uint64_t>(n, FSlots - slot);
    std::memcpy(FYs + slot, Y, static_cast<size_t>(k) * sizeof(double));
    if (X) std::memcpy(FXs + slot, X, static_cast<size_t>(k) * sizeof(double));
    Written(slot, k, X);
    if (X) X += k;
    Y += k;
    n -= k;
  }
}

// Points were written to slots FirstSlot .. FirstSlot + Points - 1, after the
// last point held: the oldest go where the ring is full, the order is
// checked, and the block summaries follow.
void TSeries::Written(uint64_t FirstSlot, uint64_t Points, const double* X) {
  FCount += Points;
  if (FCapacity != 0 && FCount > FCapacity) Drop(FCount - FCapacity);
  if (X) {
    const uint64_t firstEver = FDropped + FCount - Points;
    for (uint64_t k = 0; k < Points; ++k) {
      const double x = X[k];
      if (!std::isfinite(x)) [[unlikely]] {
        FBreakEver = firstEver + k + 1;
        AddRunStart(firstEver + k);  // a run of its own
        AddRunStart(firstEver + k + 1);
        continue;
      }
      if (FHasLastX && x < FLastX) [[unlikely]] {
        FBreakEver = firstEver + k;
        AddRunStart(firstEver + k);
      }
      FLastX = x;
      FHasLastX = true;
    }
  }
  SummariseSlots(FirstSlot, Points);
}

bool TSeries::Sorted() const {
  if (FSpaced) return FDX > 0 && FDropped + FCount <= FSpacedFinite;
  return FBreakEver <= FDropped;
}

// --- block summaries ---

void TSeries::SummariseSlots(uint64_t FirstSlot, uint64_t Points) {
  // An evenly spaced x is finite in the slots before this one (the points
  // written are the newest held).
  uint64_t xFiniteEnd = FirstSlot + Points;
  if (FSpaced) {
    const uint64_t firstEver = FDropped + FCount - Points;
    xFiniteEnd =
        FirstSlot + (FSpacedFinite > firstEver ? std::min(Points, FSpacedFinite - firstEver) : 0);
  }
  SummariseGroups(FirstSlot, Points, xFiniteEnd);
  SummariseBlocks(FirstSlot, Points, xFiniteEnd);
}

// Groups of 16: where the lowest and highest y lie, and whether all are finite.
void TSeries::SummariseGroups(uint64_t FirstSlot, uint64_t Points, uint64_t XFiniteEnd) {
  const auto xFinite = [&](uint64_t t) { return FSpaced ? t < XFiniteEnd : std::isfinite(FXs[t]); };
  const uint64_t end = FirstSlot + Points;
  const size_t groups = static_cast<size_t>((end + 15) >> GroupShift);
  if (FGroupAt.size() < groups) {
    FGroupAt.resize(groups);
    FGroupFinite.resize((groups + 63) / 64);
  }
  for (uint64_t t = FirstSlot; t < end; ++t) {
    const uint64_t g = t >> GroupShift;
    const auto at = static_cast<uint32_t>(t & 15);
    if (at == 0 && t + 16 <= end) {  // a whole group at once
      bool finite = true;
      uint32_t low = 0, high = 0;
      for (uint32_t k = 0; k < 16; ++k) {
        const double y = FYs[t + k];
        finite &= std::isfinite(y) && xFinite(t + k);
        low = y < FYs[t + low] ? k : low;
        high = y > FYs[t + high] ? k : high;
      }
      FGroupAt[g] = static_cast<uint8_t>(low | (high << 4));
      uint64_t& bits = FGroupFinite[g >> 6];
      const uint64_t bit = uint64_t{1} << (g & 63);
      bits = finite ? bits | bit : bits & ~bit;
      t += 15;
      continue;
    }
    const double y = FYs[t];
    const bool finite = std::isfinite(y) && xFinite(t);
    uint64_t& bits = FGroupFinite[g >> 6];
    const uint64_t bit = uint64_t{1} << (g & 63);
    if (at == 0) {
      FGroupAt[g] = 0;
      bits = finite ? bits | bit : bits & ~bit;
      continue;
    }
    if (!finite) {
      bits &= ~bit;
      continue;
    }
    if (!(bits & bit)) continue;  // the group is drawn point by point anyway
    const uint64_t base = t - at;
    const uint32_t lowAt = FGroupAt[g] & 15, highAt = FGroupAt[g] >> 4;
    uint32_t low = lowAt, high = highAt;
    if (y < FYs[base + lowAt]) low = at;
    if (y > FYs[base + highAt]) high = at;
    FGroupAt[g] = static_cast<uint8_t>(low | (high << 4));
  }
}

// The first level's blocks, completed blocks merged into the levels above.
void TSeries::SummariseBlocks(uint64_t FirstSlot, uint64_t Points, uint64_t XFiniteEnd) {
  TSeriesBlocks& b = FBlocks[0];
  const bool withX = !FSpaced;
  uint64_t s = FirstSlot;
  const uint64_t end = FirstSlot + Points;
  while (s < end) {
    const size_t k = static_cast<size_t>(s >> Shift[0]);
    const uint64_t blockStart = uint64_t{k} << Shift[0];
    if (s == blockStart) ResetBlock(b, k, withX);
    const uint64_t stop = std::min(end, blockStart + Base);
    double minX = withX ? b.MinX[k] : 0, maxX = withX ? b.MaxX[k] : 0;
    double minY = b.MinY[k], maxY = b.MaxY[k];
    uint32_t minAt = b.MinYAt[k], maxAt = b.MaxYAt[k];
    uint8_t flags = b.Flags[k];
    for (uint64_t t = s; t < stop; ++t) {
      const double y = FYs[t];
      const double x = withX ? FXs[t] : 0;
      if (!(std::isfinite(y) && (withX ? std::isfinite(x) : t < XFiniteEnd))) [[unlikely]] {
        flags &= static_cast<uint8_t>(~TSeriesBlocks::FlagAllFinite);
        continue;
      }
      flags |= TSeriesBlocks::FlagAnyFinite;
      const auto at = static_cast<uint32_t>(t - blockStart);
      if (y < minY) minY = y, minAt = at;
      if (y > maxY) maxY = y, maxAt = at;
      if (withX) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
      }
    }
    if (withX) b.MinX[k] = minX, b.MaxX[k] = maxX;
    b.MinY[k] = minY, b.MaxY[k] = maxY;
    b.MinYAt[k] = minAt, b.MaxYAt[k] = maxAt;
    b.Flags[k] = flags;
    if (stop == blockStart + Base || stop == FSlots) CompleteBlock(0, k);
    s = stop;
  }
}

// Block K of Level is complete: merged into its block of the next level.
void TSeries::CompleteBlock(int Level, uint64_t K) {
  if (Level + 1 >= Levels) return;
  const int up = Level + 1;
  const TSeriesBlocks& b = FBlocks[static_cast<size_t>(Level)];
  TSeriesBlocks& u = FBlocks[static_cast<size_t>(up)];
  const uint64_t ratio = uint64_t{1} << (Shift[up] - Shift[Level]);
  const size_t k = static_cast<size_t>(K), p = static_cast<size_t>(K / ratio);
  const auto offset = static_cast<uint32_t>((K % ratio) << Shift[Level]);
  if (K % ratio == 0) ResetBlock(u, p, !FSpaced);
  if (!FSpaced) {
    u.MinX[p] = std::min(u.MinX[p], b.MinX[k]);
    u.MaxX[p] = std::max(u.MaxX[p], b.MaxX[k]);
  }
  if (b.MinY[k] < u.MinY[p]) u.MinY[p] = b.MinY[k], u.MinYAt[p] = offset + b.MinYAt[k];
  if (b.MaxY[k] > u.MaxY[p]) u.MaxY[p] = b.MaxY[k], u.MaxYAt[p] = offset + b.MaxYAt[k];
  u.Flags[p] =
      static_cast<uint8_t>((u.Flags[p] & b.Flags[k]) | (b.Flags[k] & TSeriesBlocks::FlagAnyFinite));
  const uint64_t lastSlot = ((K + 1) << Shift[Level]) - 1;
  if ((K + 1) % ratio == 0 || lastSlot + 1 >= FSlots) CompleteBlock(up, p);
}

// Calls Visit(Level, Block, FirstPoint, Points) for whole blocks and
// Visit(-1, 0, Point, 1) for single points, covering points From .. To - 1
// with the fewest.
template <class F>
void TSeries::ForEachCoveringBlock(uint64_t From, uint64_t To, F&& Visit) const {
  uint64_t i = From;
  while (i < To) {
    int level = Levels - 1;
    uint64_t len = 0;
    for (; level >= 0; --level)
      if ((len = WholeBlockAt(level, i)) != 0 && i + len <= To) break;
    if (level < 0) {
      Visit(-1, uint64_t{0}, i, uint64_t{1});
      ++i;
      continue;
    }
    Visit(level, Slot(i) >> Shift[level], i, len);
    i += len;
  }
}

bool TSeries::Bounds(double& MinX, double& MaxX, double& MinY, double& MaxY) const {
  constexpr double Inf = std::numeric_limits<double>::infinity();
  double x0 = Inf, x1 = -Inf, y0 = Inf, y1 = -Inf;
  uint64_t firstValid = FCount, lastValid = 0;
  bool any = false;
  ForEachCoveringBlock(0, FCount, [&](int Level, uint64_t Block, uint64_t First, uint64_t Points) {
    if (Level < 0) {
      const double x = XAt(First), y = YAt(First);
      if (!(std::isfinite(x) && std::isfinite(y))) return;
      any = true;
      x0 = std::min(x0, x), x1 = std::max(x1, x);
      y0 = std::min(y0, y), y1 = std::max(y1, y);
      firstValid = std::min(firstValid, First);
      lastValid = std::max(lastValid, First);
      return;
    }
    const TSeriesBlocks& b = FBlocks[static_cast<size_t>(Level)];
    const auto k = static_cast<size_t>(Block);
    if (!(b.Flags[k] & TSeriesBlocks::FlagAnyFinite)) return;
    any = true;
    y0 = std::min(y0, b.MinY[k]), y1 = std::max(y1, b.MaxY[k]);
    if (!FSpaced) {
      x0 = std::min(x0, b.MinX[k]), x1 = std::max(x1, b.MaxX[k]);
    } else {
      // x follows the index: the block's first and last finite points bound it.
      const auto valid = [this](uint64_t i) {
        return std::isfinite(YAt(i)) && std::isfinite(XAt(i));
      };
      for (uint64_t i = First; i < First + Points; ++i)
        if (valid(i)) {
          firstValid = std::min(firstValid, i);
          break;
        }
      for (uint64_t i = First + Points; i-- > First;)
        if (valid(i)) {
          lastValid = std::max(lastValid, i);
          break;
        }
    }
  });
  if (!any) return false;
  if (FSpaced) {
    const double a = XAt(firstValid), c = XAt(lastValid);
    x0 = std::min(a, c), x1 = std::max(a, c);
  }
  MinX = x0, MaxX = x1, MinY = y0, MaxY = y1;
  return true;
}

uint64_t TSeries::LowerBoundX(double X, uint64_t From, uint64_t To) const {
  return FirstWhere(From, To, [&](uint64_t I) { return !(XAt(I) < X); });
}

double TSeries::X(uint64_t I) const {
  if (I >= FCount) throw EVexaKelvoError(PointError(I, FCount));
  return XAt(I);
}

double TSeries::Y(uint64_t I) const {
  if (I >= FCount) throw EVexaKelvoError(PointError(I, FCount));
  return YAt(I);
}

}  // namespace vexa
