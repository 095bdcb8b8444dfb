// The window services on Qt: screen cursors as the application's override
// cursor, the message loop, the OK message box and system colours from the palette.
#pragma once

#include <QCursor>
#include <map>

#include "platform/WindowServices.h"

namespace vexa::qt {

class TQtWindowServices : public IWindowServices {
 public:
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
  std::map<TCursor, QCursor> FCursors;
  TCursor FCursor = crDefault;
  bool FOverride = false;
};

}  // namespace vexa::qt
