#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need (only what is missing).
set -euo pipefail
pkgs=(build-essential cmake ninja-build clang libclang-rt-14-dev qt6-base-dev libgl-dev
      libgtest-dev libgmock-dev libbenchmark-dev clang-format fonts-dejavu-core xvfb xauth locales
      qt6-translations-l10n)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A Russian locale, so the tests can check that files never take its decimal comma.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU.utf-\?8$'; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi
