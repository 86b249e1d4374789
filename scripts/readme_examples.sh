#!/usr/bin/env bash
# Runs the worked examples of README.md and compares what they print with what
# the README shows, so a change that moves a figure fails until the README
# follows; with --update it writes the tool's output into the README instead.
#
# An example is an indented block whose first line starts with "$ ". Each "$ "
# line is run with bash, in the order of the README, from a scratch folder that
# holds `build` (the build folder) and `examples` (the repository's); the
# following lines up to the next "$ " line are the stdout it must print. Every
# command must exit 0 (show another status with `; echo "exit $?"`). A line
# "..." stands for any number of lines. /tmp/gc5016 in a command names a folder
# in the scratch folder, so the examples never touch the real /tmp/gc5016.
#
# Usage: readme_examples.sh [--update] [--build DIR] [--readme FILE]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
readme="$root/README.md"
update=0
while [ $# -gt 0 ]; do
    case "$1" in
        --update) update=1 ;;
        --build) build="${2:?--build needs a folder}"; shift ;;
        --readme) readme="${2:?--readme needs a file}"; shift ;;
        *) echo "usage: readme_examples.sh [--update] [--build DIR] [--readme FILE]" >&2; exit 1 ;;
    esac
    shift
done
build="$(cd "$build" && pwd)" || exit 1
[ -x "$build/gc5016-batch" ] || { echo "readme_examples: no gc5016-batch in $build (build it first)" >&2; exit 1; }
[ -f "$readme" ] || { echo "readme_examples: no $readme" >&2; exit 1; }
shown="$(basename "$readme")"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/run"
ln -s "$build" "$tmp/run/build"
ln -s "$root/examples" "$tmp/run/examples"
# Messages and number formats as on the machine the README was written on.
export LC_ALL=C.UTF-8

mapfile -t lines <"$readme"
out=()           # the README as it will be written back with --update
failures=0
commands=0
rewritten=0

# Leading words two lines share: which output line an elided example's line stands for.
common_words() {
    local -a x y
    read -ra x <<<"$1"
    read -ra y <<<"$2"
    local k=0
    while [ $k -lt ${#x[@]} ] && [ $k -lt ${#y[@]} ] && [ "${x[k]}" = "${y[k]}" ]; do k=$((k + 1)); done
    echo $k
}

# Compares expected lines (global `expected`) with actual ones (global `actual`);
# fills `updated` with the expected lines rewritten from the actual ones. Returns
# 0 when they match.
match_output() {
    updated=()
    local i j=0 skip=0 ok=0 e k c best bestk n
    n=${#actual[@]}
    for ((i = 0; i < ${#expected[@]}; i++)); do
        e="${expected[i]}"
        if [ "$e" = "..." ]; then
            skip=1
            updated+=("...")
            continue
        fi
        if [ $skip -eq 1 ]; then
            bestk=-1
            best=-1
            for ((k = j; k < n; k++)); do
                if [ "${actual[k]}" = "$e" ]; then bestk=$k; best=1000; break; fi
                c=$(common_words "$e" "${actual[k]}")
                if [ "$c" -gt "$best" ]; then best=$c; bestk=$k; fi
            done
            if [ $bestk -lt 0 ]; then
                ok=1
                updated+=("$e")
                continue
            fi
            [ "${actual[bestk]}" = "$e" ] || ok=1
            updated+=("${actual[bestk]}")
            j=$((bestk + 1))
            skip=0
        else
            if [ $j -ge $n ]; then
                ok=1
                continue  # the tool prints fewer lines: the surplus goes
            fi
            [ "${actual[j]}" = "$e" ] || ok=1
            updated+=("${actual[j]}")
            j=$((j + 1))
        fi
    done
    if [ $skip -eq 0 ] && [ $j -lt $n ]; then
        ok=1
        updated+=("${actual[@]:j}")
    fi
    return $ok
}

# Runs one command and compares; appends the block lines to `out`.
run_example() {
    local line_no="$1" cmd="$2"
    local run="${cmd//\/tmp\/gc5016/$tmp/gc5016}"
    commands=$((commands + 1))
    local status=0
    (cd "$tmp/run" && bash -o pipefail -c "$run") >"$tmp/stdout" 2>"$tmp/stderr" || status=$?
    mapfile -t actual < <(sed "s|$tmp/gc5016|/tmp/gc5016|g" "$tmp/stdout")
    out+=("    \$ $cmd")
    if [ $status -ne 0 ]; then
        failures=$((failures + 1))
        echo "$shown:$line_no: \$ $cmd" >&2
        echo "  exited with status $status; stderr:" >&2
        sed 's/^/  /' "$tmp/stderr" >&2
        for e in "${expected[@]}"; do out+=("    $e"); done
        return
    fi
    if match_output; then
        for e in "${expected[@]}"; do out+=("    $e"); done
        return
    fi
    if [ $update -eq 1 ]; then
        for e in "${updated[@]}"; do out+=("    $e"); done
        rewritten=$((rewritten + 1))
        echo "$shown:$line_no: took the output of \$ $cmd"
        return
    fi
    failures=$((failures + 1))
    echo "$shown:$line_no: \$ $cmd" >&2
    echo "  prints other lines than the README shows (- README, + tool):" >&2
    diff -u <(printf '%s\n' "${expected[@]}") <(printf '%s\n' "${updated[@]}") | tail -n +3 | sed 's/^/  /' >&2
    for e in "${expected[@]}"; do out+=("    $e"); done
}

n=${#lines[@]}
i=0
while [ $i -lt $n ]; do
    l="${lines[i]}"
    if [[ "$l" != "    \$ "* ]]; then
        out+=("$l")
        i=$((i + 1))
        continue
    fi
    # One example block: commands, each with the lines it prints.
    while [ $i -lt $n ] && [[ "${lines[i]}" == "    \$ "* ]]; do
        cmd="${lines[i]#    \$ }"
        cmd_line=$((i + 1))
        expected=()
        i=$((i + 1))
        while [ $i -lt $n ] && [[ "${lines[i]}" == "    "* ]] && [[ "${lines[i]}" != "    \$ "* ]]; do
            expected+=("${lines[i]#    }")
            i=$((i + 1))
        done
        run_example "$cmd_line" "$cmd"
    done
done

if [ $update -eq 1 ]; then
    printf '%s\n' "${out[@]}" >"$tmp/README.new"
    if ! cmp -s "$tmp/README.new" "$readme"; then
        cat "$tmp/README.new" >"$readme"
        echo "README.md rewritten from the tool's output"
    fi
fi
if [ $failures -gt 0 ]; then
    echo "README examples: $failures of $commands commands failed or print other lines" >&2
    [ $update -eq 1 ] || echo "run scripts/readme_examples.sh --update to take the tool's output" >&2
    exit 1
fi
if [ $rewritten -gt 0 ]; then
    echo "README examples: $commands commands, the output of $rewritten taken from the tool"
else
    echo "README examples: $commands commands print what the README shows"
fi
