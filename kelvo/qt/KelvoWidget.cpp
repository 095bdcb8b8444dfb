#include "kelvo/qt/KelvoWidget.h"

namespace vexa::qt {

KelvoWidget::KelvoWidget(QWidget* Parent) : TQtControlHost(OwnedChart, Parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

KelvoWidget::~KelvoWidget() { OwnedChart.SetHost(nullptr); }

QSize KelvoWidget::sizeHint() const { return {280, 200}; }

QSize KelvoWidget::minimumSizeHint() const {
  const TKelvo& c = OwnedChart;
  return {c.MarginLeft() + c.MarginRight() + c.ShadowWidth() + 80,
          c.MarginTop() + c.MarginBottom() + c.ShadowWidth() + 20};
}

}  // namespace vexa::qt
