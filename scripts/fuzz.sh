#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz and runs each for SECONDS (default 60),
# up to nproc (or FUZZ_JOBS) side by side, from a copy of its committed corpus in
# build-fuzz/run/<target>/, so the committed corpus never changes. RUNS, if given,
# ends a target after that many executions even before SECONDS have passed.
# Prints one line per target; a crash or a failed check in any of them makes
# the exit code non-zero, and the line names the input that caused it.
#   scripts/fuzz.sh [SECONDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
runs=${2:--1}
jobs=${FUZZ_JOBS:-$(nproc)}
targets=(fuzz_ico fuzz_bmp fuzz_palettes fuzz_script fuzz_options fuzz_replay)

scripts/install-deps.sh fuzz
cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-16 >/dev/null
cmake --build build-fuzz -j "$(nproc)" >/dev/null

declare -A target_of=() started=() took=() rc=()
trap 'for pid in "${!target_of[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT
start() {
    local t=$1 dir=build-fuzz/run/$1
    rm -rf "$dir"
    mkdir -p "$dir/corpus" "$dir/found"
    cp tests/fuzz/corpus/"$t"/* "$dir/corpus/"
    local dict=()
    [ -f tests/fuzz/"$t".dict ] && dict=(-dict=tests/fuzz/"$t".dict)
    build-fuzz/"$t" -max_total_time="$seconds" -runs="$runs" -timeout=30 -print_final_stats=1 \
        -artifact_prefix="$dir/found/" "${dict[@]}" "$dir/corpus" >"$dir/log" 2>&1 &
    target_of[$!]=$t
    started[$t]=$(date +%s)
}
reap() {
    local pid status=0
    wait -n -p pid || status=$?
    rc[${target_of[$pid]}]=$status
    took[${target_of[$pid]}]=$(( $(date +%s) - started[${target_of[$pid]}] ))
    unset "target_of[$pid]"
}
for t in "${targets[@]}"; do
    while [ ${#target_of[@]} -ge "$jobs" ]; do reap; done
    start "$t"
done
while [ ${#target_of[@]} -gt 0 ]; do reap; done

last() { grep -o "$1 [0-9]*" "$dir/log" | tail -1 | cut -d' ' -f2; }  # libFuzzer's latest figure
failed=0
for t in "${targets[@]}"; do
    dir=build-fuzz/run/$t
    execs=$(grep -o 'number_of_executed_units: [0-9]*' "$dir/log" | cut -d' ' -f2)
    line=$(printf '%-14s %10s runs in %4s s  cov: %-5s ft: %-6s corp: %-5s' \
        "$t" "${execs:-?}" "${took[$t]}" "$(last cov:)" "$(last ft:)" "$(last corp:)")
    found=$(find "$dir/found" -type f | sort | paste -sd ' ')
    if [ "${rc[$t]}" -eq 0 ] && [ -z "$found" ]; then
        echo "$line  found nothing"
    else
        failed=1
        echo "$line  FOUND (exit ${rc[$t]}): ${found:-no input saved, see $dir/log}"
        grep -m1 -E 'check failed|ERROR: |runtime error' "$dir/log" | sed 's/^/    /' || true
    fi
done
exit $failed
