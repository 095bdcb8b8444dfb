// The chart unit: TCustomKelvo and TKelvo with their settings objects.
#pragma once

#include "kelvo/chart/BakGndImg.h"
#include "kelvo/chart/ChartTypes.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/DisplayList.h"
#include "kelvo/chart/JointLayers.h"
#include "kelvo/chart/ScaleProps.h"
#include "kelvo/chart/TextLabel.h"
