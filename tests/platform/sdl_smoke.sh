#!/usr/bin/env bash
# The SDL host on a real X server (Xvfb, no window manager): the window's
# colours on a screenshot, a click reaching the right child at the right
# client point, a close request arriving as wm_close, a 16-bit screen's
# depth. (The real modra's failure without a display: programs_cli.sh.)
# Usage: sdl_smoke.sh SDL_SMOKE X11_CLOSE [SCREENSHOT-OUT]
set -u
smoke=$1
close_tool=$2
shot_out=${3:-}
. "$(dirname "$0")/../xvfb_session.sh"
require_tools Xvfb xdotool import convert xdpyinfo xwininfo
out=$session_dir/out
shot=$session_dir/shot.png

start_smoke() { # timeout in ms; waits for its first line, which says it has painted
    start_app "$smoke" "$1"
    wait_for 10 grep -q '^depth=' "$out" || { echo "sdl_smoke did not come up:"; cat "$out" "$session_dir/err"; exit 1; }
}
at() { pixel "$shot" $((X + $1)) $((Y + $2)); }  # client x y
pressed() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; wait_for 5 grep -qx "$3" "$out"; }  # x y line

start_xvfb 24
start_smoke 20000
check "a 24-bit screen is 32-bit to the program" grep -qx 'depth=32' "$out"
win=$(find_window 'Modra smoke')
check "the window is on the screen, titled" test -n "$win" || exit 1
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y: client origin; WIDTH, HEIGHT
check "client area 400x300 (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = "400,300"

screen_shot "$shot" 1024x768+0+0
[ -n "$shot_out" ] && cp "$shot" "$shot_out"
# Each child's colour out to its last column and row, the main window black
# between them and in its margin, and the white root just right of the client.
for spot in "30 40 C03020" "189 279 C03020" "300 150 2080C0" "200 150 000000" "5 295 000000" "400 150 FFFFFF"; do
    set -- $spot
    check "client ($1, $2) is $3 (got $(at "$1" "$2"))" test "$(at "$1" "$2")" = "$3"
done

# Client point (57, 73) of the main window is (37, 53) in child 1; (215, 21) is near child 2's corner.
check "a click reaches child 1 at its client point" pressed 57 73 'press child=1 x=37 y=53'
check "a click reaches child 2 at its client point" pressed 215 21 'press child=2 x=5 y=1'
xdotool mousemove $((X + 200)) $((Y + 150)) click 1
sleep 0.3
check "a click on the main window reaches no child" test "$(grep -c '^press' "$out")" -eq 2

"$close_tool" "$win"
check_exit "a close request" 5
check "the close came as wm_close" grep -qx 'close' "$out"

start_xvfb 16
start_smoke 300
check "a 16-bit screen is 16-bit" grep -qx 'depth=16' "$out"
check_exit "the timeout" 5

stop_xvfb

finish_checks
