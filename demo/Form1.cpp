#include "demo/Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "demo/DemoForm.h"
#include "kelvo/platform/WindowServices.h"
#include "kelvo/qt/QtHost.h"

namespace demo {

namespace {

QScrollBar* MakeScrollBar(QWidget* parent, int x, int max, int position) {
  auto* s = new QScrollBar(Qt::Vertical, parent);
  s->setGeometry(x, 32, 20, 345);
  s->setRange(0, max);
  s->setValue(position);
  s->setPageStep(1);  // no page of its own: the thumb is a plain position
  return s;
}

}  // namespace

TForm1::TForm1() : FLogic(FChart, *this) {
  setWindowTitle("Example for Bar3D method");
  // A dialog border: a title, a system menu and the close button; no
  // minimise or maximise, and a fixed size.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(576, 432);  // a fixed dialog, positions in pixels
  QFont font("Arial");
  font.setPixelSize(13);
  setFont(font);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));  // button face
  setPalette(pal);
  setAutoFillBackground(true);
  setMouseTracking(true);

  FLabel1 = new QLabel("Height", this);
  FLabel1->setGeometry(448, 8, 37, 16);
  FLabel2 = new QLabel("Depth", this);
  FLabel2->setGeometry(496, 8, 34, 16);
  FLabel3 = new QLabel("Angle", this);
  FLabel3->setGeometry(536, 8, 33, 16);

  LoadExportChart(FChart);  // creation defaults, stored values, Loaded
  FChartHost = std::make_unique<vexa::qt::TQtControlHost>(FChart, this);

  FBButDone = new QPushButton("Exit", this);
  FBButDone->setGeometry(8, 392, 89, 33);
  FBButAuto = new QPushButton("Start", this);
  FBButAuto->setGeometry(136, 392, 89, 33);
  FBButStop = new QPushButton("Stop", this);
  FBButStop->setGeometry(232, 392, 89, 33);
  FBButStop->setEnabled(false);
  FSBarHeight = MakeScrollBar(this, 469, HeightMax, HeightStart);
  FSBarDepth = MakeScrollBar(this, 501, DepthMax, DepthStart);
  FSBarAngle = MakeScrollBar(this, 533, AngleMax, AngleStart);
  FRB3Don = new QRadioButton("3D bars", this);
  FRB3Don->setGeometry(368, 400, 81, 17);
  FRB3Don->setChecked(true);
  FRBRect = new QRadioButton("Rectangles", this);
  FRBRect->setGeometry(456, 400, 113, 17);

  QWidget* order[] = {FBButDone,  FBButAuto,  FBButStop, FSBarHeight,
                      FSBarDepth, FSBarAngle, FRB3Don,   FRBRect};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  QObject::connect(FBButDone, &QPushButton::clicked, [this] { FLogic.BButDoneClick(); });
  QObject::connect(FBButAuto, &QPushButton::clicked, [this] { FLogic.BButAutoClick(); });
  QObject::connect(FBButStop, &QPushButton::clicked, [this] { FLogic.BButStopClick(); });
  QObject::connect(FSBarHeight, &QScrollBar::valueChanged, [this] { FLogic.SBarHeightChange(); });
  QObject::connect(FSBarDepth, &QScrollBar::valueChanged, [this] { FLogic.SBarDepthChange(); });
  QObject::connect(FSBarAngle, &QScrollBar::valueChanged, [this] { FLogic.SBarAngleChange(); });
  QObject::connect(FRB3Don, &QRadioButton::clicked, [this] { FLogic.RB3DonClick(); });
  QObject::connect(FRBRect, &QRadioButton::clicked, [this] { FLogic.RBRectClick(); });

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());  // centred at start
}

TForm1::~TForm1() = default;

void TForm1::ActivateOnce() {
  if (FActivated) return;
  FActivated = true;
  FLogic.FormActivate();
}

bool TForm1::event(QEvent* Event) {
  // The form's activation runs once, when the window first becomes active;
  // switching applications later leaves the mode alone.
  if (Event->type() == QEvent::WindowActivate) ActivateOnce();
  return QWidget::event(Event);
}

void TForm1::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  // Without a window manager, or where it keeps new windows from taking the
  // focus, no activation ever comes: the first showing then counts as the
  // activation, once the start-up events are through.
  if (!FActivated) QTimer::singleShot(0, this, [this] { ActivateOnce(); });
}

void TForm1::closeEvent(QCloseEvent* Event) {
  FLogic.WindowClosing();  // a running animation ends without touching the window again
  QWidget::closeEvent(Event);
}

void TForm1::mouseMoveEvent(QMouseEvent* Event) {
  vexa::Screen().SetCursor(vexa::crDefault);  // undo whatever cursor the chart set
  QWidget::mouseMoveEvent(Event);
}

int TForm1::HeightPosition() const { return FSBarHeight->value(); }
void TForm1::SetHeightPosition(int Position) { FSBarHeight->setValue(Position); }
int TForm1::DepthPosition() const { return FSBarDepth->value(); }
int TForm1::AnglePosition() const { return FSBarAngle->value(); }

void TForm1::SetButtonsEnabled(bool Start, bool Stop, bool Exit) {
  FBButAuto->setEnabled(Start);
  FBButStop->setEnabled(Stop);
  FBButDone->setEnabled(Exit);
}

void TForm1::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TForm1::Close() { close(); }

}  // namespace demo
