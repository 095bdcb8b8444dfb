// KelvoWidget: a QWidget that owns a chart, for Qt applications and Qt
// Designer (promote a QWidget to "vexa::qt::KelvoWidget", header
// "kelvo/qt/KelvoWidget.h"). It is the Qt host of its own TKelvo:
// layouts size it, the mouse, wheel, keyboard and focus reach the chart, and
// the chart's pixels are shown 1:1 (crisp on high-density screens).
#pragma once

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/qt/QtHost.h"

namespace vexa::qt {

namespace detail {
// The chart comes first, so that it exists before the host that shows it.
struct TOwnedChart {
  TKelvo OwnedChart;
};
}  // namespace detail

class KelvoWidget : private detail::TOwnedChart, public TQtControlHost {
 public:
  explicit KelvoWidget(QWidget* Parent = nullptr);
  ~KelvoWidget() override;

  TKelvo& Chart() { return OwnedChart; }
  const TKelvo& Chart() const { return OwnedChart; }

  // The chart's size at creation, 280 x 200; at least its margins and
  // shadow with a small data area.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
};

}  // namespace vexa::qt
