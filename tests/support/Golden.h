// Reference-image comparison. A picture is compared with
// tests/golden/<Name>.png; on a mismatch the actual picture, the expected one
// and a diff (differing pixels in red over a faded copy) are written to
// <build>/golden-failures/ so a person can look. With KELVO_UPDATE_GOLDEN=1
// in the environment a missing or differing reference is (re)written instead.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "kelvo/platform/Bitmap.h"

namespace kelvo::test {

struct TTolerance {
  int MaxChannelDiff = 0;  // largest difference of one colour channel allowed
  int MaxPixels = 0;       // number of pixels allowed to differ by more than that
};

::testing::AssertionResult MatchesGolden(const vexa::TBitmap& Actual, const std::string& Name,
                                         TTolerance Tolerance = {});

}  // namespace kelvo::test

#define EXPECT_GOLDEN(bitmap, name, ...) \
  EXPECT_TRUE(::kelvo::test::MatchesGolden(bitmap, name, ##__VA_ARGS__))
