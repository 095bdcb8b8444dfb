// Enumerations shared by the axis control and the chart control.
#pragma once

#include <cstdint>

namespace vexa {

// Bevels of a box: the axis control's frame and the chart's bevel boxes.
enum class TFrameStyle : uint8_t { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };

}  // namespace vexa
