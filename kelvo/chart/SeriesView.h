// TSeriesView: what a series' drawing and nearest-point search read of it
// beyond its data and attributes: points without the range check, the
// ring's slots and the block summaries. Declared beside the series'
// plottable code (SeriesPlottable.cpp), which is its only user; a series'
// users see its data and attributes only (Series.h).
#pragma once

#include "kelvo/chart/Series.h"

namespace vexa {

class TSeriesView {
 public:
  explicit TSeriesView(const TSeries& Series) : S(Series) {}

  uint64_t Count() const { return S.Count(); }
  bool Spaced() const { return S.Spaced(); }
  // Point i (callers keep i below Count()).
  double XAt(uint64_t I) const { return S.XAt(I); }
  double YAt(uint64_t I) const { return S.YAt(I); }
  // The slot of point i in the ring, the slot after a slot, the slots held.
  uint64_t Slot(uint64_t I) const { return S.Slot(I); }
  uint64_t NextSlot(uint64_t Slot) const { return S.NextSlot(Slot); }
  uint64_t SlotCount() const { return S.SlotCount(); }
  // Point i's coordinates when Slot is its slot.
  double XInSlot(uint64_t I, uint64_t Slot) const { return S.XInSlot(I, Slot); }
  double YInSlot(uint64_t Slot) const { return S.YInSlot(Slot); }
  // The points of the whole block of Level starting at point i (0: none).
  uint64_t WholeBlockAt(int Level, uint64_t I) const { return S.WholeBlockAt(Level, I); }
  // Where the lowest and highest y of the group of 16 starting at point i
  // lie, when the group is whole and finite.
  bool WholeGroupAt(uint64_t I, uint32_t& LowAt, uint32_t& HighAt) const {
    return S.WholeGroupAt(I, LowAt, HighAt);
  }
  bool StartsBlock(uint64_t I) const { return S.StartsBlock(I); }
  const TSeriesBlocks& Blocks(int Level) const { return S.Blocks(Level); }
  // The sorted runs of the points, as index ranges [From, To); false when
  // they are not known (Series.h).
  template <class F>
  bool ForEachRun(F&& Visit) const {
    return S.ForEachRun(static_cast<F&&>(Visit));
  }
  uint64_t LowerBoundX(double X, uint64_t From, uint64_t To) const {
    return S.LowerBoundX(X, From, To);
  }
  // The first index in [Lo, Hi) for which Test holds, Test being false and
  // then true along the indexes (a binary search); Hi when it never holds.
  template <class F>
  static uint64_t FirstWhere(uint64_t Lo, uint64_t Hi, F&& Test) {
    return TSeries::FirstWhere(Lo, Hi, static_cast<F&&>(Test));
  }

 private:
  const TSeries& S;
};

}  // namespace vexa
