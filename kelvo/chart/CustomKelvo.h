// TCustomKelvo, the chart control, and TKelvo, its published form.
//
// An application draws by issuing commands in world coordinates; each
// appends one drawing item with the current attributes to the display list.
// Commands do not paint: ShowGraph, or the window system's paint, does.
// The chart owns 16 layers, each with a horizontal and a vertical axis
// (TScale) described by a settings object, four crosshairs, thirty text
// labels, the background settings, the joint-layer table and three bitmaps.
//
// The code is split by concern: CustomKelvo.cpp (construction, copying,
// painting state, data sharing), DrawingCommands.cpp, Mapping.cpp,
// LayerRanges.cpp, Layouts.cpp (margins, layouts, resizing),
// ChartProperties.cpp (plain properties and the stored form), Cursors.cpp.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "kelvo/base/CrossHair.h"
#include "kelvo/chart/BakGndImg.h"
#include "kelvo/chart/BoxPlot.h"
#include "kelvo/chart/Candles.h"
#include "kelvo/chart/ChartTypes.h"
#include "kelvo/chart/ColorBar.h"
#include "kelvo/chart/ColorMap.h"
#include "kelvo/chart/DisplayList.h"
#include "kelvo/chart/Histogram.h"
#include "kelvo/chart/JointLayers.h"
#include "kelvo/chart/LayerMapping.h"
#include "kelvo/chart/Legend.h"
#include "kelvo/chart/NearestItem.h"
#include "kelvo/chart/ScaleProps.h"
#include "kelvo/chart/Series.h"
#include "kelvo/chart/TextLabel.h"
#include "kelvo/platform/Controls.h"
#include "kelvo/scale/Scale.h"

namespace vexa {

namespace render {
class TRenderState;
}

// Lowest and highest allowed world values; all zero means no limits, and
// as soon as one is non-zero all four apply.
struct TRangeLimits {
  long double LoX = 0, LoY = 0, HiX = 0, HiY = 0;
  bool Any() const { return LoX != 0 || LoY != 0 || HiX != 0 || HiY != 0; }
};

constexpr int32_t CrossHairCount = 4;
constexpr int32_t TextLabelCount = 30;
// Layers 1..4 have their axis settings in the stored form (Scale1X .. Scale4Y).
constexpr int32_t StoredLayerCount = 4;

namespace render {
class TItemDrawer;
}

class TCustomKelvo : public TCustomControl, private IJointLayersOwner {
  friend class render::TItemDrawer;  // draws items with the chart's settings and mapping

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

  // Further commands, one item each with the current attributes, as
  // Rectangle: the renderer draws every kind.
  // A mark symbol (DrawMark code) at a world point, drawn only inside the layer's ranges.
  void MarkAt(double X, double Y, uint8_t Symbol);
  // A straight line between two world points.
  void Line(double X1, double Y1, double X2, double Y2);
  // Moves the pen to a world point; DrawTo draws from the pen to a world
  // point (runs of DrawTo become polylines).
  void MoveTo(double X, double Y);
  void DrawTo(double X, double Y);
  // Moves the pen, or draws from it, by a pixel offset.
  void MoveRel(int32_t DX, int32_t DY);
  void LineRel(int32_t DX, int32_t DY);
  // An ellipse around a world centre with radii in world units; Transparent
  // leaves it unfilled.
  void Ellipse(double X, double Y, double RadiusX, double RadiusY, bool Transparent = false);
  // Text at a world point in Size points; Alignment 0 starts, 1 ends, 2
  // centres the text at the point. The text is cut to 17 bytes.
  void Text(double X, double Y, const std::string& Text, int32_t Size, uint8_t Alignment = 0);
  // As Text, with the anchor moved by a pixel offset.
  void TextOffset(double X, double Y, int32_t DX, int32_t DY, const std::string& Text, int32_t Size,
                  uint8_t Alignment = 0);
  // A line with a head of HeadLength pixels at the second point; an open
  // head when Transparent.
  void Arrow(double X1, double Y1, double X2, double Y2, int32_t HeadLength,
             bool Transparent = false);
  // An error bar at (X, Y) from Lower below to Upper above, vertical or
  // horizontal, with a mark symbol at the centre.
  void ErrorBar(double X, double Y, double Lower, double Upper, bool Horizontal, uint8_t Symbol);
  // A box filled in FillColor with a bevelled edge in two colours.
  void BevelBox(double X1, double Y1, double X2, double Y2, TFrameStyle Style, TColor Color1,
                TColor Color2);
  // A rectangle of fixed pixel half-sizes around a world point.
  void PixelBox(double X, double Y, int32_t HalfWidth, int32_t HalfHeight,
                bool Transparent = false);

  // --- the display list ---
  int32_t ItemCount() const { return FList.Count(); }
  const TDrawItem& Items(int32_t Index) const { return FList.Item(Index); }
  std::span<const TDrawItem> ItemList() const { return FList.Items(); }
  int32_t Capacity() const { return FList.Capacity(); }
  int32_t AllocSize() const { return FList.AllocSize(); }  // 1000
  // Values outside 1 .. 1,000,000 are ignored.
  void SetAllocSize(int32_t Value) { FList.SetAllocSize(Value); }

  // --- current drawing attributes: copied into every new item; stored only ---
  TColor DataColor() const { return FSettings.DataColor; }  // clBlack
  void SetDataColor(TColor Value) { FSettings.DataColor = Value; }
  TColor FillColor() const { return FSettings.FillColor; }  // clSilver
  void SetFillColor(TColor Value) { FSettings.FillColor = Value; }
  TPenStyle PenStyle() const { return FSettings.PenStyle; }  // psSolid
  void SetPenStyle(TPenStyle Value) { FSettings.PenStyle = Value; }
  uint8_t LineWidth() const { return FSettings.LineWidth; }  // 1
  void SetLineWidth(uint8_t Value) { FSettings.LineWidth = Value; }
  uint8_t ClassDefault() const { return FSettings.ClassDefault; }  // 0
  // 255 is ignored: the classes of items are 0..254.
  void SetClassDefault(uint8_t Value) {
    if (Value != 255) FSettings.ClassDefault = Value;
  }
  int32_t CurrentLayer() const { return FSettings.CurrentLayer; }  // 1
  // Layers are 1..16; other values are ignored.
  void SetCurrentLayer(int32_t Value) {
    if (Value >= 1 && Value <= LayerCount) FSettings.CurrentLayer = Value;
  }

  // --- chart-wide text attributes: read at painting time; store, then RepaintIfAuto ---
  TFontStyles TextFontStyle() const { return FSettings.TextFontStyle; }  // empty
  void SetTextFontStyle(TFontStyles Value);
  TTextBkg TextBkStyle() const { return FSettings.TextBkStyle; }  // tbClear
  void SetTextBkStyle(TTextBkg Value);
  TColor TextBkColor() const { return FSettings.TextBkColor; }  // clWhite
  void SetTextBkColor(TColor Value);
  TAlignment TextAlignment() const { return FSettings.TextAlignment; }  // taCenter
  void SetTextAlignment(TAlignment Value);

  // --- visibility tables: an item is drawn only when both entries are true ---
  bool ClassVisible(int Class) const {
    return Class >= 0 && Class < ItemClassCount &&
           FSettings.ClassVisible[static_cast<size_t>(Class)];
  }
  void SetClassVisible(int Class, bool Value);  // classes 0..255; store, then RepaintIfAuto
  bool LayerVisible(int Layer) const {
    return Layer >= 1 && Layer <= LayerCount && FSettings.LayerVisible[static_cast<size_t>(Layer)];
  }
  void SetLayerVisible(int Layer, bool Value);  // layers 1..16; store, then RepaintIfAuto

  // --- published properties (creation value; write behaviour) ---
  bool AvoidDuplicateMarks() const { return FSettings.AvoidDuplicateMarks; }  // False
  void SetAvoidDuplicateMarks(bool Value);                  // if different: store, Paint at once
  bool AutoRedraw() const { return FSettings.AutoRedraw; }  // True
  void SetAutoRedraw(bool Value) { FSettings.AutoRedraw = Value; }
  // The margins as set; a legend beside the data area (TLegend) takes its
  // room from the data area on top of them (DataArea gives the area in use).
  int32_t MarginLeft() const { return StoredMargin(0); }  // 50
  void SetMarginLeft(int32_t Value);
  int32_t MarginRight() const { return StoredMargin(1); }  // 20
  void SetMarginRight(int32_t Value);
  int32_t MarginTop() const { return StoredMargin(2); }  // 20
  void SetMarginTop(int32_t Value);
  int32_t MarginBottom() const { return StoredMargin(3); }  // 40
  void SetMarginBottom(int32_t Value);
  int32_t LRim() const { return MarginLeft(); }  // second names of the margins
  void SetLRim(int32_t Value) { SetMarginLeft(Value); }
  int32_t RRim() const { return MarginRight(); }
  void SetRRim(int32_t Value) { SetMarginRight(Value); }
  int32_t TRim() const { return MarginTop(); }
  void SetTRim(int32_t Value) { SetMarginTop(Value); }
  int32_t BRim() const { return MarginBottom(); }
  void SetBRim(int32_t Value) { SetMarginBottom(Value); }
  int32_t MinDupMarkDist() const { return FSettings.MinDupMarkDist; }  // 1
  // Clamped to 1..3; a change paints at once.
  void SetMinDupMarkDist(int32_t Value);
  TBakGndImg& BackGroundImg() { return *FBackGroundImg; }
  void SetBackGroundImg(const TBakGndImg& Value);  // copies the settings in; store, repaint
  GridStyleType GridStyle() const { return FSettings.GridStyle; }  // gsNone
  void SetGridStyle(GridStyleType Value);
  double GridDx() const { return FSettings.GridDx; }  // 0; values below -3 are ignored
  void SetGridDx(double Value);
  double GridDy() const { return FSettings.GridDy; }
  void SetGridDy(double Value);
  bool Isometric() const { return FSettings.Isometric; }  // False
  // Switching on fits every layer's vertical range to the horizontal scale.
  void SetIsometric(bool Value);
  TColor ChartFrameColor() const { return FSettings.ChartFrameColor; }  // clBlack; store, repaint
  void SetChartFrameColor(TColor Value);
  TColor ChartColor() const { return FSettings.ChartColor; }  // clWhite
  void SetChartColor(TColor Value);
  TColor WindColor() const { return FSettings.WindColor; }  // clBtnFace
  void SetWindColor(TColor Value);
  TColor GridColor() const { return FSettings.GridColor; }  // clBlack
  void SetGridColor(TColor Value);
  TJointLayers& JointLayers() { return *FJointLayers; }
  void SetJointLayers(const TJointLayers& Value);  // copies the tables in; store, repaint
  const std::string& Caption() const { return FSettings.Caption; }  // empty; store, repaint
  void SetCaption(const std::string& Value);
  int32_t CaptionPosX() const { return FSettings.CaptionPosX; }  // 0
  void SetCaptionPosX(int32_t Value);
  int32_t CaptionPosY() const { return FSettings.CaptionPosY; }  // -16
  void SetCaptionPosY(int32_t Value);
  TAlignment CaptionAlignment() const { return FSettings.CaptionAlignment; }  // taRightJustify
  void SetCaptionAlignment(TAlignment Value);
  TCaptionAnchorHoriz CaptionAnchorHoriz() const {
    return FSettings.CaptionAnchorHoriz;
  }  // cahChartRight
  void SetCaptionAnchorHoriz(TCaptionAnchorHoriz Value);
  TCaptionAnchorVert CaptionAnchorVert() const {
    return FSettings.CaptionAnchorVert;
  }  // cavChartTop
  void SetCaptionAnchorVert(TCaptionAnchorVert Value);
  // Crosshairs count from 1: 1..4 (index outside gives crosshair 1).
  TCrossHair& CrossHair(int32_t Index);
  void SetCrossHair(int32_t Index, const TCrossHair& Value);  // copies the settings in; repaint
  TCrossHair& CrossHair1() { return CrossHair(1); }
  TCrossHair& CrossHair2() { return CrossHair(2); }
  TCrossHair& CrossHair3() { return CrossHair(3); }
  TCrossHair& CrossHair4() { return CrossHair(4); }
  TMouseActMode MouseAction() const { return FSettings.MouseAction; }  // maNone
  void SetMouseAction(TMouseActMode Value) { FSettings.MouseAction = Value; }
  bool MouseCursorFixed() const { return FSettings.MouseCursorFixed; }  // True
  void SetMouseCursorFixed(bool Value) { FSettings.MouseCursorFixed = Value; }
  double PanGridDx() const { return FSettings.PanGridDx; }  // 1
  void SetPanGridDx(double Value) { FSettings.PanGridDx = Value; }
  double PanGridDy() const { return FSettings.PanGridDy; }  // 1
  void SetPanGridDy(double Value) { FSettings.PanGridDy = Value; }
  TScalePropsHoriz& Scale1X() { return ScalePropsX(1); }
  TScalePropsVert& Scale1Y() { return ScalePropsY(1); }
  TScalePropsHoriz& Scale2X() { return ScalePropsX(2); }
  TScalePropsVert& Scale2Y() { return ScalePropsY(2); }
  TScalePropsHoriz& Scale3X() { return ScalePropsX(3); }
  TScalePropsVert& Scale3Y() { return ScalePropsY(3); }
  TScalePropsHoriz& Scale4X() { return ScalePropsX(4); }
  TScalePropsVert& Scale4Y() { return ScalePropsY(4); }
  // Writing ScaleNX/ScaleNY: copies the settings into the chart's own object
  // (no notification), then a full Paint only in design mode.
  void SetScaleX(int32_t Layer, const TScalePropsHoriz& Value);
  void SetScaleY(int32_t Layer, const TScalePropsVert& Value);
  TkvLayout StandardLayout() const { return FSettings.StandardLayout; }  // kvl_X1Bottom_Y1Left
  void SetStandardLayout(TkvLayout Value);
  int32_t ShadowWidth() const { return FSettings.ShadowWidth; }  // 0; clamped to 0..32
  void SetShadowWidth(int32_t Value);
  TShadowStyle ShadowStyle() const { return FSettings.ShadowStyle; }  // ssFlying
  void SetShadowStyle(TShadowStyle Value);
  TColor ShadowColor() const { return FSettings.ShadowColor; }  // clGrayText
  void SetShadowColor(TColor Value);
  TColor ShadowBakColor() const { return FSettings.ShadowBakColor; }  // clBtnFace
  void SetShadowBakColor(TColor Value);

  // --- layers, axes and their settings ---
  // Layers count from 1: 1..16; layer 1's objects for any number outside.
  TScalePropsHoriz& ScalePropsX(int32_t Layer);
  TScalePropsVert& ScalePropsY(int32_t Layer);
  const TScalePropsHoriz& ScalePropsX(int32_t Layer) const;
  const TScalePropsVert& ScalePropsY(int32_t Layer) const;
  TScale& ScaleX(int32_t Layer);
  TScale& ScaleY(int32_t Layer);
  // Text labels count from 1: 1..30; index outside gives label 1.
  TTextLabel& TextLabels(int32_t Index);
  bool MouseAffectsLayer(int32_t Layer) const;
  void SetMouseAffectsLayer(int32_t Layer, bool Value);
  int32_t AspectX() const { return FSettings.AspectX; }
  int32_t AspectY() const { return FSettings.AspectY; }
  const TRangeLimits& RangeLimits() const { return FSettings.RangeLimits; }
  void SetRangeLimits(const TRangeLimits& Value) { FSettings.RangeLimits = Value; }

  // --- mapping ---
  // Recomputes all layers' factors; raises EVexaKelvoError "Logarithmic axis
  // must not be negative." for a logarithmic range that is not positive (the
  // axes before it are updated, the rest keep their factors). Does nothing
  // while loading. A full paint maps the same way and raises the same.
  // Setters never raise for it: code may set an axis up in any order
  // (logarithmic first, then its range), and a change that leaves such a
  // range for the moment maps the valid axes and leaves the picture as it
  // is until the range is valid again (MappingValid false).
  virtual void UpdateMapping();
  // False while a logarithmic range is not positive (see UpdateMapping).
  bool MappingValid() const { return FMappingValid; }
  // Client pixel of a world point (layer clamped to 1..16); never allocates.
  void WorldToPixel(int32_t Layer, double X, double Y, int32_t& PX, int32_t& PY) const;
  // World point of a client pixel. On an empty data area the axis gives its RangeLow.
  void PixelToWorld(int32_t Layer, int32_t PX, int32_t PY, double& X, double& Y) const;
  // The same for a position between pixels (a pointer on a high-density screen).
  void PixelToWorld(int32_t Layer, double PX, double PY, double& X, double& Y) const;
  // Clamps both to -30000..30000; true when either changed.
  static bool ClipPixel(int32_t& PX, int32_t& PY) {
    const int32_t x = PX < -30000 ? -30000 : (PX > 30000 ? 30000 : PX);
    const int32_t y = PY < -30000 ? -30000 : (PY > 30000 ? 30000 : PY);
    const bool changed = x != PX || y != PY;
    PX = x;
    PY = y;
    return changed;
  }
  const TLayerMapping& Mapping(int32_t Layer) const;
  // The same mapping onto the device pixels of the surface (Mapping itself
  // at a device pixel ratio of 1): a world point lands on its nearest
  // device pixel. The chart draws with these.
  const TLayerMapping& DeviceMapping(int32_t Layer) const;
  // The data area on the device surface: Left and Top where the data bitmap
  // stands, Right and Bottom the lines of its frame (the margins' logical
  // positions mapped). Drawing code takes its edges from here.
  struct TDeviceDataArea {
    int32_t Left, Top, Right, Bottom;
  };
  TDeviceDataArea DeviceDataArea() const {
    const TDeviceScale& d = DeviceScale();
    return {d.Position(FSettings.MarginLeft), d.Position(FSettings.MarginTop),
            d.Position(int64_t{Width()} - FSettings.MarginRight - FSettings.ShadowWidth),
            d.Position(int64_t{Height()} - FSettings.MarginBottom - FSettings.ShadowWidth)};
  }

  // --- wheel zoom and zoom history (off or unused unless asked for) ---
  // With MouseWheelZoom on, the wheel zooms the layers the mouse affects
  // about the world point under the cursor, WheelZoomFactor per notch
  // (Shift: horizontally only, Ctrl: vertically only; logarithmic axes in
  // log space), through SetLayerRanges, keeping the span at a range limit,
  // then fires OnZoomPan. OnMouseWheel and friends come first.
  bool MouseWheelZoom() const { return FMouseWheelZoom; }  // False
  void SetMouseWheelZoom(bool Value) { FMouseWheelZoom = Value; }
  double WheelZoomFactor() const {
    return FWheelZoomFactor;
  }  // 1.25; values outside (1, 100] are ignored
  void SetWheelZoomFactor(double Value);
  // Every range change a mouse action or the wheel makes is kept (up to
  // ZoomHistoryLimit states; the first is the state before the first change).
  // Back, forward and home restore all 16 layers through SetLayerRanges and
  // fire OnZoomPan; false when there is no such state.
  static constexpr size_t ZoomHistoryLimit = 100;
  bool ZoomBack();
  bool ZoomForward();
  bool ZoomHome();
  size_t ZoomHistoryCount() const { return FZoomHistory.size(); }
  // With ZoomHistoryKeys on, Backspace goes back, Shift+Backspace forward and
  // Home home (the key is then eaten).
  bool ZoomHistoryKeys() const { return FZoomHistoryKeys; }  // False
  void SetZoomHistoryKeys(bool Value) { FZoomHistoryKeys = Value; }
  bool DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;

  // --- the item under the mouse ---
  // The drawing item nearest to client pixel (X, Y) among the visible items
  // of all layers, no further than MaxPixels: its index, layer, the world
  // point (for lines and boxes the nearest point on them) and the distance.
  // Marks, texts and pixel boxes count as their points, lines and line-to
  // items as segments, rectangles, bars and ellipses as their boxes; on equal
  // distances the item drawn later wins. An index of the items' pixels is
  // built on the first question and again after the items, the ranges or the
  // visibility changed.
  // Series points count too (Series and Point say which; Index is -1), each
  // as a point, drawn after the items; their search reads only the points
  // near the pixel (sorted data) or the blocks whose extent comes near it.
  TNearestItem FindNearestItem(int32_t X, int32_t Y, double MaxPixels);
  // A crosshair dragged with maDragCrossH snaps to the nearest item within
  // ItemPixels of the mouse (False).
  bool CrossHairSnap() const { return FCrossHairSnap; }
  void SetCrossHairSnap(bool Value) { FCrossHairSnap = Value; }
  // With ItemHover on, every mouse move reports the nearest item within
  // ItemPixels (Index -1: none) through OnItemHover (False).
  bool ItemHover() const { return FItemHover; }
  void SetItemHover(bool Value) { FItemHover = Value; }
  int32_t ItemPixels() const { return FItemPixels; }  // 8; values below 0 are ignored
  void SetItemPixels(int32_t Value) {
    if (Value >= 0) FItemPixels = Value;
  }
  std::function<void(TObject* Sender, const TNearestItem& Item)> OnItemHover;

  // --- picture export ---
  // Writes the chart as the user sees it to a PNG file, an SVG file for the
  // extension .svg, BMP for any other. With a width and height, the chart is
  // drawn at that size (a copy of it; this control is not changed). A size
  // beyond what a picture can have (MaxBitmapSide a side, MaxBitmapBytes in
  // all), or smaller than the chart's margins allow, raises EInvalidGraphic
  // naming the size and the limit: a picture is the size asked for or none.
  // A file that cannot be written raises EFOpenError ("Cannot create file
  // ..."). The export needs no more than one picture of memory besides the
  // one it writes.
  // Ratio (1 to 4, else EInvalidGraphic; 0: the chart's DevicePixelRatio)
  // draws the picture in device pixels at that ratio, ceil(size x Ratio)
  // pixels a side (a 2x PNG for print); an SVG stays in logical pixels.
  void SaveToFile(const std::string& FileName, int32_t AWidth = 0, int32_t AHeight = 0,
                  double Ratio = 0);
  // Paints the chart and draws the picture into Canvas with its top-left at (X, Y).
  void PaintTo(TCanvas& Canvas, int32_t X, int32_t Y);
  // The chart as an SVG document: what the paint draws as vector shapes and
  // text, pictures (the background image) embedded as PNG. Sizes as for
  // SaveToFile.
  std::string SvgDocument(int32_t AWidth = 0, int32_t AHeight = 0);

  // --- range application ---
  void CopyScaleSettings(TScale& Scale, const TScaleProps& Props);
  void ApplyScaleSettings();
  void ApplyLayerRanges(int32_t Layer, long double LoX, long double LoY, long double HiX,
                        long double HiY, bool ApplyLimits);
  void SetLayerRanges(int32_t Layer, long double LoX, long double LoY, long double HiX,
                      long double HiY, bool ApplyLimits);

  // --- painting ---
  // A full Paint now when AutoRedraw is on or the control is being designed.
  void RepaintIfAuto();
  // The full paint that follows a change: skipped while the mapping is not
  // valid, which only an explicit Paint or UpdateMapping reports.
  void RepaintAfterChange();
  // UpdateMapping without the report: false at a logarithmic range that is
  // not positive.
  bool MapLayers();
  // Runs after every change the mapping depends on (size, margins, shadow,
  // loading, Assign, ranges): the overridable UpdateMapping whenever it can
  // succeed; while a logarithmic range is not positive yet, MapLayers stands
  // in, so the bad range is reported by the next explicit Paint or
  // UpdateMapping and not by the setter that made it.
  void RemapLayers();
  bool PaintLock() const { return FPaintLock; }
  // The renderer's shortcuts, which leave the picture as it is: long solid
  // line runs drawn from the display list's block summary, a mark repeated
  // on its own pixel drawn once, filled squares written straight in. On
  // from creation; off draws every item the general way, for comparison.
  bool RenderShortcuts() const { return FRenderShortcuts; }
  void SetRenderShortcuts(bool Value) { FRenderShortcuts = Value; }
  // Unlocking paints at once; setting the value it already has does nothing.
  virtual void SetPaintLock(bool Value);
  // Holds the paint lock over a multi-step update so that the chart paints
  // once at the end, and gives it back on every way out. Unlock() restores
  // the saved value through SetPaintLock (painting when that unlocks);
  // Restore() and leaving the scope any other way, by an exception too,
  // put the saved value back without painting.
  class TPaintLockScope {
   public:
    // Value false opens the lock for the scope instead (a picture asked for).
    explicit TPaintLockScope(TCustomKelvo& Chart, bool Value = true)
        : FChart(Chart), FSaved(Chart.FPaintLock) {
      Chart.FPaintLock = Value;
    }
    TPaintLockScope(const TPaintLockScope&) = delete;
    TPaintLockScope& operator=(const TPaintLockScope&) = delete;
    ~TPaintLockScope() {
      if (FHeld) FChart.FPaintLock = FSaved;
    }
    bool Saved() const { return FSaved; }
    void Restore() {
      if (!FHeld) return;
      FHeld = false;
      FChart.FPaintLock = FSaved;
    }
    void Unlock() {
      if (!FHeld) return;
      FHeld = false;
      FChart.SetPaintLock(FSaved);
    }

   private:
    TCustomKelvo& FChart;
    bool FSaved;
    bool FHeld = true;
  };
  // The off-screen bitmap the data area is rendered into; its pixel (0, 0)
  // is client pixel (MarginLeft, MarginTop). A full paint renders the data
  // area in place in the frame when it lies inside it; this bitmap then
  // receives those pixels when it is asked for here, so a reference kept
  // across a paint is to be asked for again. After a full paint it holds
  // no crosshairs (they are drawn on the frame); a data-area refresh
  // (ShowGraph) draws them into it.
  TBitmap& DataBitmap() {
    SettleDataBitmap();
    return FDataBitmap;
  }
  // The whole control is composed here during a full paint; between full
  // paints it holds the last full picture (crosshairs included).
  TBitmap& FrameBitmap() {
    SettleFrame();
    return FFrameBitmap;
  }
  TBitmap& HolderBitmap() { return FHolderBitmap; }

  // --- data series (Series.h): data as columns, beside the display list ---
  // --- plottables (Plottable.h; ChartPlottables.cpp) ---
  // Every kind of plot (series first among them) is a plottable in one
  // list, drawn after the display-list items in the order they were added,
  // across kinds. Plottables belong to the chart's data: charts that use
  // this chart's data (UseDataOf) draw, count and find them too. Indexes
  // count from 0: Plottable(i) every kind in drawing order, Series(i) the
  // series alone; an index outside raises EVexaKelvoError.
  size_t PlottableCount() const;
  TPlottable& Plottable(size_t Index);
  const TPlottable& Plottable(size_t Index) const;
  void DeletePlottable(size_t Index);
  // Adds a plottable of any kind (the chart owns it from now on) and returns it.
  TPlottable& AddPlottable(std::unique_ptr<TPlottable> Plottable);
  // A new series. The reference stays valid until the series is deleted.
  // It takes the next colour of SeriesPalette when there is one (the k-th
  // series added the k-th colour, round the palette).
  TSeries& AddSeries(const std::string& Name = "");

  // --- themes ---
  // Sets the chart's, axes', legend's and crosshairs' colours and fonts, the
  // grid, the shadow, the axes' label options and the series palette to the
  // theme's values. They are ordinary property values: each can be changed
  // afterwards, and the stored form holds them. ktClassic sets them to their
  // creation values.
  void ApplyTheme(TKelvoTheme Theme);
  // Colours new series take, in order (empty at creation: series start
  // black). Stored as "SeriesPalette", colours separated by commas.
  const std::vector<TColor>& SeriesPalette() const { return FSettings.SeriesPalette; }
  void SetSeriesPalette(std::vector<TColor> Value);
  std::string SeriesPaletteText() const;
  // Raises EVexaKelvoError for anything but colours separated by commas
  // (at most 256).
  void SetSeriesPaletteText(const std::string& Value);
  // Off at creation. On, lines, series lines, arrows, ellipses and mark
  // outlines are drawn with coverage anti-aliasing; boxes, bars, the grid,
  // the frame and the axes stay crisp, and XOR figures stay aliased.
  bool AntiAliased() const { return FSettings.AntiAliased; }
  void SetAntiAliased(bool Value);
  // On at creation: an SVG picture places shapes on the pixel grid, so a
  // renderer drawing crisp edges covers the pixels a paint covers. Off,
  // the picture is drawn for it at four device pixels to the pixel (fewer
  // where that would pass the picture cap), so lines, series and shapes
  // keep their positions between pixels, to a quarter of a pixel, and
  // renderers smooth them: a print is smooth at any scale. Text is placed
  // as ever; pictures are embedded at that resolution.
  bool SvgPixelSnap() const { return FSettings.SvgPixelSnap; }
  void SetSvgPixelSnap(bool Value) { FSettings.SvgPixelSnap = Value; }
  // Series count from 0, as legend entries do (size_t, like a container's
  // indexes): index outside 0 .. SeriesCount() - 1: EVexaKelvoError.
  // ClearSeries deletes the series alone.
  size_t SeriesCount() const;
  TSeries& Series(size_t Index);
  const TSeries& Series(size_t Index) const;
  void DeleteSeries(size_t Index);
  void ClearSeries();
  // Colour maps (ColorMap.h) likewise: indexes count colour maps alone.
  TColorMap& AddColorMap(const std::string& Name = "");
  size_t ColorMapCount() const;
  TColorMap& ColorMap(size_t Index);
  const TColorMap& ColorMap(size_t Index) const;
  void DeleteColorMap(size_t Index);
  // Histograms (Histogram.h) likewise.
  THistogram& AddHistogram(const std::string& Name = "");
  size_t HistogramCount() const;
  THistogram& Histogram(size_t Index);
  const THistogram& Histogram(size_t Index) const;
  void DeleteHistogram(size_t Index);
  // Box plots (BoxPlot.h) likewise.
  TBoxPlot& AddBoxPlot(const std::string& Name = "");
  size_t BoxPlotCount() const;
  TBoxPlot& BoxPlot(size_t Index);
  const TBoxPlot& BoxPlot(size_t Index) const;
  void DeleteBoxPlot(size_t Index);
  // Candles (Candles.h) likewise.
  TCandles& AddCandles(const std::string& Name = "");
  size_t CandlesCount() const;
  TCandles& Candles(size_t Index);
  const TCandles& Candles(size_t Index) const;
  void DeleteCandles(size_t Index);
  // Sets the layer's ranges (through SetLayerRanges) to the finite extent of
  // its visible series and items, also those outside the ranges now,
  // keeping a reversed axis reversed; an axis without finite extent, or of
  // no width, keeps its range. A logarithmic axis fits the positive values
  // (values at or below zero lie at its floor, the low edge): from the
  // smallest positive one to the largest.
  void FitLayerToData(int32_t Layer);

  // --- the colour bar (ColorBar.h; ChartColorBar.cpp) ---
  TColorBar& ColorBar() { return *FColorBar; }
  const TColorBar& ColorBar() const { return *FColorBar; }
  void SetColorBar(const TColorBar& Value);  // copies the settings in; repaints
  // The bar's box in client pixels as of the last paint (empty: no bar).
  TRect ColorBarBox() const;

  // --- the legend (Legend.h; ChartLegend.cpp) ---
  TLegend& Legend() { return *FLegend; }
  const TLegend& Legend() const { return *FLegend; }
  void SetLegend(const TLegend& Value);  // copies the settings in; repaints
  // An entry after the series' entries, for display-list items: its icon
  // drawn with this pen (a line unless psClear) and mark (-1: none);
  // clicking it hides and shows ItemClass.
  void AddLegendEntry(const std::string& Text, TColor Color,
                      TPenStyle PenStyle = TPenStyle::psSolid, int32_t LineWidth = 1,
                      int32_t Symbol = -1, TColor FillColor = clSilver, uint8_t ItemClass = 0);
  // The legend's entries: one for each series with InLegend, in series
  // order, then the added ones (ClearLegendEntries removes those).
  size_t LegendEntryCount() const;
  void ClearLegendEntries();
  // The entry under a client pixel (entries count from 0, as series do),
  // or none (also while the legend is hidden).
  std::optional<size_t> LegendEntryAt(int32_t X, int32_t Y);
  // Where the legend lies in client pixels; empty while it shows nothing.
  TRect LegendBox();
  // Fired first on a click on an entry; unless Handled is set, a click with
  // ClickHides then hides or shows the entry's series or class.
  std::function<void(TObject* Sender, size_t Entry, bool& Handled)> OnLegendClick;
  // The data area in use, in client pixels (inside the margins, the shadow
  // and the room of a legend beside it).
  TRect DataArea() const;

  // --- data sharing: one display list, several charts ---
  TCustomKelvo* UseDataOf() const { return FSource; }
  // Links to another chart's list and series (refusals are shown in a
  // message box and change nothing); nullptr unlinks, keeping a private
  // copy of the items and series.
  void SetUseDataOf(TCustomKelvo* Value);
  // Hands this chart's list to every chart of its sharing group.
  void PropagateDisplayList();

  // --- mouse state (the mouse actions) ---
  int32_t MouseX() const { return FMouseState.MouseX; }
  int32_t MouseY() const { return FMouseState.MouseY; }
  double MouseWorldX() const { return FMouseState.MouseWorldX; }
  double MouseWorldY() const { return FMouseState.MouseWorldY; }
  // The mouse box: the application sets msFirstCorner, the user presses and
  // drags, and MouseBox holds the corners once the state is msFinished.
  TMouseBoxState MouseBoxState() const { return FMouseState.MouseBoxState; }
  void SetMouseBoxState(TMouseBoxState Value) { FMouseState.MouseBoxState = Value; }
  struct TMouseBox {
    int32_t X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;
  };
  const TMouseBox& MouseBox() const { return FMouseState.MouseBox; }
  TZoomState ZoomState() const { return FMouseState.ZoomState; }
  // Whether (X, Y) lies in the plot area, bounds included.
  bool InPlotArea(int64_t X, int64_t Y) const;

  // --- events ---
  TMouseMoveInChartEvent OnMouseMoveInChart;
  TNotifyEvent OnMouseEnter, OnMouseLeave;
  TZoomPanEvent OnZoomPan;
  TSelectRectEvent OnRubberBand, OnSelectRect;
  TCrossHairMoveEvent OnCrossHairMove;
  TTextLabelMoveEvent OnTextLabelMove;
  TScaleTickDrawnEvent OnScaleTickDrawn;
  TBeforeTickLabelEvent OnBeforeTickLabel;
  TRenderEvent OnBeforeRenderData, OnDataRendered, OnScalesRendered;

  // --- rendering steps ---
  // Background, shadow, caption, mapping update, the 32 axes, OnScalesRendered.
  void PaintFrame(TCanvas& Canvas);
  // The four crosshairs into Bitmap, whose pixel (0, 0) is client (OffsetX, OffsetY).
  void LayDataFrame(TCanvas& Canvas, const TRect& Whole);
  void PaintBackgroundPicture(TCanvas& Canvas);
  void PaintBackgroundArea(TCanvas& Canvas, int32_t X, int32_t Y, const TRect& Whole);
  void DrawTextLabel(TCanvas& Canvas, const TTextLabel& Label);
  void TextLabelAnchor(const TTextLabel& Label, int64_t& X, int64_t& Y) const;
  void PaintShadow(TCanvas& Canvas);
  void PaintCaption(TCanvas& Canvas);
  void DrawCrossHairs(int32_t OffsetX, int32_t OffsetY, TBitmap& Bitmap);
  bool AnyCrossHairShown() const;
  void DrawGrid(TCanvas& Canvas);
  // The grid position after Value on one axis (Index: the 1-based number of
  // the position asked for).
  double NextGridPos(double Value, int32_t Index, bool Horizontal, double Step);
  void DrawTextLabels(TCanvas& Canvas);

  // --- framework overrides ---
  void Paint() override;
  virtual void PaintDataBackground(TCanvas& Canvas, int32_t X, int32_t Y);
  virtual void RenderDisplayList(TBitmap& Bitmap);
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void Loaded() override;
  void Assign(const TPersistent* Source) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void DblClick() override;
  void MouseEnter() override;
  void MouseLeave() override;
  // The chart wants the arrow keys and Tab.
  int DialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTTAB; }
  const TPropertyTable* Properties() const override;
  void ValidateForm(const nlohmann::ordered_json& Form) const override;

 protected:
  void AssignTo(TPersistent* Dest) const override;
  // Draws the crosshairs into Bitmap and copies it onto Target at (X, Y).
  virtual void PresentBitmap(int32_t X, int32_t Y, TCanvas& Target, TBitmap& Bitmap);
  // A full paint hands its finished frame to the window by exchanging the
  // two bitmaps' pixels instead of copying them; the frame's pixels are then
  // the window's previous picture until this copies the window's back. It
  // runs before anything reads the frame or draws on the window or resizes
  // either, so the copy is paid only by a paint that is not a full one.
  void SettleFrame();
  // The data area's picture from the frame into the data bitmap, when a
  // full paint left it only there (FDataInFrame).
  void SettleDataBitmap();
  // Resizes the data-area bitmap to the area inside margins and shadow
  // (plus the closing frame's column and row), in device pixels: from the
  // device position of the left margin to that of the pixel after the
  // closing frame's column.
  void SizeDataBitmap();
  // While a form is read: a stored layer joined to a controller that is not
  // stored gives that controller its range (CustomKelvo.cpp).
  void RangesToUnstoredControllers();
  // The frame bitmap at the window surface's size, drawing at its scale.
  void SizeFrameBitmap();
  void DevicePixelRatioChanged() override;
  // The isometric rule for one layer: its vertical range around its centre
  // so that a world unit is as long vertically as horizontally.
  void ApplyIsometric(int32_t Layer);

  bool FPaintLock = true;

 private:
  // IJointLayersOwner
  void LayerJoined(int32_t Layer, TJointAxis Axis) override;
  std::weak_ptr<const void> OwnerAlive() const override { return FLifetime.Token(); }

  // Appends an item with the current attributes; Extra sets the kind's own fields.
  template <class TExtra>
  void AppendItem(uint8_t Kind, double X1, double Y1, double X2, double Y2, TExtra Extra);
  void AppendItem(uint8_t Kind, double X1, double Y1, double X2, double Y2);
  // Repaints after ShowGraph: the source and all its users, then own users.
  void RefreshSharingCharts();
  void RemoveUser(TCustomKelvo* User);
  // Points every owned object's notifications and the axes' callbacks at this chart.
  void WireSubObjects();
  // The axis margins that follow the chart's margins and shadow.
  void SetAxisMargins(int32_t Layer);
  void ApplyWrittenScaleSettings();
  void SetMargin(int Which, int32_t Value);
  int32_t& MarginField(int Which);
  // After a margin field changed: data bitmap, axes and mapping follow.
  void MarginChanged(int Which);
  int32_t StoredMargin(int Which) const {
    const int32_t field = Which == 0   ? FSettings.MarginLeft
                          : Which == 1 ? FSettings.MarginRight
                          : Which == 2 ? FSettings.MarginTop
                                       : FSettings.MarginBottom;
    return static_cast<int32_t>(std::clamp<int64_t>(
        int64_t{field} - FSettings.LegendRoom[static_cast<size_t>(Which)], INT32_MIN, INT32_MAX));
  }
  void RegisterCursors();
  // Construction steps (CustomKelvo.cpp).
  void CreateCrossHairsAndLabels();
  void CreateLayerAxes();

  // Every notification this chart wires into an object is bound to this
  // lifetime, so copies of it taken by Assign go quiet once the chart is gone.
  TLifetime FLifetime;

  TDisplayList FList;
  // The chart's settings and current drawing attributes as one value, so
  // that Assign copies them with one assignment: the published properties'
  // backing fields (named as the properties), the margins in use with the
  // room a legend beside the data area takes of them, and the mouse
  // actions' settings.
  struct TChartSettings {
    TColor DataColor = clBlack;
    TColor FillColor = clSilver;
    TPenStyle PenStyle = TPenStyle::psSolid;
    uint8_t LineWidth = 1;
    uint8_t ClassDefault = 0;
    int32_t CurrentLayer = 1;

    TFontStyles TextFontStyle;
    TTextBkg TextBkStyle = TTextBkg::tbClear;
    TColor TextBkColor = clWhite;
    TAlignment TextAlignment = TAlignment::taCenter;

    std::array<bool, ItemClassCount> ClassVisible;
    std::array<bool, LayerCount + 1> LayerVisible;       // index 0 unused
    std::array<bool, LayerCount + 1> MouseAffectsLayer;  // index 0 unused

    bool AvoidDuplicateMarks = false;
    int32_t MinDupMarkDist = 1;
    bool AutoRedraw = false;
    int32_t MarginLeft = 50, MarginRight = 10, MarginTop = 16, MarginBottom = 32;
    int32_t ShadowWidth = 0;
    TColor ShadowColor = clGrayText, ShadowBakColor = clBtnFace;
    TShadowStyle ShadowStyle = TShadowStyle::ssFlying;
    TColor ChartFrameColor = clBlack, ChartColor = clWhite, WindColor = clBtnFace,
           GridColor = clBlack;
    GridStyleType GridStyle = GridStyleType::gsNone;
    std::vector<TColor> SeriesPalette;
    bool AntiAliased = false, SvgPixelSnap = true;
    double GridDx = 0, GridDy = 0;
    bool Isometric = false;
    TkvLayout StandardLayout = TkvLayout::kvl_X1Bottom_Y1Left;
    std::string Caption;
    int32_t CaptionPosX = 0, CaptionPosY = -15;
    TAlignment CaptionAlignment = TAlignment::taRightJustify;
    TCaptionAnchorHoriz CaptionAnchorHoriz = TCaptionAnchorHoriz::cahChartRight;
    TCaptionAnchorVert CaptionAnchorVert = TCaptionAnchorVert::cavChartTop;
    int32_t AspectX = 1, AspectY = 1;
    TRangeLimits RangeLimits;

    // The mouse actions' settings.
    TMouseActMode MouseAction = TMouseActMode::maNone;
    bool MouseCursorFixed = true;
    double PanGridDx = 1, PanGridDy = 1;
    std::array<int32_t, 4> LegendRoom{};  // left, right, top, bottom; added to the margins
  } FSettings;
  // One layer's ranges; all 16 layers' (index 0 unused) as a drag starts and
  // in the zoom history.
  struct TStartRanges {
    double XLow = 0, YLow = 0, XHigh = 0, YHigh = 0;
    bool operator==(const TStartRanges&) const = default;
  };
  using TLayerRangesSnapshot = std::array<TStartRanges, LayerCount + 1>;
  // The mouse's state between events, one value: Assign copies it whole, so
  // a copy continues whatever action is under way.
  struct TMouseState {
    bool DoubleClicked = false;
    bool Dragging = false;
    TPoint DragStart{};                     // the same start pixel for every layer
    double DragStartX = 0, DragStartY = 0;  // the pointer there, to a fraction of a pixel
    TLayerRangesSnapshot StartRanges{};
    TZoomState ZoomState = TZoomState::zsNormal;
    TPoint ZoomStart{}, Corner{};
    double ZoomStartX = 0, ZoomStartY = 0, CornerX = 0, CornerY = 0;  // the pointer there
    TMouseBoxState MouseBoxState = TMouseBoxState::msNormal;
    TMouseBox MouseBox;
    int32_t MouseX = 0, MouseY = 0;
    double MouseWorldX = 0, MouseWorldY = 0;
    int32_t SelectedCrossHair = 1, SelectedLabel = 1;
    TLayerRangesSnapshot ActionStart{};  // the ranges when the mouse button went down
  } FMouseState;

  // Mouse actions (MouseActions.cpp).
  void StartDrag(int32_t X, int32_t Y);
  void PanStep(int32_t X, int32_t Y);
  void ZoomDragStep(int32_t X, int32_t Y);
  void DragStep(int32_t X, int32_t Y);
  void FigureStep(int32_t X, int32_t Y);
  void FinishFigure(TMouseButton Button);
  void SelectCrossHairNear(int32_t X, int32_t Y);
  void SelectLabelNear(int32_t X, int32_t Y);
  void ReportMove(TShiftState Shift, int32_t X, int32_t Y, int32_t ActionX, int32_t ActionY);
  // A client coordinate kept inside the data area.
  int32_t ClampToDataX(int32_t X) const;
  int32_t ClampToDataY(int32_t Y) const;
  void XorRect(TPoint A, TPoint B);
  void XorLine(TPoint A, TPoint B);
  void SetCursorFor(int32_t X, int32_t Y);

  std::array<TLayerMapping, LayerCount + 1> FMapping{};
  std::array<TLayerMapping, LayerCount + 1> FDeviceMapping{};  // at a ratio other than 1
  std::array<std::unique_ptr<TScale>, LayerCount + 1> FScaleX, FScaleY;
  std::array<std::unique_ptr<TScalePropsHoriz>, LayerCount + 1> FPropsX;
  std::array<std::unique_ptr<TScalePropsVert>, LayerCount + 1> FPropsY;
  std::array<std::unique_ptr<TCrossHair>, CrossHairCount + 1> FCrossHairs;
  std::array<std::unique_ptr<TTextLabel>, TextLabelCount + 1> FTextLabels;
  std::unique_ptr<TBakGndImg> FBackGroundImg;
  std::unique_ptr<TJointLayers> FJointLayers;

  TBitmap FDataBitmap, FFrameBitmap, FHolderBitmap;
  // Which file the holder bitmap shows, as it was when read.
  struct THolderKey {
    std::string Name;
    uintmax_t Size = 0;
    std::filesystem::file_time_type Time{};
    bool operator==(const THolderKey&) const = default;
  };
  THolderKey FHolderKey;
  void LoadBackgroundImage(const std::string& FileName);
  bool FRenderShortcuts = true;
  bool FMappingValid = true;
  bool FComposeOnly = false;    // a full paint leaves its picture in the frame (picture export)
  bool FFrameInWindow = false;  // the frame's picture is in the window (see SettleFrame)
  bool FDataInFrame = false;    // the data area's picture is in the frame only (SettleDataBitmap),
  TPoint FDataInFrameAt{};      // with its top-left corner here

  // Wheel zoom and the zoom history (ZoomHistory.cpp).
  TLayerRangesSnapshot CurrentRanges() const;
  // Keeps the ranges now, if they differ from Before, as the newest state.
  void RecordRangeChange(const TLayerRangesSnapshot& Before);
  void RestoreRanges(size_t Index);
  bool FMouseWheelZoom = false, FZoomHistoryKeys = false;
  double FWheelZoomFactor = 1.25;
  std::vector<TLayerRangesSnapshot> FZoomHistory;
  size_t FZoomAt = 0;

  // The nearest-item index and what it was built from (NearestItem.cpp).
  // Shapes of the items from From on, the pen going on from Pen.
  std::vector<TItemShape> ItemShapes(size_t From, TShapePen& Pen) const;
  bool ItemShape(const TDrawItem& Item, const TShapePen& Pen, TItemShape& Shape) const;
  // The series point nearest to (X, Y) if nearer than Best (or as near).
  // The plottables' point nearest to (X, Y) if nearer than Best (or as near).
  void NearestPlottablePoint(int32_t X, int32_t Y, TNearestItem& Best) const;
  void PlottableAreaAt(int32_t X, int32_t Y, TNearestItem& Best) const;
  template <class T>
  T& OfKind(size_t Index, const char* One, const char* Many) const;
  template <class T>
  void DeleteOfKind(size_t Index, const char* One, const char* Many);
  struct TNearestKey {
    uint64_t Rewrites = ~uint64_t{0};
    std::array<std::array<long double, 8>, LayerCount + 1> Factors{};
    std::array<bool, ItemClassCount> Classes{};
    std::array<bool, LayerCount + 1> Layers{};
    int32_t Width = 0, Height = 0;
    bool operator==(const TNearestKey&) const = default;
  };
  TNearestIndex FNearest;
  bool FCrossHairSnap = false, FItemHover = false;
  int32_t FItemPixels = 8;
  TNearestKey FNearestKey;
  size_t FNearestCount = 0;       // items in the index
  TShapePen FNearestPen;          // where the next item's line would go on from
  std::vector<int32_t> FDupGrid;  // the renderer's duplicate-mark grid, reused between paints

  // The legend: its settings, the entries added by code, the room it takes
  // beside the data area (left, right, top, bottom; added to the margins'
  // fields) and a press on it (a click or a drag).
  std::unique_ptr<TLegend> FLegend = std::make_unique<TLegend>();
  std::unique_ptr<TColorBar> FColorBar = std::make_unique<TColorBar>();
  std::unique_ptr<TScale> FColorBarScale;  // the bar's ticks and labels
  // The bands beside the data area: the legend's alone (left, right, top,
  // bottom), and the bar's across its side.
  std::array<int32_t, 4> FLegendOnlyRoom{};
  int32_t FColorBarRoom = 0;
  const TColorMap* ColorBarMap(double& Low, double& High) const;
  TAxisSettings ColorBarAxis(const TColorMap& Map) const;
  int32_t ColorBarRoom();
  TRect ColorBarBand() const;
  void PaintColorBar(TCanvas& c);
  std::vector<TLegendEntry> FLegendEntries;
  struct TLegendPress {
    bool Active = false, Moved = false;
    int32_t X = 0, Y = 0, OffsetX = 0, OffsetY = 0;
  } FLegendPress;
  TBitmap FLegendMeasure;  // its canvas measures the legend's texts
  // Every entry in order; without texts where the layout's cut ones serve.
  std::vector<TLegendEntry> LegendEntries(bool WithTexts = true) const;
  TLegendLayout LayoutLegend(const std::vector<TLegendEntry>& Entries);
  // The layout of the legend's entries, kept until what it depends on
  // changes (TLegendLayoutKey): paints and hit tests measure no text again.
  const TLegendLayout& LegendLayout();
  TLegendLayoutKey LegendLayoutKey() const;
  TLegendLayout FLegendLayout;
  TLegendLayoutKey FLegendLayoutKey;
  bool FLegendLayoutKept = false;
  uint64_t FAddedLegendEntries = 0;  // grows with every change of the added entries
  // Sets the room a legend beside the data area takes (none for one inside
  // or hidden); margins, axes and mapping follow when it changes.
  void UpdateLegendRoom();
  // Paints the legend when it is visible and inside (Inside) or beside the
  // data area; Left, Top: the client position of the canvas' origin.
  void PaintLegend(TCanvas& Canvas, int32_t Left, int32_t Top, bool Inside);
  void ClickLegendEntry(size_t Entry);
  // The mouse on the legend: true when it took the event.
  bool LegendMouseDown(int32_t X, int32_t Y);
  bool LegendMouseMove(int32_t X, int32_t Y);
  bool LegendMouseUp();

  // The plottables of this chart's data, shared with its sharing group.
  std::shared_ptr<TPlottableList> FPlottables = std::make_shared<TPlottableList>();
  // Draws the shown plottables after the display-list items (Renderer.cpp).
  std::string FPlotProblem;  // why a plottable drew nothing in the paint under way
  void RenderPlottables(TCanvas& Canvas, render::TRenderState& State,
                        const std::function<void(const TDrawItem&)>& DrawItem,
                        const std::function<void()>& ForgetLastMark, bool DirectPixels);
  static std::shared_ptr<TPlottableList> CopyPlottables(const TPlottableList& Source);
  // A copy laid out at another size (and device pixel ratio) for a picture,
  // sharing this chart's series.
  std::unique_ptr<TCustomKelvo> CopyAtSize(int32_t AWidth, int32_t AHeight, double Ratio);

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
