#!/usr/bin/env bash
# Builds the release preset with the benchmarks against other libraries, runs them together
# with the start-up and memory measurements and the 100 MB limits of every reader, and writes
# the figures as Markdown to standard output and to bench/results.md.
#
# usage: bench/run.sh [--quick]     (--quick: few repetitions, for trying the script out)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

repetitions=10
startup_runs=40
memory_runs=15
limit_megabytes=100
if [ "${1:-}" = "--quick" ]; then
    repetitions=3
    startup_runs=10
    memory_runs=3
    limit_megabytes=8
fi
# The sample device with the largest definition file and diagram description.
largest_device=PIC32MX795F512L

# What building and measuring need: the project's packages, the two peers, the timers.
scripts/install-deps.sh
peers=(libpugixml-dev libmuparser-dev hyperfine time python3)
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
for program in bench/peer_defs_bench bench/peer_eval_bench bench/limits_run \
    bench_first_window bench_bare_window; do
    if [ ! -x "$build/$program" ]; then
        echo "bench/run.sh: $build/$program was not built" >&2
        exit 1
    fi
done

# Everything runs in a scratch directory: the program creates its settings file in the
# directory that is current when it starts.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "== Definition reader and evaluator against their peers" >&2
for name in defs eval; do
    "$build/bench/peer_${name}_bench" --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=false \
        --benchmark_out="$work/$name.json" --benchmark_out_format=json >&2
done

echo "== Start-up to the first shown window" >&2
export QT_QPA_PLATFORM=offscreen
hyperfine -N --warmup 5 --runs "$startup_runs" --export-json "$work/startup.json" \
    "'$build/bench_bare_window'" "'$build/bench_first_window'" >&2

echo "== Peak memory" >&2
measure_memory() { # output file, command...
    local out=$1
    shift
    for _ in $(seq "$memory_runs"); do
        /usr/bin/time -f %M -o "$work/one.txt" "$@" >/dev/null 2>&1
        tail -n 1 "$work/one.txt" >>"$out"
    done
}
measure_memory "$work/memory_bare.txt" "$build/bench_bare_window"
measure_memory "$work/memory_first.txt" "$build/bench_first_window"
measure_memory "$work/memory_device.txt" "$build/bench_first_window" "$largest_device"

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
    --device "$largest_device" --megabytes "$limit_megabytes" >bench/results.md
cat bench/results.md
