#!/usr/bin/env bash
# Writes src/cli/hot-functions.txt: the functions of the command line that its short commands
# run, for the linker to place side by side (cmake/LinkOrder.cmake says why). Run it after
# changes that rename, add or remove many functions on the path of `run` and `code`; a stale
# list only costs start-up time.
#
# It builds the release preset, runs `--version` and `run` and `code` on one device of every
# shipped diagram under callgrind, and keeps the names of the functions they ran that the
# program defines, sorted, one per line.
#
# usage: tools/hot-functions.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh
if ! command -v valgrind >/dev/null; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends valgrind >&2
fi

cmake --preset release >&2
cmake --build --preset release -j2 --target quorvel >&2
program="$root/build-release/quorvel"

# One device of each diagram, the smallest and the largest definitions among them.
devices=(PIC16F882 PIC16F1827 PIC16F1939 PIC18F45K20 PIC18F45K22 dsPIC33FJ64GP202
    PIC32MX795F512L)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
profile() {
    valgrind --tool=callgrind --demangle=no --callgrind-out-file="$work/calls.$1" \
        "$program" "${@:2}" >/dev/null 2>&1
}
n=0
profile $((n++)) --version
for device in "${devices[@]}"; do
    profile $((n++)) run "$device"
    profile $((n++)) code "$device"
done

# Callgrind names a function once per file as "fn=(id) name"; later mentions give the id only.
sed -nE 's/^c?fn=\([0-9]+\) (.+)$/\1/p' "$work"/calls.* | sort -u >"$work/ran.txt"
nm --defined-only "$program" | awk '$2 ~ /^[tTwW]$/ { print $3 }' | sort -u >"$work/defined.txt"
out="$root/src/cli/hot-functions.txt"
{
    echo "# The functions the command line's short commands run, placed side by side by the"
    echo "# linker. Written by tools/hot-functions.sh; do not edit by hand."
    comm -12 "$work/ran.txt" "$work/defined.txt"
} >"$out"
echo "$(($(wc -l <"$out") - 2)) functions written to src/cli/hot-functions.txt" >&2
