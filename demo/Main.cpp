// kelvo-demo: the demo window "Example for Bar3D method".
//   kelvo-demo                  opens the window
//   kelvo-demo --snapshot FILE  renders the window offscreen once start-up
//                               and its activation are done, writes a PNG, exits
// Without a display the program says so and writes the snapshot instead.
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "demo/Form1.h"
#include "kelvo/platform/WindowServices.h"
#include "kelvo/qt/QtWindowServices.h"

namespace {
bool HaveDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;  // the caller chose a platform
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (w && *w);
}
}  // namespace

int main(int argc, char** argv) {
  std::string snapshot;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--snapshot") == 0 && i + 1 < argc) snapshot = argv[++i];
  if (snapshot.empty() && !HaveDisplay()) {
    snapshot = "kelvo-demo.png";
    std::printf("No display found: writing a snapshot of the window instead.\n");
  }
  if (!snapshot.empty()) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  QApplication app(argc, argv);
  vexa::qt::TQtWindowServices services;
  vexa::InstallWindowServices(&services);
  int result = 0;
  {
    demo::TForm1 form;
    form.show();
    if (!snapshot.empty()) {
      form.ActivateOnce();  // offscreen windows are not activated by a window manager
      QCoreApplication::processEvents();
      const bool saved = form.grab().save(QString::fromStdString(snapshot), "PNG");
      if (saved)
        std::printf("Wrote %s\n", std::filesystem::absolute(snapshot).c_str());
      else
        std::fprintf(stderr, "kelvo-demo: cannot write %s\n", snapshot.c_str());
      result = saved ? 0 : 1;
    } else {
      result = QApplication::exec();
    }
  }
  vexa::InstallWindowServices(nullptr);
  return result;
}
