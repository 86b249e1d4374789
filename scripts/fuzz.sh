#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 600), one after the other,
# from the seed corpus in fuzz/corpus/<target>/, and prints the executions and
# the coverage each reached. New inputs are kept in build-fuzz/corpus-<target>/.
# FUZZ_TARGETS="fuzz_lab fuzz_taps" limits the run to those targets.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
"$root/scripts/deps.sh" --test  # clang and its fuzzing runtime
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGC5016_FUZZ=ON -DGC5016_GUI=OFF -DGC5016_TESTS=OFF -DGC5016_BENCH=OFF >/dev/null
cmake --build "$root/build-fuzz" -j "$(nproc)"
targets="${FUZZ_TARGETS:-$(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')}"
printf '%-18s %12s %10s %8s %8s\n' target executions exec/s cov ft
status=0
for name in $targets; do
  corpus="$root/build-fuzz/corpus-$name"
  log="$root/build-fuzz/$name.log"
  mkdir -p "$corpus"
  rc=0
  (cd "$root/build-fuzz" && "./fuzz/$name" -max_total_time="$seconds" -max_len="${FUZZ_MAX_LEN:-4096}" -rss_limit_mb=2048 \
      -print_final_stats=1 "$corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1) || rc=$?
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
  cov="$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)"
  ft="$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)"
  printf '%-18s %12s %10s %8s %8s\n' "$name" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}"
  if [ "$rc" -ne 0 ]; then
    echo "$name failed (exit $rc); see $log" >&2
    status=1
  fi
done
exit "$status"
