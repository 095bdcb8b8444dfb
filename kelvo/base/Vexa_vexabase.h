// The shared unit: enumerations, the date format settings, the frame
// routine, pixel rounding and the tick-step routine of the math support code.
#pragma once

#include "kelvo/base/CrossHair.h"
#include "kelvo/base/DateFormat.h"
#include "kelvo/base/Enums.h"
#include "kelvo/base/Errors.h"
#include "kelvo/base/Frame.h"
#include "kelvo/base/Marks.h"
#include "kelvo/base/NiceTickStep.h"
#include "kelvo/base/PixelMath.h"
#include "kelvo/base/TextLabel.h"
