// TPlottable: what every kind of plot has, and what the chart asks of it.
//
// The chart keeps one ordered list of plottables (series first among them),
// shared by the charts that use its data. It draws them in the order they
// were added, across kinds, after the display-list items and before the
// text labels and crosshairs; the legend, FitLayerToData, FindNearestItem,
// the exports and data sharing walk that list and ask each plottable:
//
// - Draw: its picture on the data area for the chart's mapping. A kind's
//   picture is defined by its equivalent display-list items (drawn with the
//   context's item drawer), or by a stated per-pixel rule. Its SVG form is
//   the same drawing through a recording canvas: while the context says
//   Recording, every pixel goes through the canvas (no direct writes).
// - Extent: the finite extent of its data, for fitting a layer's ranges.
// - NearestHit: its point nearest to a client pixel, within reach.
// - LegendIcon: how its legend entry's icon looks.
// - Clone: a copy with its data, for a chart that stops sharing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kelvo/platform/Types.h"

namespace vexa {

class TCustomKelvo;
struct TLegendEntry;
struct TPlotContext;

// The finite extent of a plottable's data. A low end is the smallest
// positive value instead where the caller asks for it (a logarithmic axis).
struct TPlotExtent {
  double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
};

// A plottable's point nearest to a client pixel: Point is its index within
// the plottable (a series' point, a box's number), X and Y its world point.
struct TPlotHit {
  int64_t Point = -1;
  int32_t Layer = 0;
  double X = 0, Y = 0;
  double Distance = 0;  // in client pixels
  // A grid's cell (AreaHit): its column and row, and its value.
  int32_t CellX = -1, CellY = -1;
  double Value = 0;
};

class TPlottable {
 public:
  virtual ~TPlottable();
  TPlottable& operator=(const TPlottable&) = delete;

  // --- what every kind has ---
  const std::string& Name() const { return FName; }  // also its legend entry's text
  void SetName(const std::string& Value) { FName = Value, Touch(), ++FLegendChanges; }
  int32_t Layer() const { return FLayer; }  // 1; kept within 1 .. 16
  void SetLayer(int32_t Value) { FLayer = Value < 1 ? 1 : (Value > 16 ? 16 : Value), Touch(); }
  uint8_t ItemClass() const { return FItemClass; }  // 0; hidden with the class
  void SetItemClass(uint8_t Value) { FItemClass = Value, Touch(); }
  bool Visible() const { return FVisible; }  // True
  void SetVisible(bool Value) { FVisible = Value, Touch(); }
  bool InLegend() const { return FInLegend; }  // True
  void SetInLegend(bool Value) { FInLegend = Value, Touch(), ++FLegendChanges; }
  // Grows with every change of data or attributes.
  uint64_t Changes() const { return FChanges; }
  // What a legend's layout depends on: a number no other plottable (nor a
  // copy) has, and a count of the changes of its name and InLegend.
  uint64_t Serial() const { return FSerial; }
  uint64_t LegendChanges() const { return FLegendChanges; }
  // Whether the chart draws it: visible, in a visible class and layer.
  bool Shown(const TCustomKelvo& Chart) const;
  // The chart's list it belongs to (null while it belongs to none), so that
  // one plottable may name another of its chart by index.
  const std::vector<std::unique_ptr<TPlottable>>* OwnerList() const { return FOwnerList; }

  // --- what the chart asks ---
  virtual std::unique_ptr<TPlottable> Clone() const = 0;
  virtual void Draw(TPlotContext& Context) const = 0;
  // False (Extent untouched) when it has no finite data; with PositiveX or
  // PositiveY, that low end is the smallest positive value (false when
  // there is none).
  virtual bool Extent(TPlotExtent& Extent, bool PositiveX, bool PositiveY) const = 0;
  // Updates Best when a point of this plottable lies at Best.Distance or
  // nearer to client pixel (X, Y) on Chart's mapping (later points win on
  // equal distances, as they are drawn over earlier ones); true if it did.
  virtual bool NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y,
                          TPlotHit& Best) const = 0;
  // What it covers at client pixel (X, Y), for a plottable that covers
  // areas (a grid's cell): asked when no point lies within reach.
  virtual bool AreaHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Hit) const {
    (void)Chart, (void)X, (void)Y, (void)Hit;
    return false;
  }
  // Sets the icon's attributes of its legend entry (colours, pen, mark).
  virtual void LegendIcon(TLegendEntry& Entry) const = 0;

 protected:
  explicit TPlottable(std::string Name) : FName(std::move(Name)), FSerial(NextSerial()) {}
  TPlottable(const TPlottable& Other);
  void Touch() { ++FChanges; }

 private:
  std::string FName;
  int32_t FLayer = 1;
  uint8_t FItemClass = 0;
  bool FVisible = true, FInLegend = true;
  uint64_t FChanges = 0;
  uint64_t FSerial, FLegendChanges = 0;
  const std::vector<std::unique_ptr<TPlottable>>* FOwnerList = nullptr;
  static uint64_t NextSerial();
  friend class TCustomKelvo;  // sets the owner list
};

// A chart's plottables in drawing order, shared by the charts that use its data.
using TPlottableList = std::vector<std::unique_ptr<TPlottable>>;

}  // namespace vexa
