# Sourced by the set-up scripts: each step prints one line and sends the
# tools' own output to a log in build-logs/, shown only when the step fails.

steps_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
steps_logs="$steps_root/build-logs"
mkdir -p "$steps_logs"

# Shows the end of a log after a failure.
steps_fail() {
    local what=$1 log=$2
    echo "$what: failed (whole log: ${log#"$steps_root"/})" >&2
    tail -n 40 "$log" >&2
    return 1
}

# quiet_step "WHAT" LOGNAME COMMAND...: runs the command with its output in
# the log; prints "WHAT… done" or the log's end.
quiet_step() {
    local what=$1 log="$steps_logs/$2.log"
    shift 2
    printf '%s… ' "$what"
    if "$@" >"$log" 2>&1; then
        echo done
    else
        echo
        steps_fail "$what" "$log"
    fi
}

# build_step DIR [cmake --build options]: builds with Ninja, showing its
# [n/N] progress in place on a terminal and once at the end otherwise.
build_step() {
    local dir=$1 name
    shift
    name="$(basename "$dir")"
    local log="$steps_logs/build-$name.log"
    local tty=0 errexit=0
    [ -t 1 ] && tty=1
    [[ $- == *e* ]] && errexit=1
    set +e
    NINJA_STATUS="[%s/%t] " cmake --build "$dir" "$@" 2>&1 | tee "$log" | awk -v tty="$tty" -v name="$name" '
        match($0, /^\[[0-9]+\/[0-9]+\]/) {
            last = substr($0, RSTART, RLENGTH)
            if (tty) printf "\rbuilding %s %s", name, last
        }
        END {
            if (tty) printf "\r"
            printf "building %s %s\n", name, (last == "" ? "(nothing to do)" : last)
        }'
    local status=${PIPESTATUS[0]}
    [ "$errexit" -eq 1 ] && set -e
    [ "$status" -eq 0 ] || steps_fail "building $name" "$log"
}

# test_step DIR [ctest options]: runs the build's tests with their output in
# build-logs/ctest-NAME.log. A passing run prints only ctest's closing summary
# and time; a failing one adds each failed test's line and the end of its
# output.
test_step() {
    local dir=$1 name
    shift
    name="$(basename "$dir")"
    local log="$steps_logs/ctest-$name.log" status=0
    ctest --test-dir "$dir" --output-on-failure "$@" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        # A failed test's line, then at most 40 lines of its output, up to the next test's line.
        awk '
            /^ *[0-9]+\/[0-9]+ Test +#/ { shown = ($0 !~ / Passed /); n = 0; if (shown) print; next }
            /tests passed, .* tests failed out of/ { shown = 0 }
            shown && n++ < 40 { print "    " $0 }
        ' "$log" >&2
        sed -n '/^The following tests FAILED:/,$p' "$log" >&2
        echo "tests of $name: failed (whole log: ${log#"$steps_root"/})" >&2
    fi
    grep -E 'tests passed, [0-9]+ tests? failed out of|^Total Test time' "$log" || true
    return "$status"
}
