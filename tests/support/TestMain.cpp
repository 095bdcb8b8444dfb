#include <gtest/gtest.h>

#include "support/TestFonts.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  kelvo::test::PinTestFonts();
  return RUN_ALL_TESTS();
}
