#!/usr/bin/env bash
# Builds the picture-decoder fuzzer with clang's libFuzzer and runs it for a
# while (default 60 seconds): scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang libclang-rt-14-dev)" >&2; exit 1; }
out=build/fuzz
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
  tests/fuzz/ImageDecodeFuzz.cpp platform/BmpCodec.cpp platform/PngCodec.cpp \
  -I/usr/include/stb -l:libstb.a -o "$out/image_decode_fuzz"
# Seed with the bitmap files the tests write.
"$out/image_decode_fuzz" -max_total_time="${1:-60}" -max_len=4096 -rss_limit_mb=2048 "$out/corpus" tests/fuzz/seeds
