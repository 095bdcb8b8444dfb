// The axis control unit: TScale with its tick passes and label formatting.
#pragma once

#include "kelvo/scale/Scale.h"
#include "kelvo/scale/TickLabels.h"
