#include "demo/DemoForm.h"

#include "kelvo/platform/Streaming.h"

namespace demo {

// The caption sits at (220, 4) from the control's top-left corner: anchored
// at the chart's right edge (as first designed) the right-justified caption
// would end 429 pixels right of that edge, outside the control.
const char* const ExportChartForm = R"({
  "Left": 8, "Top": 24, "Width": 449, "Height": 345,
  "AllocSize": 1000,
  "AutoRedraw": true,
  "MarginLeft": 40, "MarginRight": 20, "MarginTop": 20, "MarginBottom": 30,
  "BackGroundImg": {"IncludePath": false, "FillMode": "bfStretch", "AreaMode": "bamNone", "AreaColor": 14540253,
                    "AreaLeft": -1, "AreaRight": 1, "AreaTop": 1, "AreaBottom": -1},
  "ClassDefault": 0,
  "GridStyle": "gsDotLines", "GridDx": 1, "GridDy": 50,
  "Isometric": false,
  "GridColor": "clSilver",
  "JointLayers": {"L01xControlledBy": 1, "L01yControlledBy": 1, "L02xControlledBy": 2, "L02yControlledBy": 2},
  "Caption": "Net exports", "CaptionPosX": 220, "CaptionPosY": 4, "CaptionAlignment": "taRightJustify",
  "CaptionAnchorHoriz": "cahControlLeft", "CaptionAnchorVert": "cavControlTop",
  "CrossHair1": {"Color": "clBlack", "Layer": 1, "Mode": "chOff", "LineType": "psSolid", "LineWid": 1},
  "CrossHair2": {"Color": "clBlack", "Layer": 1, "Mode": "chOff", "LineType": "psSolid", "LineWid": 1},
  "CrossHair3": {"Color": "clBlack", "Layer": 1, "Mode": "chOff", "LineType": "psSolid", "LineWid": 1},
  "CrossHair4": {"Color": "clBlack", "Layer": 1, "Mode": "chOff", "LineType": "psSolid", "LineWid": 1},
  "MouseAction": "maPan", "MouseCursorFixed": false,
  "Scale1X": {"CaptionPosX": 0, "CaptionPosY": 22, "CaptionAlignment": "taCenter", "CaptionAnchor": "uaSclCenter",
              "ColorScale": "clBlack", "DecPlaces": 0, "Logarithmic": false, "LabelType": "ftNum", "MinTicks": 3,
              "MinRange": 1e-10, "RangeLow": 1969, "RangeHigh": 1981, "ShortTicks": true, "ScalePos": 0,
              "Visible": true, "ScaleLocation": "slBottom",
              "Font": {"Name": "MS Sans Serif", "Height": -13, "Color": "clWindowText", "Style": []}},
  "Scale1Y": {"CaptionPosX": 0, "CaptionPosY": -16, "CaptionAlignment": "taLeftJustify",
              "CaptionAnchor": "uaSclTopLft", "ColorScale": "clBlack", "DecPlaces": -2, "Logarithmic": false,
              "LabelType": "ftNum", "MinTicks": 3, "MinRange": 1e-10, "RangeLow": -50, "RangeHigh": 150,
              "ShortTicks": true, "ScalePos": 0, "Visible": true, "ScaleLocation": "slLeft",
              "Font": {"Name": "MS Sans Serif", "Height": -13, "Color": "clWindowText", "Style": []}},
  "Scale2X": {"CaptionPosX": 10, "CaptionPosY": 100, "CaptionAlignment": "taCenter", "CaptionAnchor": "uaSclCenter",
              "ColorScale": "clMaroon", "DecPlaces": -2, "Logarithmic": false, "LabelType": "ftNum", "MinTicks": 3,
              "MinRange": 1e-10, "RangeLow": 0, "RangeHigh": 1, "ShortTicks": true, "ScalePos": 0,
              "Visible": false, "ScaleLocation": "slBottom",
              "Font": {"Name": "MS Sans Serif", "Height": -13, "Color": "clWindowText", "Style": []}},
  "Scale2Y": {"CaptionPosX": 10, "CaptionPosY": 100, "CaptionAlignment": "taRightJustify",
              "CaptionAnchor": "uaSclTopLft", "ColorScale": "clMaroon", "DecPlaces": -2, "Logarithmic": false,
              "LabelType": "ftNum", "MinTicks": 3, "MinRange": 1e-10, "RangeLow": 0, "RangeHigh": 1,
              "ShortTicks": true, "ScalePos": 0, "Visible": false, "ScaleLocation": "slLeft",
              "Font": {"Name": "MS Sans Serif", "Height": -13, "Color": "clWindowText", "Style": []}},
  "ShadowStyle": "ssFlying", "ShadowColor": "clGray", "ShadowBakColor": "clSilver",
  "TextFontStyle": [], "TextBkStyle": "tbClear", "TextBkColor": "clWhite", "TextAlignment": "taCenter"
})";

void LoadExportChart(vexa::TKelvo& Chart) {
  Chart.SetName("ExportChart");
  vexa::ReadComponentForm(Chart, ExportChartForm, "Frmmain");
}

}  // namespace demo
