#!/usr/bin/env bash
# Builds and runs every test: the normal build, the same tests under
# AddressSanitizer + UndefinedBehaviorSanitizer, the formatting gate, and each
# fuzz target for a bounded time.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
jobs="$(nproc)"
fuzz_seconds="${FUZZ_SECONDS:-30}"
export QT_QPA_PLATFORM=offscreen

echo "== formatting"
cd "$root"
unformatted=$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' \
                'bench/*.cpp' 'fuzz/*.cpp' | xargs clang-format --dry-run 2>&1 | grep -c warning || true)
if [ "$unformatted" != "0" ]; then
  git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'fuzz/*.cpp' \
    | xargs clang-format --dry-run 2>&1 | grep warning | head -20
  echo "unformatted code: run clang-format -i on the files above" >&2
  exit 1
fi

echo "== release build and tests"
cmake -S "$root" -B "$root/build-test" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-test" -j "$jobs"
ctest --test-dir "$root/build-test" --output-on-failure -j "$jobs" --timeout 600

echo "== sanitizer build and tests"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGC5016_SANITIZE=ON -DGC5016_BENCH=OFF >/dev/null
cmake --build "$root/build-asan" -j "$jobs"
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" --timeout 1200

echo "== fuzzing (${fuzz_seconds} s per target)"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGC5016_FUZZ=ON -DGC5016_GUI=OFF -DGC5016_TESTS=OFF -DGC5016_BENCH=OFF >/dev/null
cmake --build "$root/build-fuzz" -j "$jobs"
for target in "$root"/fuzz/*.cpp; do
  name="$(basename "$target" .cpp)"
  corpus="$root/build-fuzz/corpus-$name"
  mkdir -p "$corpus"
  echo "-- $name"
  (cd "$root/build-fuzz" && "./fuzz/$name" -max_total_time="$fuzz_seconds" -max_len=65536 -rss_limit_mb=2048 \
      -print_final_stats=0 "$corpus" "$root/fuzz/corpus/$name" 2>&1 | tail -n 3)
done
echo "== all tests passed"
