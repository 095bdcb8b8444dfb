// The drawing surface against memcpy/std::fill and against QPainter on a
// QImage (RGB32, antialiasing off), workload by workload, at 1000 x 800.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BenchMain.h"
#include "QtBenchMain.h"
#include "kelvo/platform/Bitmap.h"

using namespace vexa;

namespace {

constexpr int W = 1000, H = 800;

using kelvo::bench::TRng;

std::vector<TPoint> Walk(int count) {
  // Short segments (up to 10 pixels) wandering over the whole surface.
  TRng rng;
  std::vector<TPoint> pts(count);
  int x = W / 2, y = H / 2;
  for (auto& p : pts) {
    x = std::clamp(x + rng.Next(21) - 10, 0, W - 1);
    y = std::clamp(y + rng.Next(21) - 10, 0, H - 1);
    p = {x, y};
  }
  return pts;
}

std::vector<TPoint> Spots(int count) {
  TRng rng;
  rng.S = 777;
  std::vector<TPoint> pts(count);
  for (auto& p : pts) p = {rng.Next(W - 12), rng.Next(H - 12)};
  return pts;
}

QImage NewImage() {
  QImage img(W, H, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

// --- full-surface copy and fill ---

void Draw_kelvo(benchmark::State& st) {
  TBitmap src(W, H), dst(W, H);
  src.Canvas().Brush().SetColor(clRed);
  src.Canvas().FillRect(Rect(0, 0, W, H));
  for (auto _ : st) {
    dst.Canvas().Draw(0, 0, src);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
void Draw_baseline(benchmark::State& st) {
  std::vector<uint32_t> src(W * H, 0xFFFF0000u), dst(W * H);
  for (auto _ : st) {
    std::memcpy(dst.data(), src.data(), src.size() * 4);
    benchmark::DoNotOptimize(dst.data());
  }
}
void Draw_qpainter(benchmark::State& st) {
  QImage src = NewImage(), dst = NewImage();
  for (auto _ : st) {
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, src);
  }
}

void FullFill_kelvo(benchmark::State& st) {
  TBitmap b(W, H);
  TCanvas& c = b.Canvas();
  c.Pen().SetColor(clNavy);
  c.Brush().SetColor(clNavy);
  for (auto _ : st) {
    c.Rectangle(0, 0, W, H);
    benchmark::DoNotOptimize(b.Bits());
  }
}
void FullFill_baseline(benchmark::State& st) {
  std::vector<uint32_t> px(W * H);
  for (auto _ : st) {
    std::fill(px.begin(), px.end(), 0xFF000080u);
    benchmark::DoNotOptimize(px.data());
  }
}
void FullFill_qpainter(benchmark::State& st) {
  QImage img = NewImage();
  for (auto _ : st) {
    QPainter p(&img);
    p.fillRect(0, 0, W, H, QColor(0, 0, 128));
  }
}

// --- 1,000,000 short line segments as one path ---

void Lines1M_kelvo(benchmark::State& st) {
  const auto pts = Walk(1000000);
  TBitmap b(W, H);
  for (auto _ : st) {
    b.Canvas().Polyline(pts);
    benchmark::DoNotOptimize(b.Bits());
  }
}
void Lines1M_qpainter(benchmark::State& st) {
  const auto pts = Walk(1000000);
  QPolygon poly(static_cast<int>(pts.size()));
  for (size_t i = 0; i < pts.size(); ++i) poly[static_cast<int>(i)] = QPoint(pts[i].X, pts[i].Y);
  QImage img = NewImage();
  for (auto _ : st) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 0));
    p.drawPolyline(poly);
  }
}

// 1,000,000 separate MoveTo/LineTo segments of up to 10 pixels.
void Segments1M_kelvo(benchmark::State& st) {
  const auto pts = Walk(1000001);
  TBitmap b(W, H);
  TCanvas& c = b.Canvas();
  for (auto _ : st) {
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
      c.MoveTo(pts[i].X, pts[i].Y);
      c.LineTo(pts[i + 1].X, pts[i + 1].Y);
    }
    benchmark::DoNotOptimize(b.Bits());
  }
}
void Segments1M_qpainter(benchmark::State& st) {
  const auto pts = Walk(1000001);
  QImage img = NewImage();
  for (auto _ : st) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 0));
    for (size_t i = 0; i + 1 < pts.size(); ++i)
      p.drawLine(pts[i].X, pts[i].Y, pts[i + 1].X, pts[i + 1].Y);
  }
}

// --- 100,000 small outlined, filled rectangles (10 x 8) ---

void Rects100k_kelvo(benchmark::State& st) {
  const auto spots = Spots(100000);
  TBitmap b(W, H);
  TCanvas& c = b.Canvas();
  c.Pen().SetColor(clBlack);
  c.Brush().SetColor(clYellow);
  for (auto _ : st) {
    for (const TPoint& p : spots) c.Rectangle(p.X, p.Y, p.X + 10, p.Y + 8);
    benchmark::DoNotOptimize(b.Bits());
  }
}
void Rects100k_qpainter(benchmark::State& st) {
  const auto spots = Spots(100000);
  QImage img = NewImage();
  for (auto _ : st) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::yellow);
    for (const TPoint& s : spots) p.drawRect(s.X, s.Y, 9, 7);  // covers 10 x 8 with the outline
  }
}

// --- 100,000 small outlined, filled polygons (diamonds of 9 x 9) ---

void Polygons100k_kelvo(benchmark::State& st) {
  const auto spots = Spots(100000);
  TBitmap b(W, H);
  TCanvas& c = b.Canvas();
  c.Pen().SetColor(clBlack);
  c.Brush().SetColor(clAqua);
  for (auto _ : st) {
    for (const TPoint& s : spots) {
      const TPoint d[] = {{s.X + 4, s.Y}, {s.X + 8, s.Y + 4}, {s.X + 4, s.Y + 8}, {s.X, s.Y + 4}};
      c.Polygon(d);
    }
    benchmark::DoNotOptimize(b.Bits());
  }
}
void Polygons100k_qpainter(benchmark::State& st) {
  const auto spots = Spots(100000);
  QImage img = NewImage();
  for (auto _ : st) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::cyan);
    for (const TPoint& s : spots) {
      const QPoint d[] = {{s.X + 4, s.Y}, {s.X + 8, s.Y + 4}, {s.X + 4, s.Y + 8}, {s.X, s.Y + 4}};
      p.drawPolygon(d, 4);
    }
  }
}

// --- 10,000 short labels ---

void Text10k_kelvo(benchmark::State& st) {
  const auto spots = Spots(10000);
  TBitmap b(W, H);
  TCanvas& c = b.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetHeight(-11);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  for (auto _ : st) {
    for (const TPoint& s : spots) c.TextOut(s.X, s.Y, "1975");
    benchmark::DoNotOptimize(b.Bits());
  }
}
void Text10k_qpainter(benchmark::State& st) {
  const auto spots = Spots(10000);
  QImage img = NewImage();
  QFont font("Liberation Sans");
  font.setPixelSize(11);
  for (auto _ : st) {
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::black);
    for (const TPoint& s : spots) p.drawText(s.X, s.Y + 10, QStringLiteral("1975"));
  }
}

}  // namespace

BENCHMARK(Draw_baseline)->Name("Draw/memcpy")->Unit(benchmark::kMillisecond);
BENCHMARK(FullFill_baseline)->Name("FullFill/std::fill")->Unit(benchmark::kMillisecond);
KELVO_PAIR(Draw)
KELVO_PAIR(FullFill)
KELVO_PAIR(Lines1M)
KELVO_PAIR(Segments1M)
KELVO_PAIR(Rects100k)
KELVO_PAIR(Polygons100k)
KELVO_PAIR(Text10k)

int main(int argc, char** argv) { return kelvo::bench::RunWithOffscreenQt(argc, argv); }
