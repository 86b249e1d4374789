#!/usr/bin/env bash
# Installs a Release build into a temporary prefix and packs it as a .deb in
# BUILD_DIR, then checks both: every file an installation must hold, the
# installed tools at work (the batch tool finds the chip-tool stand-in in
# libexec), the desktop entry, the manual pages, a dependency line naming the
# Debian packages of the linked libraries, and lintian's verdict. The .deb is
# kept, so the package checked is the one a user installs.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:?usage: check_package.sh BUILD_DIR}" && pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

expected=(
    bin/gc5016-config
    bin/gc5016-batch
    libexec/gc5016-config/cmd5016
    share/applications/gc5016-config.desktop
    share/icons/hicolor/scalable/apps/gc5016-config.svg
    share/man/man1/gc5016-config.1.gz
    share/man/man1/gc5016-batch.1.gz
    share/doc/gc5016-config/copyright
    share/gc5016-config/examples/workspace/CONFIGS/std.lab
    share/gc5016-config/examples/workspace/CONFIGS/cic8_pfir2.lab
    share/gc5016-config/examples/workspace/FILTERS/cdma.taps
    share/gc5016-config/examples/workspace/Appl
)

cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log" 2>&1 || fail "cmake --install failed: $(cat "$tmp/install.log")"
for f in "${expected[@]}"; do
    [ -e "$tmp/prefix/$f" ] || fail "the installation lacks $f"
done
desktop-file-validate "$tmp/prefix/share/applications/gc5016-config.desktop" || fail "the desktop entry is not valid"
grep -q '^Name\[ru\]=' "$tmp/prefix/share/applications/gc5016-config.desktop" || fail "the desktop entry has no Russian name"

# The installed tools work from the prefix: the stand-in is found in libexec
# (PATH holds no chip tool here), and the manual pages hold the options.
cp -r "$root/examples/workspace" "$tmp/ws"
PATH=/usr/bin:/bin "$tmp/prefix/bin/gc5016-batch" -C "$tmp/ws" workcmd --tool >"$tmp/batch.log" 2>&1 ||
    fail "the installed gc5016-batch failed: $(cat "$tmp/batch.log")"
[ -s "$tmp/ws/FILTERS/workcmd.gc101" ] || fail "the installed batch tool did not find the chip-tool stand-in"
for page in gc5016-config gc5016-batch; do
    gzip -dc "$tmp/prefix/share/man/man1/$page.1.gz" | grep -q '^\.SH OPTIONS' || fail "manual page $page.1.gz lists no options"
done
echo "installed: ${#expected[@]} files and folders in place, the stand-in found in libexec"

rm -f "$build"/gc5016-config_*.deb
(cd "$build" && cpack -G DEB >"$tmp/cpack.log" 2>&1) || fail "cpack failed: $(cat "$tmp/cpack.log")"
debs=("$build"/gc5016-config_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no gc5016-config_*.deb"
deb="${debs[0]}"
listing="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for f in "${expected[@]}"; do
    grep -qxE "\./usr/$f/?" <<<"$listing" || fail "the package lacks /usr/$f"
done
depends="$(dpkg-deb -f "$deb" Depends)"
names="$(tr ',' '\n' <<<"$depends" | awk '{print $1}')"
for p in libqt6widgets6 libqt6svg6 libqt6core6 libstdc++6 libc6; do
    grep -qxF "$p" <<<"$names" || fail "Depends lacks $p: $depends"
done
echo "package: $deb, ${#expected[@]} paths under /usr"
echo "Depends: $depends"

# lintian's errors fail the check; its warnings are listed in the README as known.
if command -v lintian >/dev/null; then
    lintian --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 || true
    errors="$(grep -c '^E: ' "$tmp/lintian.log" || true)"
    warnings="$(grep -c '^W: ' "$tmp/lintian.log" || true)"
    [ "$errors" -eq 0 ] || fail "lintian: $(cat "$tmp/lintian.log")"
    echo "lintian: no errors, $warnings warnings"
fi
