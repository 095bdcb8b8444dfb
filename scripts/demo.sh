#!/usr/bin/env bash
# Builds Kelvo and runs the demo program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target kelvo-demo
exec build/release/demo/kelvo-demo "$@"
