// The shared unit: enumerations, the date format settings, the frame
// routine, pixel rounding and the tick-step routine of the math support code.
#pragma once

#include "base/CrossHair.h"
#include "base/DateFormat.h"
#include "base/Enums.h"
#include "base/Errors.h"
#include "base/Frame.h"
#include "base/Marks.h"
#include "base/NiceTickStep.h"
#include "base/PixelMath.h"
#include "base/TextLabel.h"
