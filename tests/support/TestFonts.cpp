#include "support/TestFonts.h"

#include <string>

#include "kelvo/platform/FontEngine.h"

namespace kelvo::test {

void PinTestFonts() {
  auto& engine = vexa::TFontEngine::Instance();
  const std::string dir = KELVO_FONT_DIR;
  for (const char* family : {"MS Sans Serif", "Arial"}) {
    engine.RegisterFontFile(family, false, false, dir + "/LiberationSans-Regular.ttf");
    engine.RegisterFontFile(family, true, false, dir + "/LiberationSans-Bold.ttf");
    engine.RegisterFontFile(family, false, true, dir + "/LiberationSans-Italic.ttf");
    engine.RegisterFontFile(family, true, true, dir + "/LiberationSans-BoldItalic.ttf");
  }
}

}  // namespace kelvo::test
