#!/usr/bin/env bash
# Cross-builds the library and its headless test suites for the other
# platforms and runs them there under emulation: bash scripts/test-platforms.sh
#
#   aarch64   64-bit ARM Linux: Debian's aarch64 cross compiler, the target's
#             libraries from Debian's arm64 packages, tests under qemu-user.
#
# The same reference pictures are checked as on x86-64 (the same pinned font
# files through the same FreeType version). Installs what it needs (apt-get,
# as root or through sudo) when something is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

# --- 64-bit ARM ---
ARM_PACKAGES=(g++-aarch64-linux-gnu qemu-user libfreetype-dev:arm64 libfontconfig-dev:arm64
              libstb-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64)
missing=()
for p in "${ARM_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx arm64 || $SUDO dpkg --add-architecture arm64
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

echo "== aarch64: configure and build"
cmake -S . -B build/aarch64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake \
  -DKELVO_BENCH=OFF -DKELVO_INSTALL=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON >/dev/null
cmake --build build/aarch64 -j "$(nproc)"
echo "== aarch64: tests under qemu-user"
echo "   left out there: the Qt host, demo window and X server tests (no Qt for the target),"
echo "   the SVG rasterising tests (librsvg is not installed for the target), the package"
echo "   tests (x86-64 only) and the benchmarks (timings under emulation say nothing)"
ctest --test-dir build/aarch64 -j "$(nproc)" --timeout 900 --output-on-failure
