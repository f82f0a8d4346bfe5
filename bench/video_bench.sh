#!/usr/bin/env bash
# What a video costs: megabytes a minute at the default quality, for attract
# mode alone and listening to a loud, dense track, at scale 2 and 1; how far
# from the true frames (mean error of 255, at three moments); and how fast
# modra-render encodes against real time.
# Usage: bench/video_bench.sh [SECONDS] (default 60)
set -u
seconds=${1:-60}
frames=$((seconds * 60))
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target modra-render make_sound >/dev/null || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/tests/make_sound dense "$seconds" "$work/dense.flac"
error_at() { # video, frame, the run's options
    local video=$1 n=$2
    shift 2
    build/modra-render "$@" --frames "$n" --out "$work/want.png"
    ffmpeg -v error -y -i "$video" -vf "select=eq(n\,$((n - 1))),scale=640:480:flags=area" -frames:v 1 "$work/got.png"
    compare -metric MAE "$work/want.png" "$work/got.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/' | awk '{ printf "%.2f", $1 * 255 }'
}
for listen in no yes; do
    options=(--seed 6 --attract)
    [ $listen = yes ] && options+=(--audio "$work/dense.flac")
    for scale in 2 1; do
        start=$(date +%s.%N)
        build/modra-render "${options[@]}" --frames $frames --scale $scale --video "$work/v.mp4"
        took=$(echo "$(date +%s.%N) - $start" | bc)
        size=$(stat -c %s "$work/v.mp4")
        errors="$(error_at "$work/v.mp4" $((frames / 10)) "${options[@]}") $(error_at "$work/v.mp4" $((frames / 2)) "${options[@]}") $(error_at "$work/v.mp4" $((frames * 9 / 10)) "${options[@]}")"
        awk -v l=$listen -v s=$scale -v b="$size" -v t="$took" -v secs="$seconds" -v e="$errors" 'BEGIN {
            printf "attract, listening %s, scale %d: %.1f MB a minute; mean error %s; encoded at %.2f x real time\n",
                   l, s, b / 1e6 * 60 / secs, e, secs / t }'
    done
done
