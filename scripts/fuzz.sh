#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (seconds, default 60),
# seeded from the shipped data and the test data. A crash, hang or leak fails the run and
# leaves the input in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

corpus_root=build-fuzz/corpus
findings=build-fuzz/findings
mkdir -p "$findings"

seed() { # target, then files to copy into its corpus
    local dir="$corpus_root/$1"
    shift
    mkdir -p "$dir"
    for f in "$@"; do
        [ -f "$f" ] && cp "$f" "$dir/" || true
    done
}
seed fuzz_settings tests/data/*.ini
seed fuzz_device_list data/Quorvel_Configuration_PICs.txt tests/data/*list*.txt
seed fuzz_definition data/Defs/*.vlk tests/data/*.vlk tests/data/*/*.vlk
seed fuzz_description data/*_lines.txt tests/data/*_lines.txt tests/data/*/*_lines.txt
seed fuzz_eval tests/data/eval/*.txt
seed fuzz_calculation data/*_lines.txt
seed fuzz_configuration tests/data/configuration/*.qcfg

status=0
for target in fuzz_settings fuzz_device_list fuzz_definition fuzz_description fuzz_eval \
              fuzz_calculation fuzz_configuration; do
    echo "-- $target for ${seconds}s"
    if ! "build-fuzz/$target" "$corpus_root/$target" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$findings/$target-" \
        -print_final_stats=1 2>"build-fuzz/$target.log"; then
        echo "$target found a problem:"
        tail -40 "build-fuzz/$target.log"
        status=1
    else
        grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb)" "build-fuzz/$target.log" || true
    fi
done
exit $status
