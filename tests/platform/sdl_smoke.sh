#!/usr/bin/env bash
# The SDL host on a real X server (Xvfb, no window manager): the window's
# colours on a screenshot, a click reaching the right child at the right
# client point, a close request arriving as wm_close, a 16-bit screen's
# depth, and a clean failure without a display.
# Usage: sdl_smoke.sh SDL_SMOKE X11_CLOSE [SCREENSHOT-OUT]
set -u
smoke=$1
close_tool=$2
shot_out=${3:-}
. "$(dirname "$0")/../xvfb_session.sh"
require_tools Xvfb xdotool import convert xdpyinfo
dir=$session_dir

# Runs sdl_smoke in the background and waits for its first line (painted).
start_smoke() {
    : >"$dir/out"
    "$smoke" "$1" >"$dir/out" 2>"$dir/err" &
    app_pid=$!
    for _ in $(seq 100); do
        grep -q '^depth=' "$dir/out" && return 0
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "sdl_smoke did not come up:"; cat "$dir/out" "$dir/err"
    return 1
}

shot_pixel() { pixel "$dir/shot.png" "$1" "$2"; }

start_xvfb 24
start_smoke 20000 || exit 1
check "a 24-bit screen is 32-bit to the program" grep -qx 'depth=32' "$dir/out"
win=$(xdotool search --name '^Modra smoke$' | head -1)
check "the window is on the screen, titled" test -n "$win"
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y: client origin; WIDTH, HEIGHT
check "client area 400x300 (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = "400,300"

import -window root "$dir/shot.png"
[ -n "$shot_out" ] && cp "$dir/shot.png" "$shot_out"
check "child 1 is its colour" test "$(shot_pixel $((X + 30)) $((Y + 40)))" = C03020
check "child 1's last column and row" test "$(shot_pixel $((X + 189)) $((Y + 279)))" = C03020
check "child 2 is its colour" test "$(shot_pixel $((X + 300)) $((Y + 150)))" = 2080C0
check "the main window between them is black" test "$(shot_pixel $((X + 200)) $((Y + 150)))" = 000000
check "the main window's margin is black" test "$(shot_pixel $((X + 5)) $((Y + 295)))" = 000000
check "just right of the client area is the root" test "$(shot_pixel $((X + 400)) $((Y + 150)))" = FFFFFF

# Client point (57, 73) of the main window is (37, 53) in child 1.
xdotool mousemove $((X + 57)) $((Y + 73)) click 1
for _ in $(seq 50); do grep -q '^press' "$dir/out" && break; sleep 0.1; done
check "a click reaches child 1 at its client point" grep -qx 'press child=1 x=37 y=53' "$dir/out"
xdotool mousemove $((X + 215)) $((Y + 21)) click 1
for _ in $(seq 50); do [ "$(grep -c '^press' "$dir/out")" -ge 2 ] && break; sleep 0.1; done
check "a click near child 2's corner reaches child 2" grep -qx 'press child=2 x=5 y=1' "$dir/out"
xdotool mousemove $((X + 200)) $((Y + 150)) click 1
sleep 0.3
check "a click on the main window reaches no child" test "$(grep -c '^press' "$dir/out")" -eq 2

"$close_tool" "$win"
wait_app
rc=$?
check "a close request ends the program with 0 (got $rc)" test $rc -eq 0
check "the close came as wm_close" grep -qx 'close' "$dir/out"

start_xvfb 16
start_smoke 300 || exit 1
check "a 16-bit screen is 16-bit" grep -qx 'depth=16' "$dir/out"
wait_app
rc=$?
check "the timeout ends the program with 0 (got $rc)" test $rc -eq 0

stop_xvfb
env -u DISPLAY -u WAYLAND_DISPLAY "$smoke" 300 >/dev/null 2>"$dir/err"
rc=$?
check "no display: exit 2 (got $rc)" test $rc -eq 2
# Libraries SDL tries may print their own complaints before ours.
check "no display: a clear line" grep -q '^modra: cannot open a display: ' "$dir/err"

finish_checks
