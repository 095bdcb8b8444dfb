// The window services on Qt: screen cursors as the application's override
// cursor, the message loop, the OK message box and system colours from the palette.
#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <map>
#include <vector>

#include "kelvo/platform/WindowServices.h"

namespace vexa::qt {

class TQtWindowServices : public IWindowServices {
 public:
  // The widget whose control is handling an input event (a host sets it
  // for the time of the event). A cursor the control selects then shows
  // over that widget only, and while it holds the mouse, so it never
  // sticks over the rest of the window; selected outside any input event,
  // a cursor is the application's override, and the default cursor clears
  // both.
  class TInputScope {
   public:
    explicit TInputScope(QWidget* Widget) : FSaved(sInputWidget) { sInputWidget = Widget; }
    ~TInputScope() { sInputWidget = FSaved; }
    TInputScope(const TInputScope&) = delete;
    TInputScope& operator=(const TInputScope&) = delete;

   private:
    QWidget* FSaved;
  };
  static QWidget* InputWidget() { return sInputWidget; }

  // The Qt cursor for a two-colour cursor image: a black outline, a white
  // inside, the screen where the AND mask is set.
  static QCursor MakeCursor(const TCursorImage& Image);
  // A cursor registered under Id, or nullptr.
  const QCursor* RegisteredCursor(TCursor Id) const {
    auto it = FCursors.find(Id);
    return it == FCursors.end() ? nullptr : &it->second;
  }

  TColor SysColor(int Index) const override;
  void RegisterCursor(TCursor Id, const TCursorImage& Image) override;
  void SetCursor(TCursor Id) override;
  TCursor Cursor() const override { return FCursor; }
  void ProcessMessages() override;
  void MessageBoxOK(const std::string& Text, const std::string& Caption) override;
  int DeviceCaps(int Index) const override {
    return (Index == ASPECTX || Index == ASPECTY) ? 36 : 0;
  }
  // Controls shown by a host repaint through the host; others (a chart's
  // axes) never ask.
  void Invalidate(TCustomControl*) override {}
  void Forget(TCustomControl*) override {}

 private:
  static inline QWidget* sInputWidget = nullptr;
  std::map<TCursor, QCursor> FCursors;
  std::vector<QPointer<QWidget>> FCursorWidgets;  // widgets showing a control's cursor
  TCursor FCursor = crDefault;
  bool FOverride = false;
};

}  // namespace vexa::qt
