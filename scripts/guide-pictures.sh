#!/usr/bin/env bash
# Renders the guide's pictures with the examples (nothing in docs/pictures
# is drawn by hand) and its list of published properties from the property
# tables (docs/properties.md): bash scripts/guide-pictures.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
cmake --build "$build" --target headless_chart shared_lists stored_form shapes_report colormaps_report statistics_report \
  kelvo_list_properties kelvo_mark_pictures >/dev/null
"$build/examples/kelvo_list_properties" docs/properties.md
out=docs/pictures
mkdir -p "$out" "$out/marks"
"$build/examples/kelvo_mark_pictures" "$out/marks"
"$build/examples/headless/headless_chart" "$out/headless-chart.png"
"$build/examples/shared-lists/shared_lists" "$out/shared-lists.png"
settings=$(mktemp -d)/settings.json
"$build/examples/stored-form/stored_form" "$settings" "$out/stored-form-first.png"
"$build/examples/stored-form/stored_form" "$settings" "$out/stored-form-second.png"
"$build/examples/shapes/shapes_report" "$out/shapes-areas.png" "$out/shapes-bars.png"
"$build/examples/colormaps/colormaps_report" "$out/colormap-heatmap.png" "$out/colormap-spectrogram.png"
"$build/examples/statistics/statistics_report" "$out/statistics-histogram.png" \
  "$out/statistics-boxes.png" "$out/statistics-candles.png"
QT_QPA_PLATFORM=offscreen "$build/examples/qt-live/live_chart" --snapshot "$out/live-spectrogram.png" \
  >/dev/null 2>&1
# Every series shape, one panel each: the shapes test writes and checks it.
cp tests/golden/series/shapes.png "$out/series-shapes.png"
# The report in the light theme, anti-aliased: the themes test writes and
# checks it.
cp tests/golden/themes/report-light-smooth.png "$out/report-light.png"
QT_QPA_PLATFORM=offscreen "$build/demo/kelvo-demo" --snapshot "$out/demo-window.png" >/dev/null
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$build/demo/kelvo-demo" --snapshot "$out/demo-window-2x.png" \
  >/dev/null
echo "Pictures written to $out, properties to docs/properties.md"
