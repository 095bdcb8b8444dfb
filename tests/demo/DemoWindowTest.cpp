// The demo window on Qt's offscreen platform: start-up, the controls
// driving the chart, Start/Stop, Exit and closing during the animation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBitmap>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>

#include "demo/Form1.h"
#include "kelvo/platform/WindowServices.h"
#include "kelvo/qt/QtHost.h"
#include "kelvo/qt/QtWindowServices.h"
#include "support/TestFonts.h"

using namespace vexa;

namespace {

void ExpectBars(const TKelvo& chart, int kind, bool descending, int depth, int angle,
                double factor) {
  ASSERT_EQ(chart.ItemCount(), 11);
  for (int k = 0; k < 11; ++k) {
    const int index = descending ? 10 - k : k;
    EXPECT_EQ(chart.Items(k).Kind, kind);
    EXPECT_EQ(chart.Items(k).X1, 1970 + index - 0.4);
    EXPECT_EQ(chart.Items(k).Y2, factor * demo::NetExportValues[index]);
    if (kind == ikBar3D) {
      EXPECT_EQ(chart.Items(k).Param1, angle);
      EXPECT_EQ(chart.Items(k).Param2, depth);
    }
  }
}

TEST(DemoWindow, StartsWithThreeDBarsAndTheStatedControls) {
  demo::TForm1 form;
  form.show();
  form.ActivateOnce();
  QCoreApplication::processEvents();
  EXPECT_EQ(form.windowTitle().toStdString(), "Example for Bar3D method");
  EXPECT_EQ(form.width(), 576);
  EXPECT_EQ(form.height(), 432);
  EXPECT_EQ(form.ChartHost()->geometry(), QRect(8, 24, 449, 345));
  EXPECT_EQ(form.SBarDepth()->geometry(), QRect(501, 32, 20, 345));
  EXPECT_FALSE(form.BButStop()->isEnabled());
  EXPECT_TRUE(form.RB3Don()->isChecked());
  ExpectBars(form.ExportChart(), ikBar3D, false, 20, 45, 1.0);
  // The window surface shows the chart: the caption, the bars, the grid.
  EXPECT_EQ(form.ExportChart().Caption(), "Net exports");
  EXPECT_TRUE(form.ExportChart().HandleAllocated());
  int coloured = 0;
  TCanvas& c = form.ExportChart().Canvas();
  for (int y = 0; y < 345; y += 3)
    for (int x = 0; x < 449; x += 3) coloured += c.Pixels(x, y) == clTeal;
  EXPECT_GT(coloured, 50);  // the teal bars of 1974 and 1979
  form.ActivateOnce();      // activation runs once only
  form.RBRect()->click();
  form.ActivateOnce();
  EXPECT_FALSE(form.Logic().Show3DBars());
}

TEST(DemoWindow, ScrollBarsAndRadioButtonsRedraw) {
  demo::TForm1 form;
  form.show();
  form.ActivateOnce();
  form.SBarAngle()->setValue(120);
  ExpectBars(form.ExportChart(), ikBar3D, true, 20, 120, 1.0);
  form.SBarDepth()->setValue(60);
  ExpectBars(form.ExportChart(), ikBar3D, true, 40, 120, 1.0);
  form.SBarHeight()->setValue(100);
  ExpectBars(form.ExportChart(), ikBar3D, true, 40, 120, -1.0);
  form.RBRect()->click();
  ExpectBars(form.ExportChart(), ikRectangle, false, 0, 0, -1.0);
  form.RB3Don()->click();
  ExpectBars(form.ExportChart(), ikBar3D, true, 40, 120, -1.0);
}

TEST(DemoWindow, StartAndStopTheAnimation) {
  demo::TForm1 form;
  form.show();
  form.ActivateOnce();
  int frames = 0;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    EXPECT_TRUE(form.BButStop()->isEnabled());
    EXPECT_FALSE(form.BButAuto()->isEnabled());
    EXPECT_FALSE(form.BButDone()->isEnabled());
    if (++frames == 3) form.BButStop()->click();
  });
  watcher.start(0);
  form.BButAuto()->click();  // returns once Stop was pressed
  watcher.stop();
  EXPECT_GT(form.SBarHeight()->value(), 0);
  EXPECT_TRUE(form.BButAuto()->isEnabled());
  EXPECT_FALSE(form.BButStop()->isEnabled());
  EXPECT_TRUE(form.BButDone()->isEnabled());
  EXPECT_EQ(form.ExportChart().ChartFrameColor(), clBlack);
}

TEST(DemoWindow, ClosingDuringTheAnimationEndsIt) {
  demo::TForm1 form;
  form.show();
  form.ActivateOnce();
  QTimer closer;
  closer.setSingleShot(true);
  QObject::connect(&closer, &QTimer::timeout, [&] { form.close(); });
  closer.start(0);
  form.BButAuto()->click();  // must come back after the close
  EXPECT_FALSE(form.isVisible());
}

TEST(DemoWindow, ExitClosesTheWindow) {
  demo::TForm1 form;
  form.show();
  form.ActivateOnce();
  form.BButDone()->click();
  EXPECT_FALSE(form.isVisible());
}

// The window is a fixed-size dialog: no minimise, no maximise.
TEST(DemoWindow, IsAFixedDialogWithoutMinimiseOrMaximise) {
  demo::TForm1 form;
  EXPECT_EQ(form.windowType(), Qt::Dialog);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

// With no window manager to activate it, the first showing draws the bars.
TEST(DemoWindow, TheFirstShowingCountsAsTheActivation) {
  demo::TForm1 form;
  form.show();
  for (int i = 0; i < 5 && form.ExportChart().ItemCount() == 0; ++i)
    QCoreApplication::processEvents();
  ExpectBars(form.ExportChart(), ikBar3D, false, 20, 45, 1.0);
  form.Logic().RBRectClick();
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&form, &activate);  // a late activation changes nothing
  EXPECT_EQ(form.ExportChart().Items(0).Kind, ikRectangle);
}

// Each cursor is a black outline around a white inside on a transparent
// ground: Qt's mask is opaque exactly where the AND mask is clear, and its
// bitmap is black exactly where the XOR mask is clear there.
TEST(DemoWindow, CursorsAreBlackOutlinesOnATransparentGround) {
  // The cursor images as a chart registers them, recorded by the headless services.
  IWindowServices& qtServices = WindowServices();
  InstallWindowServices(&HeadlessWindowServices());
  { TKelvo chart; }
  InstallWindowServices(&qtServices);
  for (TCursor id = 1; id <= 4; ++id) {
    const TCursorImage* image = HeadlessWindowServices().RegisteredCursor(id);
    ASSERT_NE(image, nullptr);
    const QCursor cursor = vexa::qt::TQtWindowServices::MakeCursor(*image);
    const QImage bits = cursor.bitmap().toImage();
    const QImage mask = cursor.mask().toImage();
    ASSERT_EQ(bits.size(), QSize(32, 32));
    EXPECT_EQ(cursor.hotSpot(), QPoint(image->HotX, image->HotY));
    int black = 0, white = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const uint32_t bit = 1u << (31 - x);
        const bool opaque = !(image->AndMask[size_t(y)] & bit);
        const bool isWhite = image->XorMask[size_t(y)] & bit;
        const bool maskSet = mask.pixelColor(x, y) == QColor(Qt::black);
        const bool bitSet = bits.pixelColor(x, y) == QColor(Qt::black);
        ASSERT_EQ(maskSet, opaque) << id << " at " << x << "," << y;
        if (opaque) {
          ASSERT_EQ(bitSet, !isWhite) << id << " at " << x << "," << y;
        }
        black += opaque && !isWhite;
        white += opaque && isWhite;
      }
    EXPECT_GT(black, 20) << id;
    EXPECT_GT(white, 5) << id;
    EXPECT_FALSE(mask.pixelColor(0, 0) == QColor(Qt::black)) << id;  // the corners show the screen
    EXPECT_FALSE(mask.pixelColor(31, 31) == QColor(Qt::black)) << id;
  }
}

// The chart's cursor shows over the chart only: it is the chart widget's
// cursor, not an override of the whole application, and a move over the
// window's own surface takes it back.
TEST(DemoWindow, TheChartsCursorStaysOverTheChart) {
  demo::TForm1 form;
  form.show();
  form.ActivateOnce();
  QWidget* host = form.ChartHost();
  QMouseEvent move(QEvent::MouseMove, QPointF(200, 150), QPointF(200, 150), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(host, &move);
  EXPECT_EQ(Screen().Cursor(), 1);  // the hand of maPan
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(host->testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(host->cursor().shape(), Qt::BitmapCursor);
  EXPECT_FALSE(form.BButAuto()->testAttribute(Qt::WA_SetCursor));
  QMouseEvent overForm(QEvent::MouseMove, QPointF(420, 400), QPointF(420, 400), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &overForm);
  EXPECT_EQ(Screen().Cursor(), crDefault);
  EXPECT_FALSE(host->testAttribute(Qt::WA_SetCursor));
}

// Wheel zoom and the zoom history on the demo chart through the Qt host,
// with the opt-in flags set here (the demo window leaves them off).
TEST(DemoWindow, WheelZoomAndHistoryKeysThroughTheHost) {
  demo::TForm1 form;
  form.show();
  form.ActivateOnce();
  TKelvo& chart = form.ExportChart();
  EXPECT_FALSE(chart.MouseWheelZoom());
  chart.SetMouseWheelZoom(true);
  chart.SetZoomHistoryKeys(true);
  QWidget* host = form.ChartHost();
  const QPointF at(200, 150);
  QWheelEvent wheel(at, host->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(host, &wheel);
  EXPECT_NEAR(chart.Scale1X().RangeHigh() - chart.Scale1X().RangeLow(), 12 / 1.25, 1e-9);
  EXPECT_NEAR(chart.Scale1Y().RangeHigh() - chart.Scale1Y().RangeLow(), 200 / 1.25, 1e-9);
  QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(host, &back);
  EXPECT_EQ(chart.Scale1X().RangeLow(), 1969);
  EXPECT_EQ(chart.Scale1X().RangeHigh(), 1981);
}

// The value readout and the picture export on the demo chart through the
// Qt host, the opt-in flags set here.
TEST(DemoWindow, ValueReadoutAndPicturesThroughTheHost) {
  demo::TForm1 form;
  form.show();
  form.ActivateOnce();
  TKelvo& chart = form.ExportChart();
  QWidget* host = form.ChartHost();
  auto move = [&](TPoint at, Qt::MouseButtons held) {
    QMouseEvent e(QEvent::MouseMove, QPointF(at.X, at.Y), host->mapToGlobal(QPointF(at.X, at.Y)),
                  Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(host, &e);
  };
  // Over the 1974 bar (item 4, 100 high): reported as the mouse moves.
  int32_t px, py;
  chart.WorldToPixel(1, 1974, 50, px, py);
  int hovered = -2;
  chart.OnItemHover = [&](TObject*, const TNearestItem& item) { hovered = item.Index; };
  chart.SetItemHover(true);
  move({px, py}, Qt::NoButton);
  EXPECT_EQ(hovered, 4);
  // A dragged crosshair snaps to the bar's nearest point.
  chart.CrossHair1().SetMode(TCrossHMode::chBoth);
  chart.CrossHair1().SetPosX(1971);
  chart.CrossHair1().SetPosY(100);
  chart.SetMouseAction(TMouseActMode::maDragCrossH);
  chart.SetCrossHairSnap(true);
  int32_t cx, cy;
  chart.WorldToPixel(1, 1971, 100, cx, cy);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(cx, cy), host->mapToGlobal(QPointF(cx, cy)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(host, &press);
  move({cx, cy}, Qt::LeftButton);  // the drag picks the crosshair
  move({px + 2, py}, Qt::LeftButton);
  const TNearestItem bar = chart.FindNearestItem(px + 2, py, chart.ItemPixels());
  EXPECT_EQ(bar.Index, 4);
  EXPECT_EQ(chart.CrossHair1().PosX(), bar.X);
  EXPECT_EQ(chart.CrossHair1().PosY(), bar.Y);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(px + 2, py),
                      host->mapToGlobal(QPointF(px + 2, py)), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(host, &release);
  // The pictures: the PNG is what the host shows; the SVG has the caption as text.
  const std::string dir = ::testing::TempDir();
  chart.SaveToFile(dir + "demo-host.png");
  chart.SaveToFile(dir + "demo-host.svg");
  const QImage shown = host->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage saved =
      QImage(QString::fromStdString(dir + "demo-host.png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(saved.size(), shown.size());
  EXPECT_EQ(saved, shown);
  QFile svg(QString::fromStdString(dir + "demo-host.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  EXPECT_TRUE(svg.readAll().contains(">Net exports</text>"));
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  kelvo::test::PinTestFonts();
  vexa::qt::TQtWindowServices services;
  vexa::InstallWindowServices(&services);
  const int result = RUN_ALL_TESTS();
  vexa::InstallWindowServices(nullptr);
  return result;
}

// LeakSanitizer: fontconfig and Qt's platform plugins keep caches for the
// life of the process; those are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libQt6Core.so\nleak:libQt6Gui.so\nleak:libQt6Widgets.so\n"
         "leak:libqoffscreen.so\nleak:libglib-2.0.so\n";
}
