#!/usr/bin/env bash
# modra-render's recordings, decoded by giflib and libwebp, against the pictures --frames K --out writes;
# their timing, determinism and failures; and the toy's R.
set -u
render=$(realpath "$1")
decode=$(realpath "$2")
. "$(dirname "$0")/cli_checks.sh"
printf 'click 220 548\n' >"$dir/stamp.txt"

# what | options | frames recorded (after --record-from)
while IFS='|' read -r what options frames; do
    options=${options//\$dir/$dir}
    rm -rf "$dir/gif" "$dir/webp" && mkdir "$dir/gif" "$dir/webp"
    from=$(sed -n 's/.*--record-from \([0-9]*\).*/\1/p' <<<"$options")
    from=${from:-0}
    # shellcheck disable=SC2086
    "$render" --seed 3 $options --frames $((from + frames)) --gif "$dir/a.gif" --webp "$dir/a.webp" || { check "$what: records" false; continue; }
    "$decode" "$dir/a.gif" "$dir/gif" >"$dir/gif.delays" && "$decode" "$dir/a.webp" "$dir/webp" >"$dir/webp.delays"
    check "$what: $frames WebP frames, every second one in the GIF" \
        test "$(wc -l <"$dir/webp.delays"),$(wc -l <"$dir/gif.delays")" = "$frames,$((frames / 2))"
    exact=0
    for k in $(seq 1 "$frames"); do
        # shellcheck disable=SC2086
        "$render" --seed 3 $options --frames $((from + k)) --out "$dir/shown.ppm"
        cmp -s "$dir/webp/$(printf %03d $((k - 1))).ppm" "$dir/shown.ppm" && exact=$((exact + 1))
        if [ $((k % 2)) = 1 ]; then
            cmp -s "$dir/gif/$(printf %03d $((k / 2))).ppm" "$dir/shown.ppm" && exact=$((exact + 1))
        fi
    done
    check "$what: every decoded frame is the picture shown ($exact of $((frames + frames / 2)))" \
        test "$exact" = $((frames + frames / 2))
done <<'TABLE'
diffusion rule through a palette fade| --palette 7 --record-from 10|8
the picture stamp and its hold| --script $dir/stamp.txt|6
wave rule ripples| --rule wave --drop 240,320|8
TABLE

check "GIF delays 30, 30, 40 ms: 3, 3, 4 hundredths" test "$(head -3 "$dir/gif.delays" | tr '\n' ,)" = "30,30,40,"
check "WebP delays 16, 17, 17 ms" test "$(head -6 "$dir/webp.delays" | tr '\n' ,)" = "16,17,17,16,17,17,"
check "both loop forever" bash -c "webpmux -info '$dir/a.webp' | grep -q 'Loop Count : 0' &&
    grep -qa NETSCAPE2.0 '$dir/a.gif'"
"$render" --seed 3 --rule wave --drop 240,320 --frames 8 --gif "$dir/b.gif" --webp "$dir/b.webp"
check "the same seed gives the same bytes" bash -c "cmp -s '$dir/a.gif' '$dir/b.gif' && cmp -s '$dir/a.webp' '$dir/b.webp'"

# The folder the command runs in stands for a folder given as the file.
for format in gif webp; do
    for target in /dev/full missing/a.$format .; do
        refused "--$format $target" '' "$render" --frames 4 --"$format" "$target" --out a.png
    done
done
check "/dev/full is still a device" test -c /dev/full
refused "--gif needs a .gif name" '' "$render" --frames 4 --gif a.png

# The toy's Shift+R and R while paused (their frames quick to write): a GIF and a video that stop by
# themselves after a minute, every frame in.
for key in shift+r:gif:1800 r:mp4:3600; do
    IFS=: read -r name ext frames <<<"$key"
    rm -rf "$dir/home" && mkdir -p "$dir/home/Pictures"
    printf 'key space\nkey %s\nframes 3700\n' "$name" >"$dir/minute.txt"
    HOME=$dir/home XDG_CONFIG_HOME=$dir/home/.config "$render" --seed 3 --script "$dir/minute.txt" --out "$dir/x.png" \
        2>/dev/null
    kept=$(ls -A "$dir/home/Pictures")
    check "$name records modra-....$ext in the pictures folder ($kept)" \
        bash -c "[[ '$kept' =~ ^modra-[0-9]{8}-[0-9]{6}\.$ext$ ]]"
    if [ "$ext" = gif ]; then
        got=$("$decode" "$dir/home/Pictures/$kept" - | wc -l)
    else
        got=$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 \
            "$dir/home/Pictures/$kept")
    fi
    check "and stops by itself after a minute: $frames frames (got $got)" test "$got" = "$frames"
done

finish_checks
