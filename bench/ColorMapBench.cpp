// Colour maps against QCustomPlot 2.1's QCPColorMap with its QCPColorScale,
// through its widget path (QcpTwin.h), each with its colour bar, in a data
// area of about 800 x 500:
//   Map4096        a 4096 x 4096 map, the whole of it
//   Map4096Zoom    the same zoomed to 200 x 200 cells
//   Map4096Changing  the whole map, one cell changed before each paint: the
//                  picture is made anew from the cells (a repaint of an
//                  unchanged map lays the picture of the last paint again)
//   Spectrogram    1024 bins by 2,000 columns: a new column each tick, then
//                  the repaint (QCustomPlot keeps no ring: its user writes
//                  the shifted grid into the map's data each tick)
//   Fill16M        SetValues of 4096 x 4096 values into a map (QCustomPlot:
//                  setCell for each); the counter bytes_per_cell is the
//                  memory the map holds (for QCustomPlot after a replot,
//                  which keeps the map's picture beside its data)
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchMain.h"
#include "QcpTwin.h"
#include "kelvo/chart/Vexa_kelvo.h"

using namespace vexa;

namespace {

constexpr int W = 870, H = 560;  // data area about 800 x 500
constexpr int Side = 4096;

double Field(int i, int j) {
  return std::sin(i * 0.011) * std::cos(j * 0.007) * 50 + std::sin((i + j) * 0.05) * 10;
}

const std::vector<double>& BigGrid() {
  static std::vector<double> v = [] {
    std::vector<double> out(size_t(Side) * Side);
    for (int j = 0; j < Side; ++j)
      for (int i = 0; i < Side; ++i) out[size_t(j) * Side + i] = Field(i, j);
    return out;
  }();
  return v;
}

// Resident bytes of the process.
double Resident() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return double(resident) * 4096.0;
}

std::unique_ptr<TKelvo> Chart(double X0, double X1, double Y0, double Y1) {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, W, H);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  c->SetMarginRight(10);
  c->SetLayerRanges(1, X0, Y0, X1, Y1, false);
  c->ColorBar().SetVisible(true);
  return c;
}

void Twin(QCustomPlot& Plot, QCPColorMap*& Map, int NX, int NY, double X0, double X1, double Y0,
          double Y1) {
  Plot.setNotAntialiasedElements(QCP::aeAll);
  Map = new QCPColorMap(Plot.xAxis, Plot.yAxis);
  Map->data()->setSize(NX, NY);
  Map->data()->setRange(QCPRange(0.5, NX - 0.5), QCPRange(0.5, NY - 0.5));  // cell centres
  auto* scale = new QCPColorScale(&Plot);
  Plot.plotLayout()->addElement(0, 1, scale);
  Map->setColorScale(scale);
  Map->setGradient(QCPColorGradient::gpHot);
  Map->setInterpolate(false);
  Plot.xAxis->setRange(X0, X1);
  Plot.yAxis->setRange(Y0, Y1);
}

void Map_kelvo(benchmark::State& st, double Cells, bool Changing = false) {
  auto c = Chart(0, Cells, 0, Cells);
  TColorMap& m = c->AddColorMap("map");
  m.SetSize(Side, Side);
  m.SetExtent(0, Side, 0, Side);
  m.SetValues(BigGrid().data());
  c->Paint();
  int k = 0;
  for (auto _ : st) {
    if (Changing) m.SetValue(k % Side, 7, Field(k % Side, 7) + 1), ++k;
    c->Paint();
  }
}
void Map_qcustomplot(benchmark::State& st, double Cells, bool Changing = false) {
  QCustomPlot plot;
  QCPColorMap* map;
  Twin(plot, map, Side, Side, 0, Cells, 0, Cells);
  const std::vector<double>& v = BigGrid();
  for (int j = 0; j < Side; ++j)
    for (int i = 0; i < Side; ++i) map->data()->setCell(i, j, v[size_t(j) * Side + i]);
  map->rescaleDataRange();
  kelvo::bench::TQcpFrame frame(plot, W, H);
  frame.Draw(plot);
  int k = 0;
  for (auto _ : st) {
    if (Changing) map->data()->setCell(k % Side, 7, Field(k % Side, 7) + 1), ++k;
    frame.Draw(plot);
  }
}

void Map4096Changing_kelvo(benchmark::State& st) { Map_kelvo(st, Side, true); }
void Map4096Changing_qcustomplot(benchmark::State& st) { Map_qcustomplot(st, Side, true); }
void Map4096_kelvo(benchmark::State& st) { Map_kelvo(st, Side); }
void Map4096_qcustomplot(benchmark::State& st) { Map_qcustomplot(st, Side); }
void Map4096Zoom_kelvo(benchmark::State& st) { Map_kelvo(st, 200); }
void Map4096Zoom_qcustomplot(benchmark::State& st) { Map_qcustomplot(st, 200); }

// --- the spectrogram ---

constexpr int Bins = 1024, Columns = 2000;

// The t-th column of a made-up signal's spectrum.
void SpectrumColumn(int64_t T, double* Out) {
  for (int b = 0; b < Bins; ++b)
    Out[b] = -80 + 60 * std::exp(-std::pow((b - 300 - 200 * std::sin(T * 0.01)) / 20.0, 2)) +
             (b * 7 + T * 13) % 17;
}

void Spectrogram_kelvo(benchmark::State& st) {
  auto c = Chart(0, Columns, 0, Bins);
  TColorMap& m = c->AddColorMap("spectrum");
  m.SetCapacity(Columns);
  m.SetSize(Columns, Bins);
  m.SetExtent(0, Columns, 0, Bins);
  std::vector<double> column(Bins);
  int64_t t = 0;
  for (; t < Columns; ++t) SpectrumColumn(t, column.data()), m.AppendColumn(column.data());
  c->Paint();
  for (auto _ : st) {
    SpectrumColumn(t++, column.data());
    m.AppendColumn(column.data());
    // The x axis follows the newest column.
    c->SetLayerRanges(1, m.ExtentX0(), 0, m.ExtentX1(), Bins, false);
    c->Paint();
  }
}
void Spectrogram_qcustomplot(benchmark::State& st) {
  QCustomPlot plot;
  QCPColorMap* map;
  Twin(plot, map, Columns, Bins, 0, Columns, 0, Bins);
  // The user's ring of columns, written shifted into the map each tick.
  std::vector<double> ring(size_t(Columns) * Bins);
  int64_t t = 0;
  for (; t < Columns; ++t) SpectrumColumn(t, &ring[size_t(t % Columns) * Bins]);
  auto write = [&] {
    for (int i = 0; i < Columns; ++i) {
      const double* col = &ring[size_t((t + i) % Columns) * Bins];
      for (int b = 0; b < Bins; ++b) map->data()->setCell(i, b, col[b]);
    }
    map->rescaleDataRange();
  };
  write();
  kelvo::bench::TQcpFrame frame(plot, W, H);
  frame.Draw(plot);
  for (auto _ : st) {
    SpectrumColumn(t, &ring[size_t(t % Columns) * Bins]);
    ++t;
    write();
    frame.Draw(plot);
  }
}

// --- filling, and the memory a map holds ---

void Fill16M_kelvo(benchmark::State& st) {
  const std::vector<double>& v = BigGrid();
  const double before = Resident();
  auto c = Chart(0, Side, 0, Side);
  TColorMap& m = c->AddColorMap("map");
  m.SetSize(Side, Side);
  m.SetExtent(0, Side, 0, Side);
  m.SetValues(v.data());
  c->Paint();
  st.counters["bytes_per_cell"] = (Resident() - before) / (double(Side) * Side);
  for (auto _ : st) m.SetValues(v.data());
}
void Fill16M_qcustomplot(benchmark::State& st) {
  const std::vector<double>& v = BigGrid();
  const double before = Resident();
  QCustomPlot plot;
  QCPColorMap* map;
  Twin(plot, map, Side, Side, 0, Side, 0, Side);
  auto fill = [&] {
    for (int j = 0; j < Side; ++j)
      for (int i = 0; i < Side; ++i) map->data()->setCell(i, j, v[size_t(j) * Side + i]);
  };
  fill();
  map->rescaleDataRange();
  kelvo::bench::TQcpFrame frame(plot, W, H);
  frame.Draw(plot);
  st.counters["bytes_per_cell"] = (Resident() - before) / (double(Side) * Side);
  for (auto _ : st) fill();
}

}  // namespace

#define KELVO_MAP(name)                                                         \
  BENCHMARK(name##_kelvo)->Name(#name "/kelvo")->Unit(benchmark::kMillisecond); \
  BENCHMARK(name##_qcustomplot)->Name(#name "/qcustomplot")->Unit(benchmark::kMillisecond);
KELVO_MAP(Map4096)
KELVO_MAP(Map4096Zoom)
KELVO_MAP(Map4096Changing)
KELVO_MAP(Spectrogram)
KELVO_MAP(Fill16M)

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return kelvo::bench::RunAndCompare(argc, argv);
}
