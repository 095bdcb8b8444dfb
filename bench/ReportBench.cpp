// The report (two layers: dates across, six decades up the left, forty up
// the right; three series; a legend) in the light theme, against the same
// report in QCustomPlot 2.1, painted in full:
//   Report       anti-aliased (Kelvo's AntiAliased, QCustomPlot's aeAll)
//   ReportCrisp  aliased (QCustomPlot's aeNone)
//
//   kelvo_report_bench --pictures DIR   writes DIR/report-kelvo.png and
//                                       DIR/report-qcustomplot.png (both
//                                       anti-aliased) to look at side by side
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BenchMain.h"
#include "demo/ReportScene.h"

using namespace vexa;

namespace {

constexpr int W = 520, H = 340;

std::unique_ptr<TKelvo> KelvoReport(bool Smooth) {
  auto c = demo::MakeReport(TKelvoTheme::ktLight);
  c->SetAntiAliased(Smooth);
  c->Paint();
  return c;
}

QColor QtColour(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>((rgb >> 16) & 0xFF));
}

// The same report as QCustomPlot draws it, in the light theme's colours and
// a sans face at the theme's sizes.
struct TQcpReport {
  QCustomPlot Plot;
  explicit TQcpReport(bool Smooth) {
    auto kelvo = demo::MakeReport(TKelvoTheme::ktLight);
    const std::vector<TColor>& palette = kelvo->SeriesPalette();
    QCustomPlot& p = Plot;
    p.resize(W, H);
    if (Smooth)
      p.setAntialiasedElements(QCP::aeAll);
    else
      p.setNotAntialiasedElements(QCP::aeAll);
    p.setFont(QFont("Liberation Sans", 9));
    p.plotLayout()->insertRow(0);
    p.plotLayout()->addElement(0, 0,
                               new QCPTextElement(&p, "Report", QFont("Liberation Sans", 10)));
    auto dates = QSharedPointer<QCPAxisTickerDateTime>::create();
    dates->setDateTimeFormat("dd-MMM-yyyy");
    dates->setDateTimeSpec(Qt::UTC);
    p.xAxis->setTicker(dates);
    // Days since 1899-12-30 as seconds since 1970-01-01.
    auto seconds = [](double day) { return (day - 25569.0) * 86400.0; };
    p.xAxis->setRange(seconds(demo::ReportFirstDay),
                      seconds(demo::ReportFirstDay + demo::ReportDays));
    for (QCPAxis* axis : {p.yAxis, p.yAxis2}) {
      axis->setScaleType(QCPAxis::stLogarithmic);
      axis->setTicker(QSharedPointer<QCPAxisTickerLog>::create());
      axis->setNumberFormat("eb");
      axis->setNumberPrecision(0);
      axis->setVisible(true);
    }
    p.yAxis->setRange(1e-6, 1);
    p.yAxis->setLabel("Rate");
    p.yAxis2->setRange(1, 1e40);
    double (*values[])(int) = {demo::ReportDecay, demo::ReportGrowth, demo::ReportCount};
    const char* names[] = {"decay", "growth", "count"};
    for (int k = 0; k < 3; ++k) {
      QCPGraph* g = p.addGraph(p.xAxis, k == 2 ? p.yAxis2 : p.yAxis);
      QVector<double> x, y;
      for (int day = 0; day <= demo::ReportDays; day += demo::ReportStep) {
        x.push_back(seconds(demo::ReportFirstDay + day));
        y.push_back(values[k](day));
      }
      g->setData(x, y, true);
      g->setPen(QPen(QtColour(palette[static_cast<size_t>(k)]), 1));
      g->setName(names[k]);
      if (k == 1) g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 7));
    }
    p.legend->setVisible(true);
    p.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
  }
  void Render(QImage& img) {
    img.fill(Qt::white);
    QCPPainter painter(&img);
    Plot.toPainter(&painter, W, H);
  }
};

void PaintKelvo(benchmark::State& st, bool Smooth) {
  auto c = KelvoReport(Smooth);
  for (auto _ : st) c->Paint();
}
void RenderQcp(benchmark::State& st, bool Smooth) {
  TQcpReport r(Smooth);
  QImage img(W, H, QImage::Format_RGB32);
  for (auto _ : st) r.Render(img);
}
void Report_kelvo(benchmark::State& st) { PaintKelvo(st, true); }
void Report_qcustomplot(benchmark::State& st) { RenderQcp(st, true); }
void ReportCrisp_kelvo(benchmark::State& st) { PaintKelvo(st, false); }
void ReportCrisp_qcustomplot(benchmark::State& st) { RenderQcp(st, false); }

}  // namespace

BENCHMARK(Report_kelvo)->Name("Report/kelvo")->Unit(benchmark::kMicrosecond);
BENCHMARK(Report_qcustomplot)->Name("Report/qcustomplot")->Unit(benchmark::kMicrosecond);
BENCHMARK(ReportCrisp_kelvo)->Name("ReportCrisp/kelvo")->Unit(benchmark::kMicrosecond);
BENCHMARK(ReportCrisp_qcustomplot)->Name("ReportCrisp/qcustomplot")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--pictures") == 0) {
    const std::string dir = argv[2];
    KelvoReport(true)->FrameBitmap().SaveToFile(dir + "/report-kelvo.png");
    TQcpReport twin(true);
    QImage img(W, H, QImage::Format_RGB32);
    twin.Render(img);
    return img.save(QString::fromStdString(dir + "/report-qcustomplot.png")) ? 0 : 1;
  }
  return kelvo::bench::RunAndCompare(argc, argv);
}
