// TLegend: the settings of the chart's legend, a box of entries, one for
// each series shown in it and one for each entry added by code, each an
// icon drawn with the series' (or entry's) pen and mark beside its text.
// The chart lays it out, paints it and handles its clicks and drags
// (ChartLegend.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "kelvo/platform/Classes.h"
#include "kelvo/platform/Graphics.h"

namespace vexa {

// Inside the data area at one of nine places, or beside it, taking its room
// from the data area.
enum class TLegendPos : uint8_t {
  lpTopLeft,
  lpTop,
  lpTopRight,
  lpLeft,
  lpCenter,
  lpRight,
  lpBottomLeft,
  lpBottom,
  lpBottomRight,
  lpOutsideRight,
  lpOutsideLeft,
  lpOutsideTop,
  lpOutsideBottom
};
inline constexpr const char* TLegendPosNames[] = {
    "lpTopLeft",     "lpTop",        "lpTopRight",     "lpLeft",        "lpCenter",
    "lpRight",       "lpBottomLeft", "lpBottom",       "lpBottomRight", "lpOutsideRight",
    "lpOutsideLeft", "lpOutsideTop", "lpOutsideBottom"};

inline bool LegendOutside(TLegendPos P) { return P >= TLegendPos::lpOutsideRight; }

// One entry of the legend: a plottable's (Plottable its place in the
// chart's list; its icon as the plottable gives it) or one added by code for
// display-list items (Plottable -1).
// What an entry's icon shows besides its mark: the line, a filled swatch
// (areas and bars), a step or a stem.
enum class TLegendIcon : uint8_t { liLine, liSwatch, liStep, liStem };

struct TLegendEntry {
  std::string Text;
  TLegendIcon Icon = TLegendIcon::liLine;
  TColor AreaColor = clNone;  // a swatch's fill (clNone: Color)
  uint8_t AreaOpacity = 255;
  TColor Color = clBlack;
  TPenStyle PenStyle = TPenStyle::psSolid;
  int32_t LineWidth = 1;
  int32_t Symbol = -1;  // -1: no mark
  TColor FillColor = clSilver;
  uint8_t ItemClass = 0;
  bool LineVisible = true;
  int64_t Plottable = -1;  // the plottable's place in the chart's list; -1: an added entry
  bool Hidden = false;     // its plottable or class is hidden: drawn dimmed
};

// Where the legend and its entries lie, in client pixels.
struct TLegendLayout {
  TRect Box{};  // empty: nothing is drawn
  int32_t RowHeight = 0;
  std::vector<TRect> Cells;        // one for each entry; empty for an entry cut off
  std::vector<std::string> Texts;  // each entry's text, cut to its cell
};

// What a legend's layout depends on, so that a layout is kept until one of
// them changes: the settings that place and size it, its font, the entries
// (the added ones' generation; each plottable's serial and legend changes),
// the control's size and the data area.
struct TLegendLayoutKey {
  bool Visible = false;
  int32_t Position = 0, OffsetX = 0, OffsetY = 0, Columns = 0, Padding = 0, IconWidth = 0;
  std::string FontName;
  int32_t FontHeight = 0, FontOrientation = 0;
  uint32_t FontStyle = 0;
  int32_t Width = 0, Height = 0, ShadowWidth = 0;
  TRect Area{};
  uint64_t AddedEntries = 0;
  std::vector<std::pair<uint64_t, uint64_t>> Plottables;
  bool operator==(const TLegendLayoutKey&) const = default;
};

// Every setter stores and fires OnChange (the chart repaints).
class TLegend : public TPersistent {
 public:
  TLegend();

  bool Visible() const { return FSettings.Visible; }  // False
  void SetVisible(bool Value);
  TLegendPos Position() const { return FSettings.Position; }  // lpTopRight
  void SetPosition(TLegendPos Value);
  // Pixels from the place Position gives (a drag changes them); kept within
  // +-100,000.
  int32_t OffsetX() const { return FSettings.OffsetX; }  // 0
  void SetOffsetX(int32_t Value);
  int32_t OffsetY() const { return FSettings.OffsetY; }  // 0
  void SetOffsetY(int32_t Value);
  // Entries a row; 0: as many as fit, wrapping. Kept within 0..1,000.
  int32_t Columns() const { return FSettings.Columns; }  // 1
  void SetColumns(int32_t Value);
  TFont& Font() { return FFont; }  // a change repaints too
  const TFont& Font() const { return FFont; }
  TColor Color() const { return FSettings.Color; }  // clWindow: the box's background
  void SetColor(TColor Value);
  bool Transparent() const { return FSettings.Transparent; }  // False: no background
  void SetTransparent(bool Value);
  TColor FrameColor() const { return FSettings.FrameColor; }  // clBlack
  void SetFrameColor(TColor Value);
  bool Frame() const { return FSettings.Frame; }  // True
  void SetFrame(bool Value);
  int32_t Padding() const { return FSettings.Padding; }  // 4; kept within 0..100
  void SetPadding(int32_t Value);
  int32_t IconWidth() const { return FSettings.IconWidth; }  // 24; kept within 0..200
  void SetIconWidth(int32_t Value);
  bool Draggable() const { return FSettings.Draggable; }  // True
  void SetDraggable(bool Value);
  bool ClickHides() const { return FSettings.ClickHides; }  // True
  void SetClickHides(bool Value);

  TNotifyEvent OnChange;

  // Copies every setting and OnChange; notifies nobody.
  void Assign(const TPersistent* Source) override;
  // Every property with its declared default, so a legend left as created
  // writes nothing.
  const TPropertyTable* Properties() const override;

 protected:
  void AssignTo(TPersistent* Dest) const override;
  void Changed() {
    if (OnChange) OnChange(this);
  }

 private:
  // The settings as one value, so that Assign copies them with one
  // assignment; the font is an object of its own.
  struct TSettings {
    bool Visible = false;
    TLegendPos Position = TLegendPos::lpTopRight;
    int32_t OffsetX = 0, OffsetY = 0;
    int32_t Columns = 1;
    TColor Color = clWindow;
    bool Transparent = false;
    TColor FrameColor = clBlack;
    bool Frame = true;
    int32_t Padding = 4;
    int32_t IconWidth = 24;
    bool Draggable = true;
    bool ClickHides = true;
  } FSettings;
  TFont FFont;
};

}  // namespace vexa
