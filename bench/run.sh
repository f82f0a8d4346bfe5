#!/usr/bin/env bash
# Builds the benchmarks and prints each figure in microseconds and as a ratio
# to the baseline that moves the same bytes in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target modra_bench modra_platform_bench frame_bench >/dev/null
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
# One core of its own, the last: the first takes most of the system's other
# work, and a benchmark that migrates between cores starts each move with cold
# caches, which shows as noise in the memcpy baselines.
pin=()
if command -v taskset >/dev/null && [ "$(nproc)" -gt 1 ]; then
    pin=(taskset -c "$(($(nproc) - 1))")
fi
run() {
    "${pin[@]}" "$1" --benchmark_format=csv --benchmark_repetitions="${REPETITIONS:-5}" \
        --benchmark_report_aggregates_only=true "${@:2}" 2>/dev/null
}
{
    run build/bench/modra_bench "$@"
    run build/bench/modra_platform_bench "$@"
    run build/bench/frame_bench "$@"
} |
awk -F, '
    /_median"?,/ {
        name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
        us = $3 + 0
        if (name ~ /^baseline_/) { base[substr(name, 10)] = us }
        order[++n] = name; time[name] = us
    }
    END {
        printf "%-34s %10s %8s\n", "benchmark (median)", "us", "ratio"
        for (i = 1; i <= n; i++) {
            name = order[i]; key = ""
            if (name ~ /^step_diffusion/) key = "diffusion"
            else if (name ~ /^step_wave/) key = "wave"
            else if (name ~ /^draw_frozen/) key = "frozen"
            else if (name ~ /^present_/) key = "present"
            else if (name ~ /^paint_slider/) key = "slider"
            else if (name ~ /^cold_diffusion/) key = "cold_diffusion"
            else if (name ~ /^cold_wave/) key = "cold_wave"
            if (key != "" && base[key] > 0) printf "%-34s %10.1f %7.2fx\n", name, time[name], time[name] / base[key]
            else printf "%-34s %10.1f %8s\n", name, time[name], "-"
        }
    }'
