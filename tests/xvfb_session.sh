# Shell pieces for running a program on a private Xvfb with no window
# manager, sourced by the SDL smoke test, the end-to-end tests of modra and
# modra.exe, and the Xvfb benchmark. The program's process id goes in
# `app_pid`; it and the server are stopped when the script exits.

# Exits with ctest's skip code when a tool is missing: without them there is
# nothing to run the program on, which is not the program's fault.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

session_dir=$(mktemp -d)
xvfb_pid=""
app_pid=""
session_cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$session_dir"
}
trap session_cleanup EXIT

passes=0
failures=0
check() { # description, then a command that must succeed; returns as the command did
    local what=$1; shift
    if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); return 1; fi
}
finish_checks() {
    echo "$passes passed, $failures failed"
    [ $failures -eq 0 ] || exit 1
}

wait_for() { # seconds, then a command retried every tenth of a second until it succeeds
    local tenths=$(($1 * 10)); shift
    for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
    return 1
}

# Starts Xvfb at 1024x768 and depth $1 on a display number it picks itself,
# with a white root so that black windows show; sets DISPLAY. Parallel tests
# each get their own server this way.
start_xvfb() {
    stop_xvfb
    rm -f "$session_dir/display"
    Xvfb -displayfd 3 -screen 0 "1024x768x$1" -wr -nolisten tcp 3>"$session_dir/display" \
        2>"$session_dir/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        # Ours may have died (the log says why); no other server may stand in.
        kill -0 "$xvfb_pid" 2>/dev/null || break
        if [ -s "$session_dir/display" ]; then
            export DISPLAY=":$(head -1 "$session_dir/display")"
            xdpyinfo >/dev/null 2>&1 && kill -0 "$xvfb_pid" 2>/dev/null && return 0
        fi
        sleep 0.1
    done
    echo "Xvfb did not start:"; cat "$session_dir/xvfb.log"
    exit 1
}
stop_xvfb() {
    [ -n "$xvfb_pid" ] || return 0
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
}

start_app() { "$@" >"$session_dir/out" 2>"$session_dir/err" & app_pid=$!; }  # command...
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
# Waits up to $1 seconds (default 5) for the program to end; returns its exit
# code, or 124 while it still runs.
wait_app() {
    wait_for "${1:-5}" app_ended || return 124
    wait "$app_pid"
    local rc=$?
    app_pid=""
    return $rc
}
check_exit() { # what ends the program, seconds: it must end within them, with 0
    wait_app "$2"
    local rc=$?
    check "$1 ends the program with 0 (got $rc)" test $rc -eq 0
}

# The id of the top-level window titled exactly $1, waiting up to $2 seconds
# (default 10) for it. Without a window manager every top-level window is a
# child of the root. xwininfo rather than `xdotool search`, which skips titles
# set as UTF-8 (as SDL's message boxes set theirs).
top_window() { xwininfo -root -children | awk -v name=" \"$1\": (" 'index($0, name) { print $1; exit }'; }
find_window() {
    local id
    for _ in $(seq $((${2:-10} * 10))); do
        id=$(top_window "$1")
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Pixel helpers over image files; colours are RRGGBB in upper case and
# regions are ImageMagick geometries, WxH+X+Y.
pixel() { # file x y
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}
colours() { # file region: each distinct colour once
    convert "$1" -crop "$2" +repage -depth 8 -unique-colors txt:- |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F | sort -u
}
only_colour() { [ "$(colours "$1" "$2")" = "$3" ]; }         # file region colour
has_colour() { colours "$1" "$2" | grep -qx "$3"; }          # file region colour
has_other_colour() { colours "$1" "$2" | grep -qvx "$3"; }   # file region colour
screen_shot() { # out, region of the screen
    import -window root "$session_dir/root.png"
    convert "$session_dir/root.png" -crop "$2" +repage "$1"
}
# The bounding box of the pixels that differ between two pictures, as
# WxH+X+Y, or nothing when they are the same.
changed_box() {
    convert "$1" "$2" -compose difference -composite -threshold 0 -format '%@' info: 2>/dev/null |
        grep -v '^0x0' || true
}
changed_in() { # picture picture region: changed_box within the region
    convert "$1" -crop "$3" +repage "$session_dir/region_a.png"
    convert "$2" -crop "$3" +repage "$session_dir/region_b.png"
    changed_box "$session_dir/region_a.png" "$session_dir/region_b.png"
}

# --- the toy's main window, the same in every build -----------------------
# Its client area is at X, Y on the screen, as xdotool's getwindowgeometry
# --shell sets them; the view's 640 x 480 lies at (20, 20) in it.
view=640x480+20+20
client_shot() { screen_shot "$1" "710x580+$X+$Y"; }  # out
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }  # client x y
# A window picture with the moving view blacked out.
mask() { convert "$1" -fill black -draw "rectangle 20,20 659,499" "$2"; }  # in out
# The mean position of the white pixels along a line one pixel wide or high,
# the region $2, in main-window coordinates: the middle of a slider's thumb.
# Nothing when the line holds no white.
white_middle() {
    convert "$1" -crop "$2" +repage -depth 8 txt:- |
        awk -v region="$2" 'NR > 1 && $3 == "#FFFFFF" { split($1, p, /[,:]/); s += p[1] + p[2]; n++ }
             END { split(region, r, /[x+]/); if (n) printf "%d\n", s / n + (r[1] == 1 ? r[4] : r[3]) }'
}

# Finds the window titled Modra within $1 seconds and checks its size; sets
# `win` and X, Y.
open_modra() {
    win=$(find_window Modra "$1")
    check "a window titled Modra" test -n "$win" || { cat "$session_dir/err"; exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$win")"
    check "client area 710x580 (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = "710,580"
}

# The window as first painted, into $1 (painted once the last child, the
# icon bar, shows its picture button and the view holds a picture): the
# layout, and everything outside the view pixel for pixel as modra-render
# ($2) paints it on the headless host, since the start is the same on every
# run apart from the view's picture. modra-render's picture goes to $3, the
# difference to $4.
check_first_paint() {
    for _ in $(seq 100); do
        client_shot "$1"
        has_colour "$1" 23x23+209+537 C0C0C0 && has_other_colour "$1" $view 000000 && break
        sleep 0.1
    done
    check "the view holds a picture" has_other_colour "$1" $view 000000
    local edge margin x
    for edge in 640x1+20+20 640x1+20+499 1x480+20+20 1x480+659+20; do
        check "the view reaches its edge $edge" has_other_colour "$1" $edge 000000
    done
    for margin in 710x20+0+0 710x20+0+560 20x580+0+0 20x580+690+0 7x480+660+20 640x7+20+500 640x7+20+530; do
        check "the black frame $margin" only_colour "$1" $margin 000000
    done
    check "parameter slider: its track's grey frame, columns 668 and 688" \
        test "$(pixel "$1" 668 100)$(pixel "$1" 688 100)$(pixel "$1" 668 400)" = 7F7F7F7F7F7F7F7F7F
    check "parameter slider: inside the frame is not grey" test "$(pixel "$1" 670 100)" != 7F7F7F
    for edge in 23x1+50+537 23x1+50+559 1x23+50+537 1x23+72+537; do
        check "icon bar: the pressed diffusion face's white frame $edge" only_colour "$1" $edge FFFFFF
    done
    for x in 103 156 209; do
        check "icon bar: a face at x=$x, light grey" has_colour "$1" 23x23+$x+537 C0C0C0
    done
    check "the palette slider's thumb starts at column 50" test "$(white_middle "$1" 640x1+20+507)" = 50

    "$2" --frames 0 --seed 1 --window "$3"
    mask "$1" "$session_dir/shown_masked.png"
    mask "$3" "$session_dir/rendered_masked.png"
    local differing
    differing=$(compare -metric AE "$session_dir/shown_masked.png" "$session_dir/rendered_masked.png" "$4" 2>&1)
    check "the window matches modra-render's outside the view ($differing pixels differ)" test "$differing" = 0
}

# The icon bar and the view under real pointer events, each given $2 seconds
# to land, shots named $1_*.png: the wave button pressed; paused, the window
# holding still; a drop made by the xdotool commands after $4 changing a box
# within client (328, 248) to $3 (as "RIGHT,BOTTOM") and no less than 15
# pixels a side; resumed, the wave rule spreading it.
check_buttons_and_drop() {
    local shots=$1 settle=$2 corner=$3 box
    shift 3
    click_at 110 548
    sleep "$settle"
    client_shot "${shots}_wave.png"
    check "a click on the wave button presses it" only_colour "${shots}_wave.png" 23x1+103+537 FFFFFF
    check "and releases diffusion" has_other_colour "${shots}_wave.png" 23x1+50+537 FFFFFF

    click_at 163 548
    sleep "$settle"
    client_shot "$session_dir/paused.png"
    sleep "$settle"
    client_shot "${shots}_paused.png"
    check "paused: the window holds still" test -z "$(changed_box "$session_dir/paused.png" "${shots}_paused.png")"
    xdotool "$@"
    sleep "$settle"
    client_shot "${shots}_drop.png"
    box=$(changed_box "${shots}_paused.png" "${shots}_drop.png")
    check "a drop lands where the pointer went (changed: ${box:-nothing})" \
        awk -v b="$box" -v c="$corner" 'BEGIN { if (split(b, v, /[x+]/) != 4) exit 1; split(c, e, ",")
            exit !(v[3] >= 328 && v[4] >= 248 && v[3] + v[1] <= e[1] && v[4] + v[2] <= e[2] && v[1] >= 15 && v[2] >= 15) }'

    click_at 163 548
    sleep "$settle"
    client_shot "${shots}_ripple.png"
    check "resumed: the wave rule spreads the drop" \
        test -n "$(changed_in "${shots}_drop.png" "${shots}_ripple.png" 80x80+300+220)"
}

# The box a 16-bit screen gets instead of the window, within $2 seconds: its
# picture into $1, its id in `box`.
check_sorry_box() {
    box=$(find_window Sorry "$2")
    check "a box titled Sorry" test -n "$box" || return 1
    eval "$(xdotool getwindowgeometry --shell "$box")"
    sleep 1
    screen_shot "$1" "${WIDTH}x$HEIGHT+$X+$Y"
    check "the box shows something" has_other_colour "$1" "${WIDTH}x$HEIGHT+0+0" "$(pixel "$1" 1 1)"
    check "the program waits while the box is up" kill -0 "$app_pid"
}
