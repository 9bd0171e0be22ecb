#!/usr/bin/env bash
# Runs every fuzz target for a set time on a working copy of its seed corpus and reports the
# executions. A crash, a sanitizer report or a broken invariant leaves its input in
# build/fuzz/findings/ and fails the run.
# Usage: run_fuzz.sh SECONDS_PER_TARGET
set -uo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
mkdir -p "$build/findings"

# target, longest input: a score file and a little over it; a few thousand key reads.
targets=("score_file 9000" "game_keys 32768")

passed=0
failed=0
for entry in "${targets[@]}"; do
    read -r name max_len <<<"$entry"
    work="$build/work/$name"
    mkdir -p "$work"
    log="$build/$name.log"
    echo "== $name: $seconds s"
    "$build/fuzz/${name}_fuzz" -max_total_time="$seconds" -max_len="$max_len" -timeout=60 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
        "$work" "$root/fuzz/corpus/$name" >"$log" 2>&1
    status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "   ${runs:-?} executions (${rate:-?}/s), corpus $(ls "$work" | wc -l) + $(ls "$root/fuzz/corpus/$name" | wc -l) seeds, no crash"
    else
        failed=$((failed + 1))
        echo "   FAILED after ${runs:-?} executions (exit $status); the log is $log:"
        grep -E "ERROR|SUMMARY|invariant|score file|Test unit written" "$log" | head -10 | sed 's/^/   /'
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
