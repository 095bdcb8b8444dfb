#!/usr/bin/env bash
# Builds Kelvo and runs every test twice: in the release build and in the
# AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
for preset in release asan; do
  echo "== ${preset}: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for preset in release asan; do
  echo "== ${preset}: tests"
  QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$jobs"
done
