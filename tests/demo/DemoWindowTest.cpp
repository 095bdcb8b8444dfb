// The demo window on Qt's offscreen platform: start-up, the controls
// driving the chart, Start/Stop, Exit and closing during the animation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdlib>

#include "demo/Form1.h"
#include "platform/WindowServices.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtWindowServices.h"
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
