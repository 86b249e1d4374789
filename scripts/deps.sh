#!/usr/bin/env bash
# Installs the Debian packages that are missing: with no argument what building,
# running and packaging the configurator need, with --test also what the test
# command runs (tests, benchmarks, fuzzers, the formatting gate, the package
# check). Every program the scripts, CMake and CPack call is in one of the
# lists, since a minimal Debian has none of them: help2man (manual pages),
# file and dpkg-shlibdeps (CPack's dependency step; dpkg-dev comes with
# build-essential), git (the formatting gate lists the files), locale-gen (in
# locales), desktop-file-validate, lintian. The package manager's output goes
# to build-logs/apt.log; one line says what is installed.
set -euo pipefail
source "$(dirname "$0")/steps.sh"

run_pkgs=(build-essential cmake ninja-build qt6-base-dev qt6-svg-dev libliquid-dev qt6-translations-l10n
          fonts-dejavu-core help2man file locales)
test_pkgs=(clang libclang-rt-14-dev clang-format libgtest-dev libgmock-dev libbenchmark-dev
           dpkg-dev desktop-file-utils git lintian libglpk-dev)

pkgs=("${run_pkgs[@]}")
case "${1:-}" in
    "") ;;
    --test) pkgs+=("${test_pkgs[@]}") ;;
    *) echo "usage: deps.sh [--test]" >&2; exit 1 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
    if [ ${#missing[@]} -gt 0 ] && ! command -v sudo >/dev/null; then
        echo "missing packages: ${missing[*]}; run this as root (there is no sudo) or install them" >&2
        exit 1
    fi
fi
if [ ${#missing[@]} -gt 0 ]; then
    install_missing() {
        $SUDO apt-get update -q &&
            DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
    }
    quiet_step "installing ${#missing[@]} packages (${missing[*]})" apt install_missing
else
    echo "packages: all ${#pkgs[@]} installed"
fi

# A Russian locale: the file dialogs take their dates from it, and the tests check
# that files never take its decimal comma.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU.utf-\?8$'; then
    make_locale() {
        $SUDO sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen && $SUDO locale-gen
    }
    quiet_step "making the ru_RU.UTF-8 locale" locale make_locale
fi
