#!/usr/bin/env bash
# Builds the release preset with the benchmarks against other libraries, runs them together
# with the whole-process timings of the command line and the window, the memory of the
# window and the 100 MB limits of every reader, and writes the figures as Markdown to
# standard output and to bench/results.md.
#
# Every comparison is interleaved: the benchmark programs shuffle the repetitions of their
# benchmarks (Google Benchmark's random interleaving), and whole programs run in turns
# (bench/interleave: A, B, A, B, ...), so that a busy moment of the machine weighs on both
# sides alike. Figures are medians with their quartiles.
#
# usage: bench/run.sh [--quick]     (--quick: few repetitions, for trying the script out)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

repetitions=12
process_runs=300
switch_runs=5
limit_megabytes=100
if [ "${1:-}" = "--quick" ]; then
    repetitions=3
    process_runs=8
    switch_runs=2
    limit_megabytes=8
fi
# The sample device with the largest definition file and diagram description.
largest_device=PIC32MX795F512L
# The one with the smallest: what loading any device costs at the least.
smallest_device=PIC16F882
devices=(PIC18F45K22 dsPIC33FJ128GP802 PIC32MX795F512L)

# What building and measuring need: the project's packages, the two peers, and Python for
# the report. (hyperfine is not needed: bench/interleave runs whole programs in turns.)
scripts/install-deps.sh
peers=(libpugixml-dev libmuparser-dev python3)
missing=()
for p in "${peers[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}" >&2
    $sudo apt-get update >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
        "${missing[@]}" >&2
fi

cmake --preset release -DQUORVEL_BUILD_PEER_BENCH=ON >&2
cmake --build --preset release -j2 >&2
build="$root/build-release"
for program in bench/peer_defs_bench bench/peer_eval_bench bench/eval_bench \
    bench/session_bench bench/limits_run bench/interleave bench/bench_empty quorvel \
    Quorvel_Configuration bench_bare_window bench_device_switches; do
    if [ ! -x "$build/$program" ]; then
        echo "bench/run.sh: $build/$program was not built" >&2
        exit 1
    fi
done

# Everything runs in a scratch directory: the programs create their settings file in the
# directory that is current when they start.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "== Benchmarks, repetitions shuffled" >&2
for name in peer_defs peer_eval eval session; do
    "$build/bench/${name}_bench" --benchmark_repetitions="$repetitions" \
        --benchmark_enable_random_interleaving=true \
        --benchmark_min_time=0.05 \
        --benchmark_report_aggregates_only=false \
        --benchmark_out="$work/$name.json" --benchmark_out_format=json >&2
done

echo "== The command line, whole processes in turns" >&2
"$build/bench/interleave" --runs "$process_runs" --warmup 5 \
    -- "$build/bench/bench_empty" \
    -- "$build/quorvel" --version \
    -- "$build/quorvel" run "$largest_device" \
    -- "$build/quorvel" run "$smallest_device" >"$work/cli.json"

echo "== The window to its first complete paint, in turns with a bare Qt window" >&2
export QT_QPA_PLATFORM=offscreen
QUORVEL_QUIT_AFTER_FIRST_PAINT=1 "$build/bench/interleave" --runs "$process_runs" --warmup 5 \
    -- "$build/bench_bare_window" \
    -- "$build/Quorvel_Configuration" >"$work/startup.json"

echo "== Memory after thirty device switches" >&2
: >"$work/switches.txt"
for _ in $(seq "$switch_runs"); do
    "$build/bench_device_switches" 30 "${devices[@]}" >>"$work/switches.txt"
done

echo "== Every reader on ${limit_megabytes} MB of hostile input" >&2
readers=$("$build/bench/limits_run" --list | grep -c '^reader ')
inputs=$("$build/bench/limits_run" --list | grep -c '^input ')
: >"$work/limits.tsv"
for ((r = 0; r < readers; r++)); do
    for ((i = 0; i < inputs; i++)); do
        "$build/bench/limits_run" "$r" "$i" "$limit_megabytes" >>"$work/limits.tsv"
    done
done

cd "$root"
python3 bench/report.py "$work" \
    --date "$(date -u +%Y-%m-%d)" \
    --machine "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')" \
    --device "$largest_device" --small-device "$smallest_device" --megabytes "$limit_megabytes" >bench/results.md
cat bench/results.md
