// The main of the benchmark programs with QPainter twins: Qt's offscreen
// platform (QPainter's text needs the font database, not a display), then
// the shared run and comparison.
#pragma once

#include <QGuiApplication>
#include <cstdlib>

#include "BenchMain.h"

namespace kelvo::bench {

inline int RunWithOffscreenQt(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  return RunAndCompare(argc, argv);
}

}  // namespace kelvo::bench
