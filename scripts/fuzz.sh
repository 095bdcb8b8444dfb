#!/usr/bin/env bash
# Builds the fuzzers with clang's libFuzzer and runs each for a while
# (default 60 seconds): scripts/fuzz.sh [SECONDS]
#   image_decode_fuzz  the BMP and PNG decoders (no block above 600 MB: the
#                      picture cap of 512 MB and a little)
#   form_read_fuzz     the stored-form reader with the settings objects
#   datetime_fuzz      date/time formats and values
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang libclang-rt-14-dev)" >&2; exit 1; }
out=build/fuzz
mkdir -p "$out/image-corpus" "$out/form-corpus" "$out/datetime-corpus"
# Kelvo's headers are included as "kelvo/...": this folder is the include root.
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. -I/usr/include/freetype2)
clang++ "${flags[@]}" tests/fuzz/ImageDecodeFuzz.cpp kelvo/platform/BmpCodec.cpp kelvo/platform/PngCodec.cpp \
  -I/usr/include/stb -l:libstb.a -o "$out/image_decode_fuzz"
clang++ "${flags[@]}" tests/fuzz/FormReadFuzz.cpp kelvo/platform/Streaming.cpp kelvo/platform/Files.cpp kelvo/platform/Classes.cpp \
  kelvo/platform/Graphics.cpp kelvo/base/DateFormat.cpp kelvo/base/TextLabel.cpp kelvo/chart/ScaleProps.cpp kelvo/chart/TextLabel.cpp \
  kelvo/chart/JointLayers.cpp kelvo/chart/BakGndImg.cpp -o "$out/form_read_fuzz"
clang++ "${flags[@]}" tests/fuzz/DateTimeFormatFuzz.cpp kelvo/platform/DateTime.cpp kelvo/scale/DateTimeLabels.cpp \
  -o "$out/datetime_fuzz"
seconds="${1:-60}"
"$out/image_decode_fuzz" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 -malloc_limit_mb=600 "$out/image-corpus" tests/fuzz/seeds
"$out/form_read_fuzz" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 "$out/form-corpus" tests/fuzz/form-seeds
"$out/datetime_fuzz" -max_total_time="$seconds" -max_len=256 "$out/datetime-corpus"
