#include "kelvo/qt/QtWindowServices.h"

#include <QApplication>
#include <QBitmap>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPalette>
#include <algorithm>

#include "kelvo/qt/QtHost.h"

namespace vexa::qt {

TColor TQtWindowServices::SysColor(int Index) const {
  // The palette stands in for the system's colours where it has them.
  const QPalette pal = QGuiApplication::palette();
  QColor c;
  switch (Index) {
    case 5:
      c = pal.color(QPalette::Base);
      break;  // window
    case 8:
      c = pal.color(QPalette::WindowText);
      break;  // window text
    case 15:
      c = pal.color(QPalette::Button);
      break;  // button face
    case 16:
      c = pal.color(QPalette::Dark);
      break;  // button shadow
    case 17:
      c = pal.color(QPalette::Disabled, QPalette::Text);
      break;  // grey text
    case 20:
      c = pal.color(QPalette::Light);
      break;  // button highlight
    default:
      return HeadlessWindowServices().SysColor(Index);
  }
  return static_cast<TColor>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

QCursor TQtWindowServices::MakeCursor(const TCursorImage& Image) {
  // A two-colour cursor is defined by two masks: AND 1 + XOR 0 shows the
  // screen, AND 0 + XOR 0 black, AND 0 + XOR 1 white, AND 1 + XOR 1 the
  // inverted screen. Qt's pair: the mask is where the cursor is opaque, the
  // bitmap's set pixels are black there (and invert the screen outside the
  // mask where the platform can). Both colour tables are given so that a
  // set pixel is Qt::color1 whatever the default table.
  QImage bits(32, 32, QImage::Format_Mono), mask(32, 32, QImage::Format_Mono);
  const QList<QRgb> table = {qRgb(255, 255, 255), qRgb(0, 0, 0)};  // color0, color1
  bits.setColorTable(table);
  mask.setColorTable(table);
  bits.fill(0);
  mask.fill(0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const uint32_t bit = 1u << (31 - x);
      const bool andBit = Image.AndMask[static_cast<size_t>(y)] & bit;
      const bool xorBit = Image.XorMask[static_cast<size_t>(y)] & bit;
      mask.setPixel(x, y, andBit ? 0 : 1);
      bits.setPixel(x, y, andBit ? (xorBit ? 1 : 0) : (xorBit ? 0 : 1));
    }
  return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), Image.HotX, Image.HotY);
}

void TQtWindowServices::RegisterCursor(TCursor Id, const TCursorImage& Image) {
  FCursors[Id] = MakeCursor(Image);
}

void TQtWindowServices::SetCursor(TCursor Id) {
  FCursor = Id;
  QCursor cursor;
  const bool chosen = Id != crDefault;
  if (Id == crCross) {
    cursor = QCursor(Qt::CrossCursor);
  } else if (auto it = FCursors.find(Id); it != FCursors.end()) {
    cursor = it->second;
  } else if (chosen) {
    return;  // no such cursor: nothing changes
  }
  if (QWidget* w = sInputWidget) {
    if (chosen) {
      w->setCursor(cursor);
      if (std::find(FCursorWidgets.begin(), FCursorWidgets.end(), w) == FCursorWidgets.end())
        FCursorWidgets.emplace_back(w);
    } else if (auto* host = dynamic_cast<TQtControlHost*>(w)) {
      host->ShowControlCursor();  // back to the control's own cursor
    } else {
      w->unsetCursor();
    }
    return;
  }
  if (FOverride) {
    QGuiApplication::restoreOverrideCursor();
    FOverride = false;
  }
  if (!chosen) {
    for (const QPointer<QWidget>& w : FCursorWidgets) {
      if (auto* host = dynamic_cast<TQtControlHost*>(w.data()))
        host->ShowControlCursor();
      else if (w)
        w->unsetCursor();
    }
    FCursorWidgets.clear();
    return;
  }
  QGuiApplication::setOverrideCursor(cursor);
  FOverride = true;
}

void TQtWindowServices::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtWindowServices::MessageBoxOK(const std::string& Text, const std::string& Caption) {
  QMessageBox::information(QApplication::activeWindow(), QString::fromStdString(Caption),
                           QString::fromStdString(Text), QMessageBox::Ok);
}

}  // namespace vexa::qt
