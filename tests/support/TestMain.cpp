#include <gtest/gtest.h>

#include "support/TestFonts.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  kelvo::test::PinTestFonts();
  return RUN_ALL_TESTS();
}

// LeakSanitizer: fontconfig keeps its configuration and caches for the life
// of the process; that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
