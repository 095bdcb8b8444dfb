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
  // Other families are looked up among the system's fonts and these: where
  // the system has none (a fresh Wine prefix), the sans fallback is found here.
  engine.AddFontFolder(dir);
}

}  // namespace kelvo::test
