// Rendering the display list at 1000 x 800, against QPainter on a QImage
// (RGB32, antialiasing off) drawing the same shapes at the same pixels.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#ifdef KELVO_BENCH_QT_SVG
#include <QBuffer>
#include <QSvgGenerator>
#endif
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BenchMain.h"
#include "DemoChart.h"
#include "QtBenchMain.h"
#include "demo/DemoForm.h"
#include "demo/DemoLogic.h"
#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

constexpr int W = 1000, H = 800;

using kelvo::bench::TRng;

// A chart whose data area is about 1000 x 800 pixels, world units = pixels.
std::unique_ptr<TKelvo> BigChart() {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, W + 70, H + 60);
  c->Scale1X().SetRangeHigh(W);
  c->Scale1Y().SetRangeHigh(H);
  c->CreateWnd();
  return c;
}

QImage NewImage() {
  QImage img(W, H, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

template <class Fill>
void RenderList(benchmark::State& st, Fill fill) {
  auto c = BigChart();
  fill(*c);
  for (auto _ : st) c->RenderDisplayList(c->DataBitmap());
}

std::vector<QPointF> Walk(int n) {
  TRng rng;
  rng.S = 4242;
  std::vector<QPointF> pts(n);
  double x = W / 2.0, y = H / 2.0;
  for (auto& p : pts) {
    x = std::fmin(std::fmax(x + rng.NextReal(20) - 10, 0), W - 1);
    y = std::fmin(std::fmax(y + rng.NextReal(20) - 10, 0), H - 1);
    p = {x, y};
  }
  return pts;
}

std::vector<QPointF> Spots(int n) {
  TRng rng;
  rng.S = 99;
  std::vector<QPointF> pts(n);
  for (auto& p : pts) p = {10 + rng.NextReal(W - 40), 10 + rng.NextReal(H - 40)};
  return pts;
}

void DrawTo1M_kelvo(benchmark::State& st) {
  const auto pts = Walk(1000000);
  RenderList(st, [&](TKelvo& c) {
    c.MoveTo(pts[0].x(), pts[0].y());
    for (const auto& p : pts) c.DrawTo(p.x(), p.y());
  });
}
void DrawTo1M_qpainter(benchmark::State& st) {
  const auto pts = Walk(1000000);
  QImage img = NewImage();
  QPolygon poly(200);
  for (auto _ : st) {
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 0));
    // The same mapping and 200-point runs the chart makes.
    for (size_t i = 0; i < pts.size(); i += 199) {
      int n = 0;
      for (size_t k = i; k < pts.size() && n < 200; ++k, ++n)
        poly[n] = QPoint(int(std::lrint(pts[k].x())), int(std::lrint(H - pts[k].y())));
      p.drawPolyline(poly.constData(), n);
    }
  }
}

void Marks100k_kelvo(benchmark::State& st) {
  const auto pts = Spots(100000);
  RenderList(st, [&](TKelvo& c) {
    for (const auto& p : pts) c.MarkAt(p.x(), p.y(), 8);  // filled 5 x 5 square
  });
}
void Marks100k_qpainter(benchmark::State& st) {
  const auto pts = Spots(100000);
  QImage img = NewImage();
  for (auto _ : st) {
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::black);
    for (const auto& s : pts)
      p.drawRect(int(std::lrint(s.x())) - 2, int(std::lrint(H - s.y())) - 2, 4, 4);
  }
}

// The hand-written floor: the same item records read, each point mapped by
// the layer's factors and its 5 x 5 square written straight into the rows.
void Marks100k_floor(benchmark::State& st) {
  const auto pts = Spots(100000);
  auto c = BigChart();
  for (const auto& p : pts) c->MarkAt(p.x(), p.y(), 8);
  TBitmap& b = c->DataBitmap();
  const int32_t bw = b.Width(), bh = b.Height(), ml = c->MarginLeft(), mt = c->MarginTop();
  for (auto _ : st) {
    for (const TDrawItem& it : c->ItemList()) {
      int32_t px, py;
      c->Mapping(it.Layer).Map(it.X1, it.Y1, px, py);
      const int32_t x = px - ml - 2, y = py - mt - 2;
      if (x < 0 || y < 0 || x + 5 > bw || y + 5 > bh) continue;
      for (int r = 0; r < 5; ++r) {
        uint32_t* p = b.ScanLine(y + r) + x;
        p[0] = p[1] = p[2] = p[3] = p[4] = 0xFF000000u;
      }
    }
    benchmark::DoNotOptimize(b.Bits());
  }
}

void Rects100k_kelvo(benchmark::State& st) {
  const auto pts = Spots(100000);
  RenderList(st, [&](TKelvo& c) {
    c.SetFillColor(clYellow);
    for (const auto& p : pts) c.Rectangle(p.x(), p.y(), p.x() + 9, p.y() + 7);
  });
}
void Rects100k_qpainter(benchmark::State& st) {
  const auto pts = Spots(100000);
  QImage img = NewImage();
  for (auto _ : st) {
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::yellow);
    for (const auto& s : pts)
      p.drawRect(int(std::lrint(s.x())), int(std::lrint(H - s.y() - 7)), 9, 7);
  }
}

void Bars10k_kelvo(benchmark::State& st) {
  const auto pts = Spots(10000);
  RenderList(st, [&](TKelvo& c) {
    c.SetFillColor(clLime);
    for (const auto& p : pts) c.Bar3D(8, 45, p.x(), p.y(), p.x() + 12, p.y() + 20);
  });
}
void Bars10k_qpainter(benchmark::State& st) {
  const auto pts = Spots(10000);
  QImage img = NewImage();
  for (auto _ : st) {
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::green);
    for (const auto& s : pts) {
      const int x1 = int(std::lrint(s.x())), x2 = x1 + 12, y1 = int(std::lrint(H - s.y() - 20)),
                y2 = y1 + 20;
      const QPoint top[] = {{x1, y1}, {x1 + 6, y1 - 6}, {x2 + 6, y1 - 6}, {x2, y1}};
      const QPoint side[] = {{x2 + 6, y1 - 6}, {x2, y1}, {x2, y2}, {x2 + 6, y2 - 6}};
      p.drawPolygon(top, 4);
      p.drawPolygon(side, 4);
      p.drawRect(x1, y1, x2 - x1, y2 - y1);
    }
  }
}

void Text10k_kelvo(benchmark::State& st) {
  const auto pts = Spots(10000);
  RenderList(st, [&](TKelvo& c) {
    for (const auto& p : pts) c.Text(p.x(), p.y(), "1975", 8);
  });
}
void Text10k_qpainter(benchmark::State& st) {
  const auto pts = Spots(10000);
  QImage img = NewImage();
  QFont font("Liberation Sans");
  font.setPixelSize(11);
  for (auto _ : st) {
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::black);
    for (const auto& s : pts)
      p.drawText(int(std::lrint(s.x())), int(std::lrint(H - s.y())) + 4, QStringLiteral("1975"));
  }
}

// --- the demo chart: the full frame and the data-area refresh ---

// QPainter drawing the same picture: window colour, caption, two axes with
// their ticks and labels, the data area with its dotted grid, the eleven 3D
// bars and the frame, composed in an off-screen image and copied once.
struct TDemoTwin {
  QImage Frame{449, 345, QImage::Format_RGB32};
  QImage Data{390, 296, QImage::Format_RGB32};
  QImage Window{449, 345, QImage::Format_RGB32};
  QFont Font{"Liberation Sans"};
  TDemoTwin() { Font.setPixelSize(13); }

  void PaintData(QPainter& p) {
    p.fillRect(Data.rect(), Qt::white);
    p.setPen(QPen(QColor(192, 192, 192), 0, Qt::DotLine));
    for (int i = 0; i < 12; ++i) p.drawLine(16 + i * 32, 0, 16 + i * 32, 295);
    for (int j = 0; j < 4; ++j) p.drawLine(0, 74 * j, 389, 74 * j);
    p.setPen(QPen(Qt::black, 0));
    for (int i = 0; i < 11; ++i) {
      const int x1 = 3 + i * 32, x2 = x1 + 26, y2 = 222,
                y1 = y2 - int(demo::NetExportValues[i] * 1.48);
      p.setBrush(QColor(0x80 * (i % 2), 0x40 * (i % 3), 0xFF - 0x20 * i));
      const QPoint top[] = {{x1, y1}, {x1 + 14, y1 - 14}, {x2 + 14, y1 - 14}, {x2, y1}};
      const QPoint side[] = {{x2 + 14, y1 - 14}, {x2, y1}, {x2, y2}, {x2 + 14, y2 - 14}};
      p.drawPolygon(top, 4);
      p.drawPolygon(side, 4);
      p.drawRect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1));
    }
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, 389, 295);
  }
  void PaintFrame(QPainter& p) {
    p.fillRect(Frame.rect(), QColor(240, 240, 240));
    p.setFont(Font);
    p.setPen(Qt::black);
    p.drawText(150, 16, QStringLiteral("Net exports"));
    p.drawLine(40, 315, 429, 315);
    p.drawLine(40, 20, 40, 315);
    for (int i = 0; i <= 48; ++i)
      p.drawLine(40 + i * 8, 315, 40 + i * 8, 311 - (i % 4 == 0 ? 3 : 0));
    for (int i = 0; i <= 20; ++i)
      p.drawLine(40, 20 + i * 15, 44 + (i % 5 == 0 ? 2 : 0), 20 + i * 15);
    for (int i = 0; i < 6; ++i) p.drawText(50 + i * 64, 305, QString::number(1970 + 2 * i));
    for (int j = 0; j < 5; ++j) p.drawText(10, 25 + j * 74, QString::number(150 - 50 * j));
  }
  void DataArea() {
    QPainter p(&Data);
    PaintData(p);
  }
  void Full() {
    {
      QPainter p(&Frame);
      PaintFrame(p);
    }
    DataArea();
    {
      QPainter p(&Frame);
      p.drawImage(40, 20, Data);
    }
    QPainter w(&Window);
    w.setCompositionMode(QPainter::CompositionMode_Source);
    w.drawImage(0, 0, Frame);
  }
#ifdef KELVO_BENCH_QT_SVG
  // The same picture as an SVG document in memory, the data area clipped.
  qint64 Svg() {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(Frame.size());
    svg.setViewBox(Frame.rect());
    QPainter p(&svg);
    PaintFrame(p);
    p.translate(40, 20);
    p.setClipRect(Data.rect());
    PaintData(p);
    p.end();
    return out.size();
  }
#endif
  void Refresh() {
    DataArea();
    QPainter w(&Window);
    w.setCompositionMode(QPainter::CompositionMode_Source);
    w.drawImage(40, 20, Data);
  }
};

void DemoPaint_kelvo(benchmark::State& st) {
  auto chart = kelvo::bench::DemoChartAtStart();
  for (auto _ : st) chart->Paint();
}
void DemoPaint_qpainter(benchmark::State& st) {
  TDemoTwin twin;
  for (auto _ : st) twin.Full();
}
void DemoRefresh_kelvo(benchmark::State& st) {
  auto chart = kelvo::bench::DemoChartAtStart();
  chart->Paint();
  for (auto _ : st) chart->ShowGraph();
}
void DemoRefresh_qpainter(benchmark::State& st) {
  TDemoTwin twin;
  twin.Full();
  for (auto _ : st) twin.Refresh();
}

#ifdef KELVO_BENCH_QT_SVG
// The demo chart as an SVG document in memory: the chart records its paint;
// the twin paints the same picture into Qt's SVG generator.
void DemoSvg_kelvo(benchmark::State& st) {
  auto chart = kelvo::bench::DemoChartAtStart();
  for (auto _ : st) benchmark::DoNotOptimize(chart->SvgDocument().size());
}
void DemoSvg_qpainter(benchmark::State& st) {
  TDemoTwin twin;
  for (auto _ : st) benchmark::DoNotOptimize(twin.Svg());
}
#endif

// The bare memory work of the demo chart's paints, for scale: filling the
// frame and data-area bitmaps and the copies the pipeline makes (data area
// into frame, frame onto the window; for the refresh, data area onto the
// window), as plain fills and memcpy of rows.
struct TBareDemo {
  int32_t W, H, DW, DH, Left, Top;
  std::vector<uint32_t> Frame, Data, Window;
  TBareDemo() {
    auto chart = kelvo::bench::DemoChartAtStart();
    W = chart->Width();
    H = chart->Height();
    DW = chart->DataBitmap().Width();
    DH = chart->DataBitmap().Height();
    Left = chart->MarginLeft();
    Top = chart->MarginTop();
    Frame.resize(size_t(W) * H);
    Window.resize(size_t(W) * H);
    Data.resize(size_t(DW) * DH);
  }
  void CopyData(std::vector<uint32_t>& target) {
    for (int32_t y = 0; y < DH; ++y)
      std::memcpy(&target[size_t(y + Top) * W + Left], &Data[size_t(y) * DW], size_t(DW) * 4);
  }
  void Full() {
    std::fill(Frame.begin(), Frame.end(), 0xFFF0F0F0u);
    std::fill(Data.begin(), Data.end(), 0xFFFFFFFFu);
    CopyData(Frame);
    std::memcpy(Window.data(), Frame.data(), Frame.size() * 4);
    benchmark::DoNotOptimize(Window.data());
  }
  void Refresh() {
    std::fill(Data.begin(), Data.end(), 0xFFFFFFFFu);
    CopyData(Window);
    benchmark::DoNotOptimize(Window.data());
  }
};

void DemoPaint_bare(benchmark::State& st) {
  TBareDemo bare;
  for (auto _ : st) bare.Full();
}
void DemoRefresh_bare(benchmark::State& st) {
  TBareDemo bare;
  for (auto _ : st) bare.Refresh();
}

}  // namespace

KELVO_PAIR_US(DemoPaint)
KELVO_PAIR_US(DemoRefresh)
#ifdef KELVO_BENCH_QT_SVG
KELVO_PAIR_US(DemoSvg)
#endif
BENCHMARK(DemoPaint_bare)->Name("DemoPaint/bare")->Unit(benchmark::kMicrosecond);
BENCHMARK(DemoRefresh_bare)->Name("DemoRefresh/bare")->Unit(benchmark::kMicrosecond);
KELVO_PAIR(DrawTo1M)
KELVO_PAIR(Marks100k)
BENCHMARK(Marks100k_floor)->Name("Marks100k/floor")->Unit(benchmark::kMillisecond);
KELVO_PAIR(Rects100k)
KELVO_PAIR(Bars10k)
KELVO_PAIR(Text10k)

int main(int argc, char** argv) { return kelvo::bench::RunWithOffscreenQt(argc, argv); }
