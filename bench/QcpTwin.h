// QCustomPlot's own drawing path, as a shown widget takes it: a replot into
// its paint buffers at the device ratio, then the widget's paint copying
// them into the frame. The twins of the benchmarks draw this way, the
// fastest path a user of that widget has.
#pragma once

#include <qcustomplot.h>

#include <QImage>
#include <cmath>

namespace kelvo::bench {

class TQcpFrame {
 public:
  // Plot is sized to W x H logical pixels; a widget not shown gets no
  // resize event, so its viewport is set here.
  TQcpFrame(QCustomPlot& Plot, int W, int H, double Ratio = 1.0)
      : FFrame(int(std::ceil(W * Ratio)), int(std::ceil(H * Ratio)), QImage::Format_RGB32) {
    Plot.resize(W, H);
    Plot.setViewport(QRect(0, 0, W, H));
    FFrame.setDevicePixelRatio(Ratio);
    Plot.setBufferDevicePixelRatio(Ratio);
  }
  void Draw(QCustomPlot& Plot) {
    Plot.replot(QCustomPlot::rpImmediateRefresh);
    // The widget paints its buffers over the frame, as into its backing
    // store (no window background: QCustomPlot fills its own).
    Plot.render(&FFrame, QPoint(), QRegion(), QWidget::RenderFlags());
  }
  const QImage& Frame() const { return FFrame; }

 private:
  QImage FFrame;
};

}  // namespace kelvo::bench
