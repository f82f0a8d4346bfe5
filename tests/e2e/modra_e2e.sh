#!/usr/bin/env bash
# The real modra on a real X server (Xvfb, no window manager), driven with
# real pointer events and checked on screenshots: the layout as painted, the
# same window as modra-render paints headless, the icon bar, drops landing
# under the pointer, a right drag moving both sliders, a clean close, and a
# 16-bit screen refused with a message box that ends the program when
# dismissed.
# Usage: modra_e2e.sh MODRA MODRA-RENDER X11_CLOSE SCREENSHOT-DIR
set -u
modra=$1
render=$2
close_tool=$3
shots=$4
. "$(dirname "$0")/../xvfb_session.sh"
require_tools Xvfb xdotool import convert xdpyinfo xwininfo
mkdir -p "$shots"
rm -f "$shots"/*.png
dir=$session_dir

# The view's 640 x 480 at (20, 20).
view_of() { echo "640x480+20+20"; }
# The mean position of the white pixels along a line one pixel wide or high,
# the region $2, in main-window coordinates: the middle of a slider's thumb.
# Nothing when the line holds no white.
white_middle() {
    convert "$1" -crop "$2" +repage -depth 8 txt:- |
        awk -v region="$2" 'NR > 1 && $3 == "#FFFFFF" { split($1, p, /[,:]/); s += p[1] + p[2]; n++ }
             END { split(region, r, /[x+]/); if (n) printf "%d\n", s / n + (r[1] == 1 ? r[4] : r[3]) }'
}
region_changed() { [ -n "$(changed_in "$1" "$2" "$3")" ]; }  # picture, picture, region
lacks() { ! grep -q "$1" "$2"; }  # text, file

# --- a 24-bit screen ---------------------------------------------------------
start_xvfb 24
"$modra" >"$dir/out" 2>"$dir/err" &
app_pid=$!
win=$(find_window Modra) || { echo "no window titled Modra:"; cat "$dir/out" "$dir/err" "$dir/xvfb.log"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y: client origin; WIDTH, HEIGHT
check "client area 710x580 (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = "710,580"

# Painted once the last child, the icon bar, shows its picture button and the
# view holds a picture.
start="$shots/modra_start.png"
for _ in $(seq 100); do
    client_shot "$start"
    has_colour "$start" 23x23+209+537 C0C0C0 && has_other_colour "$start" "$(view_of)" 000000 && break
    sleep 0.1
done

check "the view holds a picture" has_other_colour "$start" "$(view_of)" 000000
for edge in 640x1+20+20 640x1+20+499 1x480+20+20 1x480+659+20; do
    check "the view reaches its edge $edge" has_other_colour "$start" $edge 000000
done
for margin in 710x20+0+0 710x20+0+560 20x580+0+0 20x580+690+0 7x480+660+20 640x7+20+500 640x7+20+530; do
    check "the black frame $margin" only_colour "$start" $margin 000000
done
check "parameter slider: its track's grey frame, columns 668 and 688" \
    test "$(pixel "$start" 668 100)$(pixel "$start" 688 100)$(pixel "$start" 668 400)" = 7F7F7F7F7F7F7F7F7F
check "parameter slider: inside the frame is not grey" test "$(pixel "$start" 670 100)" != 7F7F7F
for edge in 23x1+50+537 23x1+50+559 1x23+50+537 1x23+72+537; do
    check "icon bar: the pressed diffusion face's white frame $edge" only_colour "$start" $edge FFFFFF
done
for x in 103 156 209; do
    check "icon bar: a face at x=$x, light grey" has_colour "$start" 23x23+$x+537 C0C0C0
done
check "the palette slider's thumb starts at column 50" test "$(white_middle "$start" 640x1+20+507)" = 50

# Everything the headless host paints outside the view, pixel for pixel: both
# paint through the same portable window system, and the start is the same
# on every run apart from the view's picture.
rendered="$shots/modra_render_window.png"
"$render" --frames 0 --seed 1 --window "$rendered"
mask "$start" "$dir/start_masked.png"
mask "$rendered" "$dir/render_masked.png"
differing=$(compare -metric AE "$dir/start_masked.png" "$dir/render_masked.png" "$shots/render_difference.png" 2>&1)
check "modra-render's window matches the screen outside the view ($differing pixels differ)" test "$differing" = 0

click_at 110 548
sleep 0.3
client_shot "$dir/wave.png"
check "a click on the wave button presses it" only_colour "$dir/wave.png" 23x1+103+537 FFFFFF
check "and releases diffusion" has_other_colour "$dir/wave.png" 23x1+50+537 FFFFFF

# Paused, the picture holds still, so a drop is all that changes.
click_at 163 548
sleep 0.3
client_shot "$dir/paused.png"
sleep 0.2
client_shot "$shots/modra_paused.png"
check "paused: the picture holds still" test -z "$(changed_box "$dir/paused.png" "$shots/modra_paused.png")"
# A drag from view point (320, 240) to (330, 242) drops radius-10 discs along it.
xdotool mousemove $((X + 340)) $((Y + 260)) mousedown 1 mousemove $((X + 350)) $((Y + 262)) mouseup 1
sleep 0.3
client_shot "$shots/modra_drop.png"
box=$(changed_box "$shots/modra_paused.png" "$shots/modra_drop.png")
check "a left drag drops where the pointer went (changed: ${box:-nothing})" \
    awk -v b="$box" 'BEGIN { if (split(b, v, /[x+]/) != 4) exit 1
                             exit !(v[3] >= 328 && v[4] >= 248 && v[3] + v[1] <= 362 && v[4] + v[2] <= 274 &&
                                    v[1] >= 15 && v[2] >= 15) }'

click_at 163 548
sleep 0.3
client_shot "$shots/modra_ripple.png"
check "resumed: the wave rule moves the picture around the drop" \
    region_changed "$shots/modra_drop.png" "$shots/modra_ripple.png" 80x80+305+221

# Up raises the parameter, right moves to a later palette.
xdotool mousemove $((X + 400)) $((Y + 300)) mousedown 3 mousemove $((X + 425)) $((Y + 275)) \
    mousemove $((X + 450)) $((Y + 250)) mouseup 3
sleep 0.3
client_shot "$shots/modra_right_drag.png"
vertical=$(white_middle "$shots/modra_right_drag.png" 1x480+667+20)
horizontal=$(white_middle "$shots/modra_right_drag.png" 640x1+20+507)
check "a right drag up raises the parameter thumb (row ${vertical:-none}, was 260)" \
    test "${vertical:-999}" -lt 260
check "a right drag right moves the palette thumb (column ${horizontal:-none}, was 50)" \
    test "${horizontal:-0}" -gt 50

"$close_tool" "$win"
wait_app 5
rc=$?
check "a close request ends modra with 0 (got $rc)" test $rc -eq 0

# --- a 16-bit screen ---------------------------------------------------------
start_xvfb 16
"$modra" >"$dir/out" 2>"$dir/err" &
app_pid=$!
if box=$(find_window Sorry); then
    echo "ok: a box titled Sorry"
    eval "$(xdotool getwindowgeometry --shell "$box")"
    sleep 0.3
    import -window root "$dir/root.png"
    convert "$dir/root.png" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shots/modra_sorry.png"
    check "the box shows something" has_other_colour "$shots/modra_sorry.png" "${WIDTH}x$HEIGHT+0+0" \
        "$(pixel "$shots/modra_sorry.png" 1 1)"
    check "modra waits while the box is up" kill -0 "$app_pid"
    "$close_tool" "$box"
else
    echo "FAILED: a box titled Sorry"; failures=$((failures + 1))
fi
wait_app 5
rc=$?
check "a dismissed box ends modra with 0 (got $rc)" test $rc -eq 0
check "the text went to the box, not to stderr" lacks 'requires 32 bit' "$dir/err"
finish_checks
