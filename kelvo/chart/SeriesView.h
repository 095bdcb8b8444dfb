// TSeriesView: what a series' drawing and nearest-point search read of it
// beyond its data and attributes: points without the range check, the
// ring's slots and the block summaries. Declared beside the series'
// plottable code (SeriesPlottable.cpp), which is its only user; a series'
// users see its data and attributes only (Series.h).
#pragma once

#include <vector>

#include "kelvo/chart/Series.h"

namespace vexa {

struct TLayerMapping;

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

// Points From to To of a series, drawn in turn; a Break is one point whose
// x is not finite, where the line ends.
struct TPointRange {
  uint64_t From, To;
  bool Break;
};

// The points of each sorted run of a series that a solid line in view
// needs: those in view and one on either side, the view (Width device
// pixels from the bitmap's Left, Top) widened by Reach device pixels, and
// where runs meet each run's first and last point. The points left out lie
// wholly beside the bitmap, on one side of it, and so does every piece
// drawn between two of them (a segment, a step). False when the runs are
// not known (SeriesPlottable.cpp).
bool RangesInView(TSeriesView Series, const TLayerMapping& Mapping, int32_t Left, int32_t Top,
                  int32_t Width, int32_t Reach, std::vector<TPointRange>& Out);

}  // namespace vexa
