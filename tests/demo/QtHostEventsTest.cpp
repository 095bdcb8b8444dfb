// The framework's events and properties of a control, delivered from real
// Qt input events on the offscreen platform, and KelvoWidget in a layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "kelvo/platform/Streaming.h"
#include "kelvo/platform/WindowServices.h"
#include "kelvo/qt/KelvoWidget.h"

using namespace vexa;

namespace {

void Send(QWidget* w, QEvent&& e) { QApplication::sendEvent(w, &e); }

QMouseEvent Mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
  return QMouseEvent(type, at, at, button, held, Qt::NoModifier);
}

TEST(QtHostEvents, MouseWheelKeysFocusAndResize) {
  qt::KelvoWidget w;
  TKelvo& c = w.Chart();
  std::vector<std::string> log;
  c.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int32_t, int32_t) {
    log.push_back("down");
  };
  c.OnClick = [&](TObject*) { log.push_back("click"); };
  c.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int32_t, int32_t) { log.push_back("up"); };
  Send(&w, Mouse(QEvent::MouseButtonPress, {100, 80}, Qt::LeftButton, Qt::LeftButton));
  Send(&w, Mouse(QEvent::MouseButtonRelease, {102, 81}, Qt::LeftButton, Qt::NoButton));
  EXPECT_EQ(log, (std::vector<std::string>{"down", "click", "up"}));
  // Released outside: no click.
  Send(&w, Mouse(QEvent::MouseButtonPress, {100, 80}, Qt::LeftButton, Qt::LeftButton));
  Send(&w, Mouse(QEvent::MouseButtonRelease, {-50, 81}, Qt::LeftButton, Qt::NoButton));
  EXPECT_EQ(std::count(log.begin(), log.end(), "click"), 1);

  int wheel = 0, up = 0, downs = 0;
  bool handle = true;
  c.OnMouseWheel = [&](TObject*, TShiftState, int32_t delta, TPoint at, bool& handled) {
    wheel = delta;
    EXPECT_EQ(at.X, 60);
    handled = handle;
  };
  c.OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool&) { ++up; };
  c.OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { ++downs; };
  auto turn = [&](int delta) {
    Send(&w, QWheelEvent({60, 50}, {60, 50}, {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false));
  };
  turn(120);
  EXPECT_EQ(wheel, 120);
  EXPECT_EQ(up, 0);  // handled by OnMouseWheel
  handle = false;
  turn(120);
  turn(-240);
  EXPECT_EQ(up, 1);
  EXPECT_EQ(downs, 1);

  uint16_t downKey = 0, upKey = 0;
  std::string typed;
  c.OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { downKey = key; };
  c.OnKeyUp = [&](TObject*, uint16_t& key, TShiftState) { upKey = key; };
  c.OnKeyPress = [&](TObject*, char& key) { typed += key; };
  Send(&w, QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
  Send(&w, QKeyEvent(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a"));
  Send(&w, QKeyEvent(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier));
  EXPECT_EQ(upKey, 'A');
  EXPECT_EQ(downKey, 37);  // VK_LEFT
  EXPECT_EQ(typed, "a");

  int enter = 0, exit = 0;
  c.OnEnter = [&](TObject*) { ++enter; };
  c.OnExit = [&](TObject*) { ++exit; };
  Send(&w, QFocusEvent(QEvent::FocusIn));
  Send(&w, QFocusEvent(QEvent::FocusOut));
  EXPECT_EQ(enter, 1);
  EXPECT_EQ(exit, 1);

  int resized = 0;
  c.OnResize = [&](TObject*) {
    ++resized;
    EXPECT_EQ(c.DataBitmap().Width(), c.Width() - c.MarginLeft() - c.MarginRight() + 1);
  };
  w.show();  // a hidden widget gets its resize events only when shown
  w.resize(400, 300);
  EXPECT_EQ(c.Width(), 400);
  EXPECT_EQ(resized, 1);
  c.OnCanResize = [](TObject*, int32_t& width, int32_t&, bool& resize) { resize = width <= 450; };
  c.SetBounds(0, 0, 500, 300);
  EXPECT_EQ(c.Width(), 400);
  c.Constraints().SetMaxHeight(250);
  c.SetBounds(0, 0, 420, 300);
  EXPECT_EQ(c.Width(), 420);
  EXPECT_EQ(c.Height(), 250);
}

TEST(QtHostEvents, HintPopupMenuEnabledAndCursor) {
  qt::KelvoWidget w;
  TKelvo& c = w.Chart();
  c.SetHint("Net exports");
  c.SetShowHint(true);
  Send(&w, QHelpEvent(QEvent::ToolTip, {10, 10}, w.mapToGlobal(QPoint(10, 10))));
  EXPECT_EQ(QToolTip::text().toStdString(), "Net exports");
  QToolTip::hideText();

  TPopupMenu menu;
  int copied = 0, popups = 0;
  menu.Add("Copy", [&](TObject*) { ++copied; });
  menu.Add("-", nullptr);
  menu.Add("Save", nullptr);
  menu.OnPopup = [&](TObject*) { ++popups; };
  c.SetPopupMenu(&menu);
  Send(&w, QContextMenuEvent(QContextMenuEvent::Mouse, {20, 20}, w.mapToGlobal(QPoint(20, 20))));
  ASSERT_NE(w.OpenPopup(), nullptr);
  EXPECT_EQ(popups, 1);
  ASSERT_EQ(w.OpenPopup()->actions().size(), 3);
  w.OpenPopup()->actions()[0]->trigger();
  EXPECT_EQ(copied, 1);
  w.OpenPopup()->close();

  c.SetEnabled(false);
  EXPECT_FALSE(w.isEnabled());
  c.SetEnabled(true);
  c.SetTabStop(false);
  EXPECT_EQ(w.focusPolicy(), Qt::ClickFocus);  // the chart wants keys, but Tab skips it
  c.SetCursor(crCross);
  EXPECT_EQ(w.cursor().shape(), Qt::CrossCursor);
}

// Align and Anchors follow the parent's size; Constraints bound it; all
// three are in the stored form only where they differ from their defaults.
TEST(QtHostEvents, AlignAnchorsAndConstraintsFollowTheParent) {
  QWidget parent;
  parent.resize(600, 400);
  TKelvo client, anchored, top;
  client.SetAlign(TAlign::alClient);
  top.SetBounds(0, 0, 300, 100);
  top.SetAlign(TAlign::alTop);
  anchored.SetBounds(400, 50, 150, 100);
  anchored.SetAnchors({TAnchorKind::akTop, TAnchorKind::akRight});
  // The client chart comes first among the children: aligned ones still
  // share the parent top first, client last.
  qt::TQtControlHost a(client, &parent), b(anchored, &parent), c(top, &parent);
  parent.show();
  QCoreApplication::processEvents();
  parent.resize(700, 450);
  EXPECT_EQ(top.Left(), 0);
  EXPECT_EQ(top.Top(), 0);
  EXPECT_EQ(top.Width(), 700);
  EXPECT_EQ(top.Height(), 100);
  EXPECT_EQ(client.Top(), 100);
  EXPECT_EQ(client.Width(), 700);
  EXPECT_EQ(client.Height(), 350);
  EXPECT_EQ(a.geometry(), QRect(0, 100, 700, 350));
  EXPECT_EQ(anchored.Left(), 500);  // kept 50 pixels from the right side
  EXPECT_EQ(anchored.Width(), 150);
  EXPECT_EQ(b.geometry(), QRect(500, 50, 150, 100));
  EXPECT_FALSE(WriteForm(anchored).contains("Align"));
  const TFormValue form = WriteForm(client);
  ASSERT_TRUE(form.contains("Align"));
  EXPECT_EQ(form["Align"], "alClient");
  anchored.Constraints().SetMinWidth(200);
  const TFormValue withLimits = WriteForm(anchored);
  EXPECT_EQ(withLimits["Constraints"]["MinWidth"], 200);
  TKelvo read;
  read.SetName("R");
  ReadComponentForm(read, withLimits.dump(), "qt.form");
  EXPECT_EQ(read.Constraints().MinWidth(), 200);
  EXPECT_EQ(read.Anchors(), anchored.Anchors());
  EXPECT_EQ(read.Width(), 200);  // the stored width 150 is below the limit
}

TEST(QtHostEvents, KelvoWidgetInALayout) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* chart = new qt::KelvoWidget;
  layout->addWidget(chart);
  EXPECT_EQ(chart->sizeHint(), QSize(280, 200));
  window.resize(520, 380);
  window.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(chart->Chart().Width(), chart->width());
  EXPECT_EQ(chart->Chart().Height(), chart->height());
  EXPECT_GT(chart->width(), 400);
  EXPECT_EQ(chart->Chart().Surface().Width(), chart->width());
}

// An exception out of control code while the host delivers an event or a
// paint is shown once in the message box and does not end the program: a
// logarithmic axis left on 0 .. 1 fails every paint, with one message.
TEST(QtHostEvents, EscapedExceptionsAreShownOnce) {
  IWindowServices& installed = WindowServices();
  InstallWindowServices(&HeadlessWindowServices());  // message boxes recorded, not shown
  HeadlessWindowServices().Reset();
  qt::KelvoWidget w;
  TKelvo& c = w.Chart();
  w.resize(300, 200);
  w.show();
  QCoreApplication::processEvents();
  c.Scale1Y().SetLogarithmic(true);  // taken; the range is not yet positive
  for (int i = 0; i < 3; ++i) {
    c.Invalidate();
    w.repaint();
    Send(&w, Mouse(QEvent::MouseButtonPress, {100, 80}, Qt::LeftButton, Qt::LeftButton));
    Send(&w, Mouse(QEvent::MouseButtonRelease, {100, 80}, Qt::LeftButton, Qt::NoButton));
  }
  c.OnMouseDown = [](TObject*, TMouseButton, TShiftState, int32_t, int32_t) {
    throw EVexaKelvoError("from a handler");
  };
  Send(&w, Mouse(QEvent::MouseButtonPress, {100, 80}, Qt::LeftButton, Qt::LeftButton));
  QCoreApplication::processEvents();
  const auto& shown = HeadlessWindowServices().Messages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Text, "Logarithmic axis must not be negative.");
  EXPECT_EQ(shown[1].Text, "from a handler");
  c.OnMouseDown = nullptr;
  c.Scale1Y().SetRangeLow(0.01);
  c.Invalidate();
  w.repaint();
  EXPECT_TRUE(c.MappingValid());
  InstallWindowServices(&installed);
}

}  // namespace
