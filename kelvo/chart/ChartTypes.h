// Chart-level enumerations and event types.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "kelvo/base/Enums.h"
#include "kelvo/platform/Canvas.h"
#include "kelvo/platform/Classes.h"

namespace vexa {

enum class GridStyleType : uint8_t {
  gsNone,
  gsPoints,
  gsVertLines,
  gsHorizLines,
  gsLines,
  gsHorizDotLines,
  gsVertDotLines,
  gsDotLines
};
enum class TTextBkg : uint8_t { tbClear, tbSolid };
enum class TCaptionAnchorHoriz : uint8_t {
  cahControlLeft,
  cahChartLeft,
  cahChartCenter,
  cahChartRight,
  cahControlRight
};
enum class TCaptionAnchorVert : uint8_t {
  cavControlTop,
  cavChartTop,
  cavChartCenter,
  cavChartBottom,
  cavControlBottom
};
enum class TShadowStyle : uint8_t { ssFlying, ssBox };
// Axis colour of each layer (1..16) at creation, 0x00BBGGRR.
inline constexpr TColor LayerAxisColors[17] = {
    0,        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// Looks ApplyTheme sets: ktClassic the creation values, ktLight and ktDark
// modern light and dark ones, ktSystem light or dark by the system's window
// colour.
enum class TKelvoTheme : uint8_t { ktClassic, ktLight, ktDark, ktSystem };
enum class TkvLayout : uint8_t {
  kvl_X1Bottom_Y1Left,
  kvl_X1Bottom_Y2Left,
  kvl_X1Bottom_Y3Left,
  kvl_X1Bottom_Y4Left,
  kvl_X1Bottom_Y2Both,
  kvl_X2Bottom_Y2Left,
  kvl_X2Both_Y2Both
};
enum class TMouseActMode : uint8_t {
  maNone,
  maPan,
  maPanHoriz,
  maPanVert,
  maPanGrid,
  maRubberBand,
  maZoom,
  maZoomWind,
  maZoomWindPos,
  maZoomDrag,
  maDragCrossH,
  maDragLabel,
  maRotate,
  maRotAndZoom,
  maRotXOnly,
  maRotZOnly,
  maSelectRect
};
enum class TZoomState : uint8_t { zsNormal, zsDrawWin };
enum class TMouseBoxState : uint8_t { msNormal, msFirstCorner, msRectDraw, msFinished };

inline constexpr const char* GridStyleTypeNames[] = {
    "gsNone",  "gsPoints",        "gsVertLines",    "gsHorizLines",
    "gsLines", "gsHorizDotLines", "gsVertDotLines", "gsDotLines"};
inline constexpr const char* TTextBkgNames[] = {"tbClear", "tbSolid"};
inline constexpr const char* TCaptionAnchorHorizNames[] = {
    "cahControlLeft", "cahChartLeft", "cahChartCenter", "cahChartRight", "cahControlRight"};
inline constexpr const char* TCaptionAnchorVertNames[] = {
    "cavControlTop", "cavChartTop", "cavChartCenter", "cavChartBottom", "cavControlBottom"};
inline constexpr const char* TShadowStyleNames[] = {"ssFlying", "ssBox"};
inline constexpr const char* TkvLayoutNames[] = {
    "kvl_X1Bottom_Y1Left", "kvl_X1Bottom_Y2Left", "kvl_X1Bottom_Y3Left", "kvl_X1Bottom_Y4Left",
    "kvl_X1Bottom_Y2Both", "kvl_X2Bottom_Y2Left", "kvl_X2Both_Y2Both"};
inline constexpr const char* TMouseActModeNames[] = {
    "maNone",   "maPan",        "maPanHoriz",    "maPanVert",  "maPanGrid",    "maRubberBand",
    "maZoom",   "maZoomWind",   "maZoomWindPos", "maZoomDrag", "maDragCrossH", "maDragLabel",
    "maRotate", "maRotAndZoom", "maRotXOnly",    "maRotZOnly", "maSelectRect"};

class TCrossHair;
class TTextLabel;

// Parameters: Sender, Canvas, Top, Left (the client position of the canvas' origin).
using TRenderEvent =
    std::function<void(TObject* Sender, TCanvas& Canvas, int32_t Top, int32_t Left)>;
using TMouseMoveInChartEvent = std::function<void(TObject* Sender, bool InChart, TShiftState Shift,
                                                  double rMousePosX, double rMousePosY)>;
using TZoomPanEvent = std::function<void(TObject* Sender)>;
using TSelectRectEvent = std::function<void(TObject* Sender, int32_t Layer, double LoX, double LoY,
                                            double HiX, double HiY)>;
using TCrossHairMoveEvent = std::function<void(TObject* Sender, TCrossHair& WhichCrossHair)>;
using TTextLabelMoveEvent = std::function<void(TObject* Sender, TTextLabel& WhichTextLabel)>;

}  // namespace vexa
