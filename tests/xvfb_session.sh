# A program on a private Xvfb with no window manager, for the end-to-end tests and the Xvfb benchmark. Its
# pid goes in `app_pid`; it and the server are stopped by their pids when the script exits.

require_tools() { # a missing tool is ctest's skip, not the program's fault
    local t; for t in "$@"; do command -v "$t" >/dev/null || { echo "SKIP: $t is not installed"; exit 77; }; done
}

session_dir=$(mktemp -d)
xvfb_pid="" app_pid="" passes=0 failures=0
session_hooks=()  # more to stop on exit, before the program and the server
session_cleanup() {
    local hook
    for hook in "${session_hooks[@]}"; do "$hook"; done
    [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null
    stop_xvfb
    rm -rf "$session_dir"
}
trap session_cleanup EXIT

check() { # description, then a command that must succeed; returns as the command did
    local what=$1; shift
    if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); return 1; fi
}
finish_checks() { echo "$passes passed, $failures failed"; [ $failures -eq 0 ] || exit 1; }
wait_for() { # seconds, then a command retried every tenth of a second until it succeeds
    local tenths=$(($1 * 10)); shift
    for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done; return 1
}

# Xvfb at depth $1, 1024x768 or $2, on a display number of its own, its root white so black windows show.
start_xvfb() {
    stop_xvfb
    : >"$session_dir/display"
    Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x$1" -wr -nolisten tcp 3>"$session_dir/display" 2>"$session_dir/xvfb.log" &
    xvfb_pid=$!
    wait_for 30 xvfb_up || { echo "Xvfb did not start:"; cat "$session_dir/xvfb.log"; exit 1; }
}
xvfb_up() {
    kill -0 "$xvfb_pid" 2>/dev/null && [ -s "$session_dir/display" ] &&
        export DISPLAY=":$(head -1 "$session_dir/display")" && xdpyinfo >/dev/null 2>&1
}
stop_xvfb() { stop_pid xvfb_pid; }
stop_pid() { # the name of a variable holding the pid of something this script started: stopped, the name emptied
    local pid=${!1}
    [ -z "$pid" ] || { kill "$pid"; wait "$pid"; } 2>/dev/null
    printf -v "$1" %s ""
}

start_app() { "$@" >"$session_dir/out" 2>"$session_dir/err" & app_pid=$!; }  # command...
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_app() { # seconds (default 5) for the program to end; returns its exit code, or 124 while it runs
    wait_for "${1:-5}" app_ended || return 124; wait "$app_pid"; local rc=$?; app_pid=""; return $rc
}
check_exit() { # what ends the program, seconds: it must end within them, with 0
    wait_app "$2"; local rc=$?; check "$1 ends the program with 0 (got $rc)" test $rc -eq 0
}

# The top-level window titled exactly $1, of the geometry $2 (WxH+X+Y) if given; find_window waits $2
# seconds (10) for it, of the geometry $3. Not `xdotool search`, which skips titles set as UTF-8.
top_window() {
    xwininfo -root -children |
        awk -v name=" \"$1\": (" -v at=" ${2:-} " 'index($0, name) && (at == "  " || index($0, at)) { print $1; exit }'
}
find_window() { local id title=$1 at=${3:-}; wait_for "${2:-10}" eval 'id=$(top_window "$title" "$at"); [ -n "$id" ]' && echo "$id"; }

# Pictures: colours are RRGGBB in upper case, regions WxH+X+Y.
hex() { sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F; }
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | hex; }  # file x y
colours() { convert "$1" -crop "$2" +repage -depth 8 -unique-colors txt:- | hex | sort -u; }  # file region
only_colour() { [ "$(colours "$1" "$2")" = "$3" ]; }        # file region colour
has_colour() { colours "$1" "$2" | grep -qx "$3"; }         # file region colour
has_other_colour() { colours "$1" "$2" | grep -qvx "$3"; }  # file region colour
screen_shot() { import -window root "$session_dir/root.png" && convert "$session_dir/root.png" -crop "$2" +repage "$1"; }
changed_box() {  # picture picture [region]: the box of the pixels that differ, or nothing
    convert "$1" "$2" ${3:+-crop "$3" +repage} -compose difference -composite -threshold 0 -format '%@' info: \
        2>/dev/null | grep -v '^0x0' || true
}

# --- the toy's main window: its client area at X, Y on the screen, the view at (20, 20) in it.
view=640x480+20+20
client_shot() { screen_shot "$1" "710x580+$X+$Y"; }                # out
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }  # client x y
view_shot() { client_shot "$session_dir/client.png" && convert "$session_dir/client.png" -crop $view +repage "$1"; }
same_pixels() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
title() { xprop -id "$win" _NET_WM_NAME | sed -n 's/^[^"]*"\(.*\)"$/\1/p'; }
press() { xdotool key --window "$win" "$1" 2>/dev/null; sleep "${2:-0.5}"; }  # key, then seconds to paint it
differing_outside_view() { # picture picture: how many pixels differ, the view blacked out in both
    [ "$(identify -format %wx%h "$1")" = "$(identify -format %wx%h "$2")" ] || { echo "all (not the same size)"; return; }
    convert "$1" -fill black -draw "rectangle 20,20 659,499" "$session_dir/masked_a.png"
    convert "$2" -fill black -draw "rectangle 20,20 659,499" "$session_dir/masked_b.png"
    compare -metric AE "$session_dir/masked_a.png" "$session_dir/masked_b.png" null: 2>&1
}
# The mean position of the white pixels along the line $2 in window coordinates (a thumb's middle), or nothing.
white_middle() {
    convert "$1" -crop "$2" +repage -depth 8 txt:- |
        awk -v region="$2" 'NR > 1 && $3 == "#FFFFFF" { split($1, p, /[,:]/); s += p[1] + p[2]; n++ }
             END { split(region, r, /[x+]/); if (n) printf "%d\n", s / n + (r[1] == 1 ? r[4] : r[3]) }'
}

open_modra() { # seconds to wait for the window titled Modra; sets `win` and X, Y
    win=$(find_window Modra "$1")
    check "a window titled Modra" test -n "$win" || { cat "$session_dir/err"; exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$win")"
    check "client area 710x580 (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = "710,580"
}

# The window, once painted (the icon bar up and the view not black), into $1 within $2 seconds (10).
painted() { client_shot "$1" && has_colour "$1" 23x23+209+537 C0C0C0 && has_other_colour "$1" $view 000000; }
wait_painted() { check "the window is painted" wait_for "${2:-10}" painted "$1"; }
# The window as first painted, into $1: the view painted to its edges, and outside it modra-render's ($2, into $3).
check_first_paint() {
    local shot=$1 region differing edges=0
    wait_painted "$shot"
    for region in 640x1+20+20 640x1+20+499 1x480+20+20 1x480+659+20; do
        has_other_colour "$shot" $region 000000 && edges=$((edges + 1)); done
    check "the view reaches its four edges ($edges do)" test $edges = 4
    "$2" --frames 0 --seed 1 --window "$3"
    differing=$(differing_outside_view "$shot" "$3")
    check "the window matches modra-render's outside the view ($differing pixels differ)" test "$differing" = 0
}

# The icon bar and the view under real pointer events, each given $2 seconds, shots named $1_*.png; the
# drop, the xdotool commands after $3, must change a box from client (328, 248) to $3 (RIGHT,BOTTOM).
check_buttons_and_drop() {
    local shots=$1 settle=$2 corner=$3 box
    shift 3
    click_at 102 537
    click_at 103 536
    settled_shot "$session_dir/missed.png"
    check "clicks beside the wave button's hot zone miss it" only_colour "$session_dir/missed.png" 23x1+50+537 FFFFFF
    click_at 103 537
    settled_shot "${shots}_wave.png"
    check "a click on the wave button presses it and releases diffusion" wave_pressed "${shots}_wave.png"
    click_at 163 548
    settled_shot "$session_dir/paused.png"
    settled_shot "${shots}_paused.png"
    check "paused: the window holds still" test -z "$(changed_box "$session_dir/paused.png" "${shots}_paused.png")"
    xdotool "$@"
    settled_shot "${shots}_drop.png"
    box=$(changed_box "${shots}_paused.png" "${shots}_drop.png")
    check "a drop lands where the pointer went (changed: ${box:-nothing})" \
        awk -v b="$box" -v c="$corner" 'BEGIN { if (split(b, v, /[x+]/) != 4) exit 1; split(c, e, ",")
            exit !(v[3] >= 328 && v[4] >= 248 && v[3] + v[1] <= e[1] && v[4] + v[2] <= e[2] && v[1] >= 15 && v[2] >= 15) }'
    click_at 163 548
    settled_shot "${shots}_ripple.png"
    check "resumed: the wave rule spreads the drop" \
        test -n "$(changed_box "${shots}_drop.png" "${shots}_ripple.png" 80x80+300+220)"
}
wave_pressed() { only_colour "$1" 23x1+103+537 FFFFFF && has_other_colour "$1" 23x1+50+537 FFFFFF; }
settled_shot() { sleep "$settle"; client_shot "$1"; }  # out, once check_buttons_and_drop's settle is over

# A loaded machine may paint a box a while after it is mapped, so its picture is taken until it shows more
# than one colour.
box_painted() {
    eval "$(xdotool getwindowgeometry --shell "$box")"
    screen_shot "$1" "${WIDTH}x$HEIGHT+$X+$Y" && has_other_colour "$1" "${WIDTH}x$HEIGHT+0+0" "$(pixel "$1" 1 1)"
}
# The box titled $1 up within $2 seconds, its picture into $3, its id in `box`; the program waits on it.
check_box() {
    box=$(find_window "$1" "$2")
    check "a box titled $1 ($(basename "$3"))" test -n "$box" || return 1
    sleep 1  # a box is sized once it is made
    check "the box shows something" wait_for 10 box_painted "$3"
    check "the program waits while the box is up" kill -0 "$app_pid"
}
