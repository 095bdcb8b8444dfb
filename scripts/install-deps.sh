#!/usr/bin/env bash
# Installs the Debian 12 packages Kelvo needs to build, test and run, when
# any of them is missing. Needs root (or sudo) only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core
  libstb-dev nlohmann-json3-dev
  qt6-base-dev
  xvfb openbox libx11-dev libxtst-dev libxfixes-dev
  libqcustomplot-dev
  librsvg2-dev qt6-svg-dev
  python3-numpy  # tests only: quartiles checked against numpy
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
  SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
