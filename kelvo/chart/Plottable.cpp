#include "kelvo/chart/Plottable.h"

#include <atomic>

#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

TPlottable::TPlottable(const TPlottable& Other)
    : FName(Other.FName),
      FLayer(Other.FLayer),
      FItemClass(Other.FItemClass),
      FVisible(Other.FVisible),
      FInLegend(Other.FInLegend),
      FChanges(Other.FChanges),
      FSerial(NextSerial()) {}

TPlottable::~TPlottable() = default;

uint64_t TPlottable::NextSerial() {
  static std::atomic<uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

bool TPlottable::Shown(const TCustomKelvo& Chart) const {
  return FVisible && Chart.ClassVisible(FItemClass) && Chart.LayerVisible(FLayer);
}

}  // namespace vexa
