// TCustomKelvo, the chart control, and TKelvo, its published form.
//
// An application draws by issuing commands in world coordinates; each
// appends one drawing item with the current attributes to the display list.
// Commands do not paint: ShowGraph, or the window system's paint, does.
#pragma once

#include <array>
#include <cstdint>

#include "chart/ChartTypes.h"
#include "chart/DisplayList.h"
#include "platform/Controls.h"

namespace vexa {

class TCustomKelvo : public TCustomControl {
 public:
  explicit TCustomKelvo(TComponent* AOwner = nullptr);
  ~TCustomKelvo() override;

  // --- drawing commands ---
  // Paints the data-area background into the data-area bitmap and empties
  // the display list (of every chart sharing it).
  void ClearGraph();
  // Brings the screen up to date: with AutoRedraw only the data area, else a full Paint.
  void ShowGraph();
  // A rectangle between two world corners (kind ikRectangle).
  void Rectangle(double X1, double Y1, double X2, double Y2);
  // A bar with a front face between two world corners, and a top and side
  // face Depth pixels deep at Angle degrees (clamped to 0..180; kind ikBar3D).
  void Bar3D(int32_t Depth, int32_t Angle, double X1, double Y1, double X2, double Y2);

  // --- the display list ---
  int32_t ItemCount() const { return FList.Count(); }
  const TDrawItem& Items(int32_t Index) const { return FList.Item(Index); }
  std::span<const TDrawItem> ItemList() const { return FList.Items(); }
  int32_t Capacity() const { return FList.Capacity(); }
  int32_t AllocSize() const { return FList.AllocSize(); }  // creation value 1000
  // Values outside 1 .. 1,000,000 are ignored.
  void SetAllocSize(int32_t Value) { FList.SetAllocSize(Value); }

  // --- current drawing attributes: copied into every new item; stored only ---
  TColor DataColor() const { return FDataColor; }  // creation value clBlack
  void SetDataColor(TColor Value) { FDataColor = Value; }
  TColor FillColor() const { return FFillColor; }  // creation value clSilver
  void SetFillColor(TColor Value) { FFillColor = Value; }
  TPenStyle PenStyle() const { return FPenStyle; }  // creation value psSolid
  void SetPenStyle(TPenStyle Value) { FPenStyle = Value; }
  uint8_t LineWidth() const { return FLineWidth; }  // creation value 1
  void SetLineWidth(uint8_t Value) { FLineWidth = Value; }
  uint8_t ClassDefault() const { return FClassDefault; }  // creation value 0
  // 255 is ignored: the classes of items are 0..254.
  void SetClassDefault(uint8_t Value) {
    if (Value != 255) FClassDefault = Value;
  }
  int32_t CurrentLayer() const { return FCurrentLayer; }  // creation value 1
  // Layers are 1..16; other values are ignored.
  void SetCurrentLayer(int32_t Value) {
    if (Value >= 1 && Value <= LayerCount) FCurrentLayer = Value;
  }

  // --- chart-wide text attributes: read at painting time; store, then RepaintIfAuto ---
  TFontStyles TextFontStyle() const { return FTextFontStyle; }  // creation value empty
  void SetTextFontStyle(TFontStyles Value);
  TTextBkg TextBkStyle() const { return FTextBkStyle; }  // creation value tbClear
  void SetTextBkStyle(TTextBkg Value);
  TColor TextBkColor() const { return FTextBkColor; }  // creation value clWhite
  void SetTextBkColor(TColor Value);
  TAlignment TextAlignment() const { return FTextAlignment; }  // creation value taCenter
  void SetTextAlignment(TAlignment Value);

  // --- appearance ---
  TColor ChartFrameColor() const { return FChartFrameColor; }  // creation value clBlack
  void SetChartFrameColor(TColor Value);  // store, then RepaintIfAuto

  // --- visibility tables: an item is drawn only when both entries are true ---
  bool ClassVisible(int Class) const;
  void SetClassVisible(int Class, bool Value);  // classes 0..255; store, then RepaintIfAuto
  bool LayerVisible(int Layer) const;
  void SetLayerVisible(int Layer, bool Value);  // layers 1..16; store, then RepaintIfAuto

  // --- painting ---
  bool AutoRedraw() const { return FAutoRedraw; }  // True after creation
  void SetAutoRedraw(bool Value) { FAutoRedraw = Value; }
  // A full Paint now when AutoRedraw is on or the control is being designed.
  void RepaintIfAuto();
  bool PaintLock() const { return FPaintLock; }
  // Unlocking paints at once; setting the value it already has does nothing.
  virtual void SetPaintLock(bool Value);

  int32_t MarginLeft() const { return FMarginLeft; }
  int32_t MarginRight() const { return FMarginRight; }
  int32_t MarginTop() const { return FMarginTop; }
  int32_t MarginBottom() const { return FMarginBottom; }
  int32_t ShadowWidth() const { return FShadowWidth; }

  // The off-screen bitmap the data area is rendered into; its pixel (0, 0)
  // is client pixel (MarginLeft, MarginTop).
  TBitmap& DataBitmap() { return FDataBitmap; }

  // --- data sharing: one display list, several charts ---
  // Hands this chart's list to every chart of its sharing group.
  void PropagateDisplayList();

  TRenderEvent OnBeforeRenderData;
  TRenderEvent OnDataRendered;

  // Overridable operations, in this order.
  void Paint() override;
  virtual void PaintDataBackground(TCanvas& Canvas, int32_t X, int32_t Y);
  virtual void RenderDisplayList(TBitmap& Bitmap);

 protected:
  // Draws the crosshairs into Bitmap and copies it onto Target at (X, Y).
  virtual void PresentBitmap(int32_t X, int32_t Y, TCanvas& Target, TBitmap& Bitmap);
  // Resizes the data-area bitmap to the area inside margins and shadow
  // (plus the closing frame's column and row).
  void SizeDataBitmap();
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;

  bool FPaintLock = true;

 private:
  TDrawItem& AppendItem(uint8_t Kind, double X1, double Y1, double X2, double Y2);
  // Repaints after ShowGraph: the source and all its users, then own users.
  void RefreshSharingCharts();

  TDisplayList FList;
  TColor FDataColor = clBlack;
  TColor FFillColor = clSilver;
  TPenStyle FPenStyle = TPenStyle::psSolid;
  uint8_t FLineWidth = 1;
  uint8_t FClassDefault = 0;
  int32_t FCurrentLayer = 1;

  TFontStyles FTextFontStyle;
  TTextBkg FTextBkStyle = TTextBkg::tbClear;
  TColor FTextBkColor = clWhite;
  TAlignment FTextAlignment = TAlignment::taCenter;

  std::array<bool, ItemClassCount> FClassVisible;
  std::array<bool, LayerCount + 1> FLayerVisible;  // index 0 unused

  TColor FChartFrameColor = clBlack;
  bool FAutoRedraw = true;
  // The standard layout sets these; they are the creation values it leaves.
  int32_t FMarginLeft = 50, FMarginRight = 20, FMarginTop = 20, FMarginBottom = 40;
  int32_t FShadowWidth = 0;

  TBitmap FDataBitmap;

  // Sharing group: a source and up to four users.
  TCustomKelvo* FSource = nullptr;
  std::array<TCustomKelvo*, 4> FUsers{};
  int32_t FUserCount = 0;
};

class TKelvo : public TCustomKelvo {
 public:
  using TCustomKelvo::TCustomKelvo;
  // Once the window exists the chart may paint.
  void CreateWnd() override;
};

}  // namespace vexa
