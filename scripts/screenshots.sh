#!/usr/bin/env bash
# Remakes the pictures of the user guide on the example working folder, grabbed
# on the offscreen platform: the main window in normal and in expert mode and
# the CIC and PFIR windows and "Анализ тракта" (docs/chain_window.png)
# (docs/main_window*.png, docs/cic_*.png, docs/pfir_window*.png), the PFIR designer
# (docs/pfir_design.png), the synchronisation dialog and the register editors
# (docs/sync_window.png, docs/register_*.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-screens}"
"$root/scripts/deps.sh" --test  # the pictures are taken by Qt tests
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGC5016_GUI=ON -DGC5016_TESTS=ON -DGC5016_BENCH=OFF >/dev/null
cmake --build "$build" --target ui_screenshots_test ui_pfir_design_dialog_test ui_register_windows_shots_test
mkdir -p "$root/docs"
QT_QPA_PLATFORM=offscreen GC5016_SHOT_DIR="$root/docs" "$build/tests/ui_screenshots_test" -silent
QT_QPA_PLATFORM=offscreen GC5016_SHOT_DIR="$root/docs" "$build/tests/ui_pfir_design_dialog_test" -silent \
  appliedSplitKeepsTheRequestThroughUndoAndRedo
QT_QPA_PLATFORM=offscreen GC5016_SHOT_DIR="$root/docs" "$build/tests/ui_register_windows_shots_test" -silent
echo "written: the pictures in $root/docs"
