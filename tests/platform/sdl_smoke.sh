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
for tool in Xvfb xdotool import convert xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
dir=$(mktemp -d)
xvfb_pid=""
smoke_pid=""
cleanup() {
    [ -n "$smoke_pid" ] && kill "$smoke_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
failures=0
check() { # description, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Starts Xvfb at depth $1 on a display number it picks itself, with a white
# root so that the black main window shows; sets DISPLAY.
start_xvfb() {
    [ -n "$xvfb_pid" ] && { kill "$xvfb_pid"; wait "$xvfb_pid" 2>/dev/null; }
    rm -f "$dir/display"
    Xvfb -displayfd 3 -screen 0 "1024x768x$1" -wr -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        if [ -s "$dir/display" ]; then
            export DISPLAY=":$(head -1 "$dir/display")"
            xdpyinfo >/dev/null 2>&1 && return 0
        fi
        sleep 0.1
    done
    echo "Xvfb did not start:"; cat "$dir/xvfb.log"
    exit 1
}

# Runs sdl_smoke in the background and waits for its first line (painted).
start_smoke() {
    : >"$dir/out"
    "$smoke" "$1" >"$dir/out" 2>"$dir/err" &
    smoke_pid=$!
    for _ in $(seq 100); do
        grep -q '^depth=' "$dir/out" && return 0
        kill -0 "$smoke_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "sdl_smoke did not come up:"; cat "$dir/out" "$dir/err"
    return 1
}

wait_smoke() { # waits up to 5 s; the exit code, or 124 when still running
    for _ in $(seq 50); do
        kill -0 "$smoke_pid" 2>/dev/null || { wait "$smoke_pid"; local rc=$?; smoke_pid=""; return $rc; }
        sleep 0.1
    done
    return 124
}

pixel() { # x, y: the screenshot's colour there as RRGGBB
    convert "$dir/shot.png" -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}

start_xvfb 24
start_smoke 20000 || exit 1
check "a 24-bit screen is 32-bit to the program" grep -qx 'depth=32' "$dir/out"
win=$(xdotool search --name '^Modra smoke$' | head -1)
check "the window is on the screen, titled" test -n "$win"
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y: client origin; WIDTH, HEIGHT
check "client area 400x300 (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = "400,300"

import -window root "$dir/shot.png"
[ -n "$shot_out" ] && cp "$dir/shot.png" "$shot_out"
check "child 1 is its colour" test "$(pixel $((X + 30)) $((Y + 40)))" = C03020
check "child 1's last column and row" test "$(pixel $((X + 189)) $((Y + 279)))" = C03020
check "child 2 is its colour" test "$(pixel $((X + 300)) $((Y + 150)))" = 2080C0
check "the main window between them is black" test "$(pixel $((X + 200)) $((Y + 150)))" = 000000
check "the main window's margin is black" test "$(pixel $((X + 5)) $((Y + 295)))" = 000000
check "just right of the client area is the root" test "$(pixel $((X + 400)) $((Y + 150)))" = FFFFFF

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
wait_smoke
rc=$?
check "a close request ends the program with 0 (got $rc)" test $rc -eq 0
check "the close came as wm_close" grep -qx 'close' "$dir/out"

start_xvfb 16
start_smoke 300 || exit 1
check "a 16-bit screen is 16-bit" grep -qx 'depth=16' "$dir/out"
wait_smoke
rc=$?
check "the timeout ends the program with 0 (got $rc)" test $rc -eq 0

kill "$xvfb_pid"; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""
env -u DISPLAY -u WAYLAND_DISPLAY "$smoke" 300 >/dev/null 2>"$dir/err"
rc=$?
check "no display: exit 2 (got $rc)" test $rc -eq 2
# Libraries SDL tries may print their own complaints before ours.
check "no display: a clear line" grep -q '^modra: cannot open a display: ' "$dir/err"

[ $failures -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "all passed"
