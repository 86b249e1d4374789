#!/usr/bin/env bash
# Builds the configurator in Release and starts it in a working folder copied
# from examples/workspace (run/workspace), so the user's edits stay out of the repo.
# The tools' output goes to build-logs/; each step prints one line.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
source "$root/scripts/steps.sh"
quiet_step "configuring build" configure-build \
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGC5016_TESTS=OFF -DGC5016_BENCH=OFF
build_step "$root/build"
ws="$root/run/workspace"
if [ ! -d "$ws" ]; then
  mkdir -p "$root/run"
  cp -r "$root/examples/workspace" "$ws"
fi
echo "starting gc5016-config in ${ws#"$root"/}"
cd "$ws"
# The chip-tool stand-in sits beside the program and is found there.
exec "$root/build/gc5016-config" "$@"
