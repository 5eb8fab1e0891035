#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a set time each.
#
#     fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET
#
# The seed corpus is made afresh in BUILD_DIR/fuzz/seeds; what the fuzzers
# find worth keeping grows BUILD_DIR/fuzz/corpus/<target>, and the input of a
# crash, leak or time-out lands in BUILD_DIR/fuzz/findings/ (turn it into a
# test case). Prints the runs of each target; fails when any target failed.
set -euo pipefail
BUILD=${1:?build folder}
SECONDS_EACH=${2:-60}
FUZZ=$BUILD/fuzz

rm -rf "$FUZZ/seeds"
"$FUZZ/fuzz_seeds" "$FUZZ/seeds"
mkdir -p "$FUZZ/findings"

status=0
printf '%-14s %12s  %s\n' target runs result
for bin in "$FUZZ"/fuzz_*; do
    [ -f "$bin" ] && [ -x "$bin" ] || continue
    name=${bin##*/fuzz_}
    [ "$name" = seeds ] && continue
    corpus=$FUZZ/corpus/$name
    mkdir -p "$corpus"
    seeds=$FUZZ/seeds/$name
    [ -d "$seeds" ] || seeds=
    log=$FUZZ/$name.log
    result=ok
    if ! "$bin" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$FUZZ/findings/$name-" \
        "$corpus" $seeds >"$log" 2>&1; then
        result="FAILED (see $log)"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    printf '%-14s %12s  %s\n' "$name" "${runs:-?}" "$result"
done
exit $status
