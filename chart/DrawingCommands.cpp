// Drawing commands, current attributes and the text attributes.
#include <algorithm>

#include "chart/CustomKelvo.h"

namespace vexa {

TDrawItem& TCustomKelvo::AppendItem(uint8_t Kind, double X1, double Y1, double X2, double Y2) {
  TDrawItem& item = FList.Append();
  item.Kind = Kind;
  item.Layer = FCurrentLayer;
  item.ItemClass = FClassDefault;
  // Corners as given: no ordering, no range check.
  item.X1 = X1;
  item.Y1 = Y1;
  item.X2 = X2;
  item.Y2 = Y2;
  item.Color = FDataColor;
  item.PenStyle = FPenStyle;
  item.FillColor = FFillColor;
  item.LineWidth = FLineWidth;
  return item;
}

void TCustomKelvo::Rectangle(double X1, double Y1, double X2, double Y2) {
  AppendItem(ikRectangle, X1, Y1, X2, Y2);
  PropagateDisplayList();
}

void TCustomKelvo::Bar3D(int32_t Depth, int32_t Angle, double X1, double Y1, double X2, double Y2) {
  TDrawItem& item = AppendItem(ikBar3D, X1, Y1, X2, Y2);
  item.Param2 = Depth;
  item.Param1 = std::clamp(Angle, 0, 180);
  PropagateDisplayList();
}

void TCustomKelvo::ClearGraph() {
  PaintDataBackground(FDataBitmap.Canvas(), 0, 0);
  FList.Clear();
  PropagateDisplayList();
}

void TCustomKelvo::ShowGraph() {
  if (Visible()) {
    PropagateDisplayList();
    if (FAutoRedraw) {
      PaintDataBackground(FDataBitmap.Canvas(), 0, 0);
      RenderDisplayList(FDataBitmap);
      PresentBitmap(FMarginLeft, FMarginTop, Canvas(), FDataBitmap);
    } else {
      Paint();
    }
  }
  RefreshSharingCharts();
}

void TCustomKelvo::SetTextFontStyle(TFontStyles Value) {
  FTextFontStyle = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetTextBkStyle(TTextBkg Value) {
  FTextBkStyle = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetTextBkColor(TColor Value) {
  FTextBkColor = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetTextAlignment(TAlignment Value) {
  FTextAlignment = Value;
  RepaintIfAuto();
}

bool TCustomKelvo::ClassVisible(int Class) const {
  return Class >= 0 && Class < ItemClassCount && FClassVisible[static_cast<size_t>(Class)];
}

void TCustomKelvo::SetClassVisible(int Class, bool Value) {
  if (Class < 0 || Class >= ItemClassCount) return;
  FClassVisible[static_cast<size_t>(Class)] = Value;
  RepaintIfAuto();
}

bool TCustomKelvo::LayerVisible(int Layer) const {
  return Layer >= 1 && Layer <= LayerCount && FLayerVisible[static_cast<size_t>(Layer)];
}

void TCustomKelvo::SetLayerVisible(int Layer, bool Value) {
  if (Layer < 1 || Layer > LayerCount) return;
  FLayerVisible[static_cast<size_t>(Layer)] = Value;
  RepaintIfAuto();
}

}  // namespace vexa
