// Chart-level enumerations and event types.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Canvas.h"
#include "platform/Classes.h"

namespace vexa {

enum class TTextBkg : uint8_t { tbClear, tbSolid };

// Parameters: Sender, Canvas, Top, Left (the client position of the canvas' origin).
using TRenderEvent = std::function<void(TObject* Sender, TCanvas& Canvas, int32_t Top, int32_t Left)>;

}  // namespace vexa
