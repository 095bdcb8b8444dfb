#include "platform/qt/QtWindowServices.h"

#include <QApplication>
#include <QBitmap>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPalette>

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

void TQtWindowServices::RegisterCursor(TCursor Id, const TCursorImage& Image) {
  // Two-colour cursor: Qt's bitmap is the colour (1 = black), the mask the
  // opaque part. An AND bit of 1 lets the screen show through.
  QImage bits(32, 32, QImage::Format_Mono), mask(32, 32, QImage::Format_Mono);
  bits.fill(0);
  mask.fill(0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const uint32_t bit = 1u << (31 - x);
      const bool opaque = !(Image.AndMask[y] & bit);
      const bool white = Image.XorMask[y] & bit;
      mask.setPixel(x, y, opaque ? 1 : 0);
      bits.setPixel(x, y, opaque && !white ? 1 : 0);
    }
  FCursors[Id] =
      QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), Image.HotX, Image.HotY);
}

void TQtWindowServices::SetCursor(TCursor Id) {
  FCursor = Id;
  if (FOverride) {
    QGuiApplication::restoreOverrideCursor();
    FOverride = false;
  }
  if (Id == crDefault) return;
  if (Id == crCross) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
  } else if (auto it = FCursors.find(Id); it != FCursors.end()) {
    QGuiApplication::setOverrideCursor(it->second);
  } else {
    return;
  }
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
