#!/usr/bin/env bash
# Builds and runs every test: the normal build, the install and the Debian
# package (kept in build-test/), the same tests under AddressSanitizer +
# UndefinedBehaviorSanitizer, the formatting gate, and each fuzz target for a
# bounded time. The tools' own output goes to build-logs/; each set-up step
# prints one line, each test run ctest's summary (and only failed tests).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh" --test
source "$root/scripts/steps.sh"
jobs="$(nproc)"
fuzz_seconds="${FUZZ_SECONDS:-30}"
export QT_QPA_PLATFORM=offscreen

echo "== formatting"
cd "$root"
sources=$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'fuzz/*.cpp')
unformatted=$(xargs clang-format --dry-run <<<"$sources" 2>&1 | grep -c warning || true)
if [ "$unformatted" != "0" ]; then
  xargs clang-format --dry-run <<<"$sources" 2>&1 | grep warning | head -20
  echo "unformatted code: run clang-format -i on the files above" >&2
  exit 1
fi
echo "formatting: $(wc -l <<<"$sources") files as clang-format leaves them"

echo "== release build and tests"
quiet_step "configuring build-test" configure-build-test \
  cmake -S "$root" -B "$root/build-test" -G Ninja -DCMAKE_BUILD_TYPE=Release
build_step "$root/build-test" -j "$jobs"
test_step "$root/build-test" -j "$jobs" --timeout 600

echo "== install and package"
"$root/scripts/check_package.sh" "$root/build-test"

echo "== ASan+UBSan build and tests"
quiet_step "configuring build-asan" configure-build-asan \
  cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGC5016_SANITIZE=ON -DGC5016_BENCH=OFF
build_step "$root/build-asan" -j "$jobs"
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  test_step "$root/build-asan" -j "$jobs" --timeout 1200

echo "== fuzzing (${fuzz_seconds} s per target)"
quiet_step "configuring build-fuzz" configure-build-fuzz env CC=clang CXX=clang++ \
  cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGC5016_FUZZ=ON -DGC5016_GUI=OFF -DGC5016_TESTS=OFF -DGC5016_BENCH=OFF
build_step "$root/build-fuzz" -j "$jobs"
crashed=()
for target in "$root"/fuzz/*.cpp; do
  name="$(basename "$target" .cpp)"
  corpus="$root/build-fuzz/corpus-$name"
  artifacts="$root/build-fuzz/artifacts-$name"
  log="$steps_logs/$name.log"
  rm -rf "$artifacts"
  mkdir -p "$corpus" "$artifacts"
  # The checked-in seeds are read, never written: new inputs go to the build's corpus.
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
  status=0
  (cd "$root/build-fuzz" && "./fuzz/$name" -max_total_time="$fuzz_seconds" -max_len=65536 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$log" 2>&1) || status=$?
  # libFuzzer's last status line holds the coverage; its final stats the executions.
  runs="$(awk '/^stat::number_of_executed_units:/ {print $2}' "$log")"
  cov="$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 || true)"
  crashes="$(find "$artifacts" -type f | wc -l)"
  echo "-- $name: ${runs:-?} executions, ${cov:-cov: ?}, $crashes crashes"
  if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    tail -n 30 "$log" >&2
    crashed+=("$name")
  fi
done
if [ ${#crashed[@]} -gt 0 ]; then
  echo "fuzzing found crashes in: ${crashed[*]} (inputs in build-fuzz/artifacts-*)" >&2
  exit 1
fi
debs=("$root"/build-test/gc5016-config_*.deb)
echo "== all tests passed; the package they checked: ${debs[0]#"$root"/}"
