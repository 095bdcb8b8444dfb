// The shared unit: enumerations, crosshairs, text labels, date formats, the
// mark-symbol routine, the frame routine and the tick-step routine.
#pragma once

#include "base/Enums.h"
