#!/usr/bin/env bash
# Remakes the pictures of the user guide: the main window in normal and in
# expert mode and the CIC and PFIR windows, on the example working folder,
# grabbed on the offscreen platform. Writes docs/*.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-screens}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGC5016_GUI=ON -DGC5016_TESTS=ON -DGC5016_BENCH=OFF >/dev/null
cmake --build "$build" --target ui_screenshots_test
mkdir -p "$root/docs"
QT_QPA_PLATFORM=offscreen GC5016_SHOT_DIR="$root/docs" "$build/tests/ui_screenshots_test" -silent
echo "written: $(cd "$root" && ls docs/*.png | tr '\n' ' ')"
