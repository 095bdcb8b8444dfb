#include "kelvo/chart/Plottable.h"

#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

TPlottable::~TPlottable() = default;

bool TPlottable::Shown(const TCustomKelvo& Chart) const {
  return FVisible && Chart.ClassVisible(FItemClass) && Chart.LayerVisible(FLayer);
}

}  // namespace vexa
