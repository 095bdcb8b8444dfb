// The chart unit: TCustomKelvo and TKelvo with their settings objects.
#pragma once

#include "chart/ChartTypes.h"
#include "chart/CustomKelvo.h"
#include "chart/DisplayList.h"
