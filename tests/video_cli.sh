#!/usr/bin/env bash
# modra-render --video, read back by FFmpeg's own tools against the pictures --out draws; bad outputs refused.
# Usage: video_cli.sh MODRA-RENDER MAKE-SOUND
set -u
render=$1 make_sound=$2
. "$(dirname "$0")/cli_checks.sh"
"$make_sound" click 4 "$dir/click.wav"
"$render" --seed 2 --audio "$dir/click.wav" --video "$dir/a.mp4"
"$render" --seed 2 --audio "$dir/click.wav" --video "$dir/b.mp4"
streams=$(ffprobe -v error -count_frames -show_entries stream=codec_name,r_frame_rate,nb_read_frames,duration \
    -of csv=p=0 "$dir/a.mp4" | tr '\n' ' ')
check "H.264, 60 a second, 240 frames over 4 s, and AAC of the same length ($streams)" \
    bash -c "[[ '$streams' =~ ^h264,60/1,4\.0+,240\ aac,0/0,(3\.99|4\.0) ]]"
check "the same input and seed, the same file" cmp -s "$dir/a.mp4" "$dir/b.mp4"
ffmpeg -v error -i "$dir/a.mp4" -map 0:v -f framemd5 - | grep -v '^#' | cut -d, -f6 >"$dir/sums"
check "no frame repeated" test -z "$(uniq -d "$dir/sums")"
check "none black" test "$(ffmpeg -i "$dir/a.mp4" -vf blackdetect=d=0:pix_th=0.1 -an -f null - 2>&1 | grep -c black_start)" = 0
for n in 1 60 240; do
    "$render" --seed 2 --audio "$dir/click.wav" --frames $n --out "$dir/want.png"
    ffmpeg -v error -i "$dir/a.mp4" -vf "select=eq(n\,$((n - 1))),scale=640:480:flags=area" -frames:v 1 "$dir/got.png"
    error=$(compare -metric MAE "$dir/want.png" "$dir/got.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
    check "frame $n is the picture within 2.5 of 255 (mean error $(awk -v e="$error" 'BEGIN { printf "%.2f", e * 255 }'))" \
        awk -v e="$error" 'BEGIN { exit !(e * 255 <= 2.5) }'
    rm -f "$dir/got.png"
done
"$render" --seed 2 --frames 60 --audio "$dir/click.wav" --video "$dir/a.webm"
streams=$(ffprobe -v error -show_entries stream=codec_name,r_frame_rate -of csv=p=0 "$dir/a.webm" | tr '\n' ' ')
check "a .webm is VP9 at 60 a second with Opus ($streams)" test "$streams" = "vp9,60/1 opus,0/0 "

for bad in /dev/full missing/x.mp4 x.avi; do refused "--video $bad" '' "$render" --frames 5 --video "$bad"; done
finish_checks
