// Drawing commands, current attributes and the text attributes.
#include <algorithm>
#include <cstring>

#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

// The item is composed here, all zeros but what is set, and copied in once.
template <class TExtra>
void TCustomKelvo::AppendItem(uint8_t Kind, double X1, double Y1, double X2, double Y2,
                              TExtra Extra) {
  alignas(16) TDrawItem item;
  std::memset(static_cast<void*>(&item), 0, sizeof item);  // padding too
  item.Kind = Kind;
  item.Layer = FSettings.CurrentLayer;
  item.ItemClass = FSettings.ClassDefault;
  // Corners as given: no ordering, no range check.
  item.X1 = X1;
  item.Y1 = Y1;
  item.X2 = X2;
  item.Y2 = Y2;
  item.Color = FSettings.DataColor;
  item.PenStyle = FSettings.PenStyle;
  item.FillColor = FSettings.FillColor;
  item.LineWidth = FSettings.LineWidth;
  Extra(item);
  FList.Append(item);
}

void TCustomKelvo::AppendItem(uint8_t Kind, double X1, double Y1, double X2, double Y2) {
  AppendItem(Kind, X1, Y1, X2, Y2, [](TDrawItem&) {});
}

void TCustomKelvo::Rectangle(double X1, double Y1, double X2, double Y2) {
  AppendItem(ikRectangle, X1, Y1, X2, Y2);
  PropagateDisplayList();
}

void TCustomKelvo::Bar3D(int32_t Depth, int32_t Angle, double X1, double Y1, double X2, double Y2) {
  AppendItem(ikBar3D, X1, Y1, X2, Y2, [&](TDrawItem& item) {
    item.Param2 = Depth;
    item.Param1 = std::clamp(Angle, 0, 180);
  });
  PropagateDisplayList();
}

void TCustomKelvo::MarkAt(double X, double Y, uint8_t Symbol) {
  AppendItem(ikMark, X, Y, 0, 0, [&](TDrawItem& item) { item.Symbol = Symbol; });
  PropagateDisplayList();
}

void TCustomKelvo::Line(double X1, double Y1, double X2, double Y2) {
  AppendItem(ikLine, X1, Y1, X2, Y2);
  PropagateDisplayList();
}

void TCustomKelvo::MoveTo(double X, double Y) {
  AppendItem(ikMoveTo, X, Y, 0, 0);
  PropagateDisplayList();
}

void TCustomKelvo::DrawTo(double X, double Y) {
  AppendItem(ikLineTo, X, Y, 0, 0);
  PropagateDisplayList();
}

void TCustomKelvo::MoveRel(int32_t DX, int32_t DY) {
  AppendItem(ikMoveRel, DX, DY, 0, 0);
  PropagateDisplayList();
}

void TCustomKelvo::LineRel(int32_t DX, int32_t DY) {
  AppendItem(ikLineRel, DX, DY, 0, 0);
  PropagateDisplayList();
}

void TCustomKelvo::Ellipse(double X, double Y, double RadiusX, double RadiusY, bool Transparent) {
  AppendItem(ikEllipse, X, Y, RadiusX, RadiusY,
             [&](TDrawItem& item) { item.Transparent = Transparent; });
  PropagateDisplayList();
}

void TCustomKelvo::Text(double X, double Y, const std::string& Text, int32_t Size,
                        uint8_t Alignment) {
  AppendItem(ikText, X, Y, 0, 0, [&](TDrawItem& item) {
    item.Text = TShortText::From(Text);
    item.Param1 = Size;
    item.Symbol = Alignment;
  });
  PropagateDisplayList();
}

void TCustomKelvo::TextOffset(double X, double Y, int32_t DX, int32_t DY, const std::string& Text,
                              int32_t Size, uint8_t Alignment) {
  AppendItem(ikTextOffset, X, Y, DX, DY, [&](TDrawItem& item) {
    item.Text = TShortText::From(Text);
    item.Param1 = Size;
    item.Symbol = Alignment;
  });
  PropagateDisplayList();
}

void TCustomKelvo::Arrow(double X1, double Y1, double X2, double Y2, int32_t HeadLength,
                         bool Transparent) {
  AppendItem(ikArrow, X1, Y1, X2, Y2, [&](TDrawItem& item) {
    item.Param1 = HeadLength;
    item.Transparent = Transparent;
  });
  PropagateDisplayList();
}

void TCustomKelvo::ErrorBar(double X, double Y, double Lower, double Upper, bool Horizontal,
                            uint8_t Symbol) {
  AppendItem(ikErrorMark, X, Y, Lower, Upper, [&](TDrawItem& item) {
    item.Param1 = Horizontal ? 1 : 0;
    item.Symbol = Symbol;
  });
  PropagateDisplayList();
}

void TCustomKelvo::BevelBox(double X1, double Y1, double X2, double Y2, TFrameStyle Style,
                            TColor Color1, TColor Color2) {
  AppendItem(ikBevelBox, X1, Y1, X2, Y2, [&](TDrawItem& item) {
    item.FrameStyle = Style;
    item.FrameColor1 = Color1;
    item.FrameColor2 = Color2;
  });
  PropagateDisplayList();
}

void TCustomKelvo::PixelBox(double X, double Y, int32_t HalfWidth, int32_t HalfHeight,
                            bool Transparent) {
  AppendItem(ikPixelBox, X, Y, HalfWidth, HalfHeight,
             [&](TDrawItem& item) { item.Transparent = Transparent; });
  PropagateDisplayList();
}

void TCustomKelvo::ClearGraph() {
  FDataInFrame = false;  // painted over wholly
  PaintDataBackground(FDataBitmap.Canvas(), 0, 0);
  FList.Clear();
  PropagateDisplayList();
}

void TCustomKelvo::ShowGraph() {
  if (Visible()) {
    PropagateDisplayList();
    if (!FMappingValid) {
      // The picture waits for a valid mapping (see UpdateMapping).
    } else if (FSettings.AutoRedraw) {
      FDataInFrame = false;  // painted over wholly
      PaintDataBackground(FDataBitmap.Canvas(), 0, 0);
      RenderDisplayList(FDataBitmap);
      PresentBitmap(DeviceDataArea().Left, DeviceDataArea().Top, Canvas(), FDataBitmap);
    } else {
      RepaintAfterChange();
    }
  }
  RefreshSharingCharts();
}

void TCustomKelvo::SetTextFontStyle(TFontStyles Value) {
  FSettings.TextFontStyle = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetTextBkStyle(TTextBkg Value) {
  FSettings.TextBkStyle = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetTextBkColor(TColor Value) {
  FSettings.TextBkColor = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetTextAlignment(TAlignment Value) {
  FSettings.TextAlignment = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetClassVisible(int Class, bool Value) {
  if (Class < 0 || Class >= ItemClassCount) return;
  FSettings.ClassVisible[static_cast<size_t>(Class)] = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetLayerVisible(int Layer, bool Value) {
  if (Layer < 1 || Layer > LayerCount) return;
  FSettings.LayerVisible[static_cast<size_t>(Layer)] = Value;
  RepaintIfAuto();
}

}  // namespace vexa
