// What an axis shows and how it labels: the settings a TScale draws with
// and a chart layer's stored axis settings (TScaleProps) hold alike. Written
// once here; each of the two holds one value of it, so the chart hands a
// layer's settings to its axis with one assignment (TScale::SetAxisSettings).
// Range, type, placement, font and date format are not in it: their rules
// differ between the two (a layer's range keeps MinRange, an axis' range
// follows its layer) or they are objects of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/base/Enums.h"
#include "kelvo/platform/Types.h"

namespace vexa {

enum class TScaleUnitAnchor : uint8_t { uaSclTopLft, uaSclCenter, uaSclBotRgt };

struct TAxisSettings {
  std::string Caption;
  int32_t CaptionPosX = 4, CaptionPosY = 4;
  TAlignment CaptionAlignment = TAlignment::taCenter;
  TScaleUnitAnchor CaptionAnchor = TScaleUnitAnchor::uaSclTopLft;
  bool CaptionRotated = false;
  TColor ColorScale = clBlack;
  int32_t DecPlaces = -2;  // -3..12
  bool Logarithmic = false;
  TFigType LabelType = TFigType::ftNum;
  int32_t MinTicks = 3;  // 0, or 2..10
  bool ShortTicks = true;
  TLogLabelStyle LogLabelStyle = TLogLabelStyle::llsPlain;
  bool AvoidLabelOverlap = false;
  std::string ScaleInscript;
  std::string UserTickText;  // items separated by "|"
  // Texts labelling the whole positions 0, 1, 2 ... (empty: numbers).
  std::vector<std::string> Categories;

  bool operator==(const TAxisSettings&) const = default;
};

}  // namespace vexa
