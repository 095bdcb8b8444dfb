// Enumerations shared by the axis control and the chart control.
#pragma once

#include <cstdint>

namespace vexa {

// Bevels of a box: the axis control's frame and the chart's bevel boxes.
enum class TFrameStyle : uint8_t { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };

// sctXB: horizontal, base line at the bottom, ticks and labels above it;
// sctXT: horizontal, base line at the top, ticks and labels below;
// sctYL: vertical, base line at the left, ticks and labels to its right;
// sctYR: vertical, base line at the right, ticks and labels to its left.
enum class TScaleType : uint8_t { sctXB, sctXT, sctYL, sctYR };

constexpr bool IsHorizontal(TScaleType t) { return t == TScaleType::sctXB || t == TScaleType::sctXT; }

// What the labels of an axis show.
enum class TFigType : uint8_t { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };

// Colours of a bevelled frame: black, grey and white, or the system's.
enum class TColorScheme : uint8_t { csBWG, csSystem };

// Date and time label settings.
enum class TTimeFormat : uint8_t { tfHHMMSS, tfHHhMM, tfAMPM };
enum class TYearLength : uint8_t { ylNone, ylYY, ylYYYY };
enum class TDateOrder : uint8_t { doMMDDYY, doDDMMYY, doYYMMDD };
enum class TDateForTime : uint8_t { dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks };

}  // namespace vexa
