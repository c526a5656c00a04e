#!/usr/bin/env bash
# Builds the Debian package (build-package/quorvel-config_*.deb), unpacks it into an empty
# root directory as dpkg would install it, and runs the installed copy from another
# directory: `quorvel run PIC18F45K22` must load the sample device and exit 0, and the
# package must declare what it needs from the system.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset package >/dev/null
cmake --build --preset package
(cd build-package && cpack -G DEB)
deb=$(ls -t build-package/quorvel-config_*.deb | head -1)
echo "== $deb"
dpkg-deb --info "$deb"

root=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$root" "$work"' EXIT
dpkg-deb -x "$deb" "$root"

fail() {
    echo "package check failed: $*" >&2
    exit 1
}
for f in usr/bin/quorvel usr/bin/quorvel-config usr/lib/quorvel/quorvel \
         usr/lib/quorvel/libquorvel_png.so \
         usr/lib/quorvel/Quorvel_Configuration usr/lib/quorvel/Quorvel_Configuration_PICs.txt \
         usr/lib/quorvel/Defs/PIC18F45K22.vlk usr/share/applications/quorvel-config.desktop \
         usr/share/icons/hicolor/scalable/apps/quorvel-config.svg; do
    [ -e "$root/$f" ] || fail "$f is missing"
done
dpkg-deb --field "$deb" Depends | grep -q libqt6 || fail "no dependency on Qt declared"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/quorvel-config.desktop"
fi

# From an unrelated directory, through the link on PATH, as a user would run it.
cd "$work"
out=$(env -u XDG_RUNTIME_DIR PATH="$root/usr/bin:$PATH" quorvel run PIC18F45K22 2>"$work/err") ||
    fail "quorvel run PIC18F45K22 exited with $?: $(cat "$work/err")"
[ -s "$work/err" ] && fail "standard error was not empty: $(cat "$work/err")"
echo "$out" | grep -q " = " || fail "no value boxes printed: $out"
[ -f "$work/Quorvel_Configuration.ini" ] || fail "no settings file in the current directory"
grep -q "^vP=$root/usr/lib/quorvel/Defs$" "$work/Quorvel_Configuration.ini" ||
    fail "the settings do not point at the installed definitions"
env -u XDG_RUNTIME_DIR PATH="$root/usr/bin:$PATH" quorvel render PIC18F45K22 -o diagram.png \
    2>"$work/err" || fail "quorvel render exited with $?: $(cat "$work/err")"
[ -s "$work/err" ] && fail "standard error of render was not empty: $(cat "$work/err")"
[ -s "$work/diagram.png" ] || fail "render wrote no picture in the current directory"
echo "$out"
echo "== the installed copy of $deb works"
