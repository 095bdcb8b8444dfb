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

constexpr bool IsHorizontal(TScaleType t) {
  return t == TScaleType::sctXB || t == TScaleType::sctXT;
}

// What the labels of an axis show.
enum class TFigType : uint8_t { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };

// How a logarithmic axis writes its numbers: llsPlain as numbers (0.000001),
// llsPower as powers of ten with a raised exponent (10 and a raised -6),
// llsScientific in e-notation (1e-6).
enum class TLogLabelStyle : uint8_t { llsPlain, llsPower, llsScientific };

// Colours of a bevelled frame: black, grey and white, or the system's.
enum class TColorScheme : uint8_t { csBWG, csSystem };

// Date and time label settings.
enum class TTimeFormat : uint8_t { tfHHMMSS, tfHHhMM, tfAMPM };
enum class TYearLength : uint8_t { ylNone, ylYY, ylYYYY };
enum class TDateOrder : uint8_t { doMMDDYY, doDDMMYY, doYYMMDD };
enum class TDateForTime : uint8_t { dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks };

// Crosshairs and text labels.
enum class TCrossHMode : uint8_t { chOff, chHoriz, chVert, chBoth, chCrossBox, chBox };
enum class TVerticalAlignment : uint8_t { vaTop, vaCenter, vaBottom };
enum class TTxtLblAttachMode : uint8_t { tlamNone, tlamXOnly, tlamYOnly, tlamBoth };
enum class TTxtLblMode : uint8_t { tlOff, tlsimple, tlBox, tlUnderline, tlShadow };

// The names stored forms use for these values, in order.
inline constexpr const char* TFrameStyleNames[] = {"fsNone",   "fsSimple",   "fsLowered",
                                                   "fsRaised", "fsEmbossed", "fsEngraved"};
inline constexpr const char* TScaleTypeNames[] = {"sctXB", "sctXT", "sctYL", "sctYR"};
inline constexpr const char* TFigTypeNames[] = {"ftNoFigs", "ftNum", "ftTime", "ftDateTime",
                                                "ftUserText"};
inline constexpr const char* TColorSchemeNames[] = {"csBWG", "csSystem"};
inline constexpr const char* TLogLabelStyleNames[] = {"llsPlain", "llsPower", "llsScientific"};
inline constexpr const char* TTimeFormatNames[] = {"tfHHMMSS", "tfHHhMM", "tfAMPM"};
inline constexpr const char* TYearLengthNames[] = {"ylNone", "ylYY", "ylYYYY"};
inline constexpr const char* TDateOrderNames[] = {"doMMDDYY", "doDDMMYY", "doYYMMDD"};
inline constexpr const char* TDateForTimeNames[] = {"dtNone", "dtOnePerChart", "dtOnePerDay",
                                                    "dtAllTicks"};
inline constexpr const char* TCrossHModeNames[] = {"chOff",  "chHoriz",    "chVert",
                                                   "chBoth", "chCrossBox", "chBox"};
inline constexpr const char* TVerticalAlignmentNames[] = {"vaTop", "vaCenter", "vaBottom"};
inline constexpr const char* TTxtLblAttachModeNames[] = {"tlamNone", "tlamXOnly", "tlamYOnly",
                                                         "tlamBoth"};
inline constexpr const char* TTxtLblModeNames[] = {"tlOff", "tlsimple", "tlBox", "tlUnderline",
                                                   "tlShadow"};

}  // namespace vexa
