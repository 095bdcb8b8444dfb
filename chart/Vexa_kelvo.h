// The chart unit: TCustomKelvo and TKelvo with their settings objects.
#pragma once

#include "chart/BakGndImg.h"
#include "chart/ChartTypes.h"
#include "chart/CustomKelvo.h"
#include "chart/DisplayList.h"
#include "chart/JointLayers.h"
#include "chart/ScaleProps.h"
#include "chart/TextLabel.h"
