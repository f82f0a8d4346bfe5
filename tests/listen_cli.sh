#!/usr/bin/env bash
# modra-render --audio with sounds made here, and the flash analyser on what attract mode makes of a loud,
# dense track: never three flashes in a second.
# Usage: listen_cli.sh MODRA-RENDER MAKE-SOUND FLASH-CHECK
set -u
render=$1 make_sound=$2 flash_check=$3
. "$(dirname "$0")/cli_checks.sh"
for sound in click:4:wav silence:4:wav tone:4:flac dense:3:ogg dense:3:opus dense:3:mp3 dense:30:flac; do
    IFS=: read -r kind seconds ext <<<"$sound"
    "$make_sound" "$kind" "$seconds" "$dir/$kind$seconds.$ext" || { echo "FAILED: make_sound $sound"; exit 1; }
done
field() { "$render" --seed 5 --dump-field "$dir/$1.bin" "${@:2}"; }

field quiet --frames 240
field silence --audio "$dir/silence4.wav"
field tone --audio "$dir/tone4.flac"
check "silence, heard to its end (240 frames), changes no byte" cmp -s "$dir/quiet.bin" "$dir/silence.bin"
check "nor does a steady tone" cmp -s "$dir/quiet.bin" "$dir/tone.bin"
for n in 30 31; do
    field quiet$n --frames $n
    field click$n --frames $n --audio "$dir/click4.wav"
done
check "the click at 0.5 s drops nothing up to frame 30" cmp -s "$dir/quiet30.bin" "$dir/click30.bin"
check "and drops in frame 31" bash -c "! cmp -s '$dir/quiet31.bin' '$dir/click31.bin'"
"$render" --seed 9 --audio "$dir/click4.wav" --out "$dir/a.png" && "$render" --seed 9 --audio "$dir/click4.wav" --out "$dir/b.png"
check "the same file and seed, the same picture" cmp -s "$dir/a.png" "$dir/b.png"
for ext in ogg opus mp3; do
    check "a .$ext is heard" "$render" --frames 1 --audio "$dir/dense3.$ext" --out "$dir/$ext.png"
done

printf 'not a sound' >"$dir/text.wav"
mkdir "$dir/folder.wav"
for bad in text.wav missing.flac folder.wav; do refused "--audio $bad" '' "$render" --audio "$dir/$bad" --out x.png; done

"$render" --seed 4 --attract --audio "$dir/dense30.flac" --gif "$dir/dense.gif"
check "the dense track with attract mode: $("$flash_check" "$dir/dense.gif")" "$flash_check" "$dir/dense.gif"
convert -size 64x48 xc:black xc:white xc:black xc:white xc:black xc:white xc:black -set delay 10 "$dir/flashing.gif"
check "and the analyser sees a picture flashing five times a second" bash -c "! '$flash_check' '$dir/flashing.gif' >/dev/null"
finish_checks
