#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (seconds, default 60),
# seeded from the shipped data and the test data. A crash, hang or leak fails the run and
# leaves the input in build-fuzz/findings/.
#
# scripts/fuzz.sh --check-seeds only checks that every seed pattern matches at least one
# file (the tests run it), so that no corpus silently starts empty.
set -euo pipefail
cd "$(dirname "$0")/.."

# Target, then the patterns of its seed files.
seeds=(
    "fuzz_settings tests/data/settings/*.ini"
    "fuzz_device_list data/Quorvel_Configuration_PICs.txt tests/data/lists/*.txt"
    "fuzz_definition data/Defs/*.vlk tests/data/*.vlk tests/data/*/*.vlk"
    "fuzz_description data/*_lines.txt tests/data/*_lines.txt tests/data/*/*_lines.txt"
    "fuzz_eval tests/data/eval/*.txt"
    "fuzz_calculation data/*_lines.txt"
    "fuzz_eval_forms tests/data/eval/*.txt"
    "fuzz_configuration tests/data/configuration/*.qcfg"
    "fuzz_bitmap tests/data/bitmaps/*.bmp"
)

# Prints the files of one pattern; fails when it matches none.
matches() {
    local files
    shopt -s nullglob
    # shellcheck disable=SC2206 # the pattern is meant to be expanded here
    files=($1)
    shopt -u nullglob
    if [ ${#files[@]} -eq 0 ]; then
        echo "seed pattern $1 matches no file" >&2
        return 1
    fi
    printf '%s\n' "${files[@]}"
}

check_seeds() {
    local status=0 entry pattern
    for entry in "${seeds[@]}"; do
        read -r -a words <<<"$entry"
        for pattern in "${words[@]:1}"; do
            matches "$pattern" >/dev/null || status=1
        done
    done
    return $status
}

if [ "${1:-}" = "--check-seeds" ]; then
    check_seeds
    exit
fi

seconds="${1:-60}"
check_seeds
scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

corpus_root=build-fuzz/corpus
findings=build-fuzz/findings
mkdir -p "$findings"

targets=()
for entry in "${seeds[@]}"; do
    read -r -a words <<<"$entry"
    target=${words[0]}
    targets+=("$target")
    mkdir -p "$corpus_root/$target"
    for pattern in "${words[@]:1}"; do
        matches "$pattern" | while read -r f; do cp "$f" "$corpus_root/$target/"; done
    done
done

status=0
for target in "${targets[@]}"; do
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
