#!/usr/bin/env bash
# Replays: a run kept with --keep plays back with --replay to the same frames, whatever rule loops run
# it; a damaged, truncated or foreign replay is refused in one line by modra-render and by modra.
# Usage: replay_cli.sh MODRA-RENDER MODRA MAKE-SOUND
set -u
render=$(realpath "$1")
modra=$(realpath "$2")
make_sound=$(realpath "$3")
. "$(dirname "$0")/cli_checks.sh"
cd "$dir"

# Drags, a right drag, a slider's arrow held, the icon bar, the title picture's hold, a rule switch,
# a zoom and a size change, with attract mode and a sound taking part.
cat >script.txt <<'END'
press left 100 100
move 150 120
move 200 160
release left 200 160
frames 30
press right 300 200
move 340 230
release right 340 230
key w
press left 690 40
frames 40
release left 690 40
click 20 560
key t
frames 90
key ctrl+plus
resize 800 640
frames 20
END
"$make_sound" dense 5 sound.wav
"$render" --seed 5 --script script.txt --frames 240 --attract --audio sound.wav --keep kept.modra \
    --webp made.webp --window made.png
"$render" --replay kept.modra --webp played.webp --window played.png
check "every frame of the replay is the run's, and so is its window" \
    bash -c "cmp -s made.webp played.webp && cmp -s made.png played.png"
for kernels in scalar sse2 avx2 avx512 avx512vbmi; do
    MODRA_KERNELS=$kernels "$render" --replay kept.modra --window "$kernels.png"
    check "the $kernels rule loops play it to the same window" cmp -s made.png "$kernels.png"
done
"$render" --replay "https://example.org/modra/#replay=$(cat kept.modra)&at=75" --window at.png
"$render" --replay kept.modra --frames 75 --window frames.png
check "a link's &at=N holds the frame --frames N renders" cmp -s at.png frames.png

# Packed as the programs pack: deflated, then base64url without padding.
pack() { python3 -c 'import sys, zlib, base64; sys.stdout.write(base64.urlsafe_b64encode(zlib.compress(sys.stdin.buffer.read())).decode().rstrip("="))'; }
text=$(python3 -c 'import sys, zlib, base64; s=open("kept.modra").read().strip(); print(zlib.decompress(base64.urlsafe_b64decode(s + "=" * (-len(s) % 4))).decode(), end="")')
kept=$(cat kept.modra)
printf '%s' "${kept:0:$((${#kept} / 2))}" >truncated.modra
printf '%sA%s' "${kept:0:40}" "${kept:41}" >altered.modra
printf '%s\n' "${text/modra-replay 1/modra-replay 3}" | pack >newer.modra
printf '%s\n' "${text/seed/sed}" | pack >damaged.modra
printf '%s' "${text:0:$((${#text} - 3))}" | pack >cut.modra
printf 'hello' | pack >foreign.modra
cp played.png picture.modra
: >empty.modra
mkdir folder.modra
for bad in truncated altered newer damaged cut foreign picture empty folder missing; do
    says=''
    [ $bad = newer ] && says='newer version'
    refused "modra-render refuses $bad.modra" "$says" "$render" --replay "$dir/$bad.modra" --out x.png
    refused "and modra, before any window" 'cannot play' env DISPLAY= WAYLAND_DISPLAY= "$modra" "$dir/$bad.modra"
done

# The same records as made on a phone: its windows, the view in the corner, which modra-render lays out too.
printf '%s\n' "$text" | sed '1s/ 1$/ 2/; 2s/$/ phone/' | pack >phone.modra
"$render" --replay phone.modra --window phone.ppm --out phone-view.ppm
check "a phone's replay plays in the phone's windows, the view at the corner" python3 -c '
import sys
def ppm(name):
    data = open(name, "rb").read()
    width, height = map(int, data.split()[1:3])
    return width, height, data[-3 * width * height:]
width, height, window = ppm("phone.ppm")
_, _, view = ppm("phone-view.ppm")
zoom = width // 800  # the window as shown, at the zoom of the end
sys.exit(not (width == 800 * zoom and height == 640 * zoom and all(
    window[3 * (width * y + x) * zoom:3 * (width * y + x) * zoom + 3] == view[3 * (640 * y + x):3 * (640 * y + x) + 3] for y in range(480) for x in range(640))))'
finish_checks
