#!/usr/bin/env bash
# Builds the configurator in Release and starts it in a working folder copied
# from examples/workspace (run/workspace), so the user's edits stay out of the repo.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGC5016_TESTS=OFF -DGC5016_BENCH=OFF >/dev/null
cmake --build "$root/build"
ws="$root/run/workspace"
if [ ! -d "$ws" ]; then
  mkdir -p "$root/run"
  cp -r "$root/examples/workspace" "$ws"
fi
cd "$ws"
# The chip-tool stand-in sits beside the program and is found there.
exec "$root/build/gc5016-config" "$@"
