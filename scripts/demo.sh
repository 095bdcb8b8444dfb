#!/usr/bin/env bash
# Builds Kelvo and runs the demo window "Example for Bar3D method". Without a
# display it writes a snapshot of the window (kelvo-demo.png in the current
# folder) instead.
set -euo pipefail
here="$(pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target kelvo-demo
cd "$here"
exec "$root/build/release/demo/kelvo-demo" "$@"
