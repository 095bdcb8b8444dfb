// The axis control unit: TScale with its tick passes and label formatting.
#pragma once

#include "scale/Scale.h"
#include "scale/TickLabels.h"
