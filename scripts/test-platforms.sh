#!/usr/bin/env bash
# Cross-builds the library and its headless test suites for the other
# platforms and runs them there under emulation:
#
#   bash scripts/test-platforms.sh [aarch64] [win64] [i686] [win32]   (all when none is named)
#
#   aarch64   64-bit ARM Linux: Debian's aarch64 cross compiler, the target's
#             libraries from Debian's arm64 packages, tests under qemu-user.
#   win64     64-bit Windows: Debian's MinGW-w64 cross compiler; tests under
#             Wine.
#   i686      32-bit x86 Linux: the host's compiler in 32-bit mode, tests under
#             qemu-user; without fontconfig (the font folder lookup).
#   win32     32-bit Windows: as win64; its tests run where Wine can run 32-bit
#             programs (not on a kernel without 32-bit support: then the
#             reason is printed and i686 has run the same code in 32 bits).
#
# For the last three, FreeType is built from Debian's source package (the
# same version and patches as Linux renders with), GoogleTest from Debian's
# googletest sources; stb's and nlohmann-json's headers are Debian's.
#
# The same reference pictures are checked as on x86-64 (the same pinned font
# files through the same FreeType version). Installs what it needs (apt-get,
# as root or through sudo) when something is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(aarch64 win64 i686 win32)
wants() { local t; for t in "${TARGETS[@]}"; do [ "$t" = "$1" ] && return 0; done; return 1; }

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

# install_packages ARCH-TO-ADD PACKAGE...: installs the missing ones.
install_packages() {
  local arch=$1; shift
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ -n "$arch" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    $SUDO dpkg --add-architecture "$arch"
  fi
  # A mirror that is syncing one index must not stop the others being used.
  $SUDO apt-get update -qq || true
  $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
}

# configure_and_build NAME TOOLCHAIN [CMAKE-ARG...]: the library and its
# headless suites into build/NAME.
configure_and_build() {
  local name=$1 toolchain=$2
  shift 2
  echo "== $name: configure and build"
  cmake -S . -B "build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$toolchain.cmake" \
    -DKELVO_BENCH=OFF -DKELVO_INSTALL=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON "$@" >/dev/null
  cmake --build "build/$name" -j "$(nproc)"
}

# run_tests NAME UNDER: the suites of build/NAME, saying what is left out.
run_tests() {
  echo "== $1: tests under $2"
  echo "   left out there: the Qt host, demo window and X server tests (no Qt for the target),"
  echo "   the SVG rasterising tests (no librsvg for the target), the package tests"
  echo "   (x86-64 Linux only) and the benchmarks (timings under emulation say little)"
  ctest --test-dir "build/$1" -j "$(nproc)" --timeout 900 --output-on-failure && return 0
  # Now and then the emulator fails to start a program, which then ends at
  # once without a line of output (seen under Wine). The tests themselves are
  # deterministic, so what failed runs once more and only a second failure
  # fails the run; both results stay in the log.
  echo "== $1: running the failed tests once more under $2"
  ctest --test-dir "build/$1" --rerun-failed --timeout 900 --output-on-failure
}

# --- 64-bit ARM ---
test_aarch64() {
  install_packages arm64 g++-aarch64-linux-gnu qemu-user libfreetype-dev:arm64 \
    libfontconfig-dev:arm64 libstb-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64
  configure_and_build aarch64 aarch64-linux-gnu
  run_tests aarch64 qemu-user
}

# --- Windows and 32-bit x86 Linux: libraries built here ---
OWN_DEPS_PACKAGES=(dpkg-dev googletest libstb-dev nlohmann-json3-dev fonts-liberation2
                   fonts-dejavu-core)

# FreeType's source as Debian builds it (its patches applied), fetched once;
# prints its folder (and nothing else on stdout).
freetype_source() {
  local src=$ROOT/build/deps/src
  if ! ls -d "$src"/freetype-*/ >/dev/null 2>&1; then
    if ! apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx Sources; then
      echo "Adding Debian's source archive (deb-src) for FreeType's source package" >&2
      # shellcheck disable=SC1091
      . /etc/os-release
      $SUDO tee /etc/apt/sources.list.d/kelvo-deb-src.sources >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${VERSION_CODENAME} ${VERSION_CODENAME}-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: ${VERSION_CODENAME}-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
      $SUDO apt-get update -qq || true
    fi
    mkdir -p "$src"
    # The version Linux renders with, so both draw the same glyphs.
    local version
    version=$(dpkg-query -W -f='${source:Version}' "libfreetype6:$(dpkg --print-architecture)")
    (cd "$src" && apt-get source -qq "freetype=$version" >/dev/null 2>&1 ||
                  apt-get source -qq freetype >/dev/null)
  fi
  ls -d "$src"/freetype-*/ | head -n 1
}

# build_own_deps TRIPLE: FreeType, GoogleTest, stb's and nlohmann-json's
# headers into build/deps/TRIPLE.
build_own_deps() {
  local triple=$1 prefix=$ROOT/build/deps/$1
  local toolchain=$ROOT/cmake/toolchains/$1.cmake
  local common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain"
                -DKELVO_DEPS_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix")
  if [ ! -f "$prefix/lib/pkgconfig/freetype2.pc" ]; then
    local ftsrc
    ftsrc=$(freetype_source)
    echo "== $triple: FreeType from $(basename "$ftsrc")"
    cmake -S "$ftsrc" -B "$prefix/build/freetype" "${common[@]}" -DBUILD_SHARED_LIBS=OFF \
      -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
      -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >/dev/null
    cmake --build "$prefix/build/freetype" -j "$(nproc)" --target install >/dev/null
  fi
  if [ ! -d "$prefix/lib/cmake/GTest" ]; then
    echo "== $triple: GoogleTest from /usr/src/googletest"
    cmake -S /usr/src/googletest -B "$prefix/build/googletest" "${common[@]}" \
      -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >/dev/null
    cmake --build "$prefix/build/googletest" -j "$(nproc)" --target install >/dev/null
  fi
  # Header-only libraries: Debian's headers (copied, as the target's include
  # path must not reach the host's /usr/include).
  mkdir -p "$prefix/include/stb"
  cp /usr/include/stb/stb_image.h /usr/include/stb/stb_image_write.h "$prefix/include/stb/"
  cp -r /usr/include/nlohmann "$prefix/include/"
}

# Prints why 32-bit Windows programs cannot run under Wine here, or nothing.
wine32_missing() {
  mkdir -p build
  printf 'int main(void) { return 0; }\n' >build/probe32.c
  install_packages "" g++-multilib >&2
  if gcc -m32 build/probe32.c -o build/probe32 && ! build/probe32 2>/dev/null; then
    echo "this machine's kernel runs no 32-bit x86 programs, which Wine's 32-bit part needs"
    return 0
  fi
  if ! install_packages i386 wine32:i386 >&2; then
    dpkg -l | grep -q ':i386 ' || $SUDO dpkg --remove-architecture i386 2>/dev/null || true
    echo "Wine's 32-bit part (wine32:i386) could not be installed from the package archive"
    return 0
  fi
  i686-w64-mingw32-gcc-posix build/probe32.c -o build/probe32.exe
  if ! timeout 60 wine build/probe32.exe >/dev/null 2>&1; then
    echo "Wine runs no 32-bit Windows program here"
  fi
}

# test_windows NAME TRIPLE
test_windows() {
  local name=$1 triple=$2
  local arch=${triple%%-*}
  install_packages "" "g++-mingw-w64-${arch//_/-}-posix" wine wine64 "${OWN_DEPS_PACKAGES[@]}"
  local why_not=""
  [ "$name" = win32 ] && why_not=$(wine32_missing)
  build_own_deps "$triple"
  export WINEPREFIX=$ROOT/build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== Wine: a prefix for the tests"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # Tests are listed when they run (PRE_TEST), so the build runs no Wine.
  configure_and_build "$name" "$triple" -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST
  if [ -n "$why_not" ]; then
    echo "== $name: built and linked; its tests are LEFT OUT here: $why_not."
    echo "   The 32-bit x86 Linux build (target i686, under qemu-user) runs the same code"
    echo "   in 32 bits instead."
    return 0
  fi
  # One server for the whole run: a server that ends between two programs
  # can drop a program starting just then ("recvmsg: Connection reset by
  # peer"). Wine's own services start now, away from the tests' output pipes,
  # which they would otherwise hold open past the end of a test.
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 || true
  trap 'wineserver -k 2>/dev/null || true' EXIT
  run_tests "$name" Wine
  wineserver -k || true
  trap - EXIT
}

# --- 32-bit x86 Linux ---
test_i686() {
  install_packages "" g++-multilib qemu-user "${OWN_DEPS_PACKAGES[@]}"
  build_own_deps i686-linux-gnu
  configure_and_build i686 i686-linux-gnu -DKELVO_FONTCONFIG=OFF
  run_tests i686 qemu-user
}

wants aarch64 && test_aarch64
wants win64 && test_windows win64 x86_64-w64-mingw32
wants i686 && test_i686
wants win32 && test_windows win32 i686-w64-mingw32
echo "== platforms passed: ${TARGETS[*]}"
