#!/usr/bin/env bash
# modra-saver on a real X server (Xvfb, without a window manager and then under openbox), checked on
# screenshots in every window it can be given (everything it does not paint is magenta); the desktop's window
# as the window manager keeps it; no processor time while it cannot be seen; the ways it ends and fails.
# Usage: saver_e2e.sh MODRA-SAVER WINDOW-CLIENT X11_CLOSE SCREENSHOT-DIR
set -u
saver=$1 client=$2 close_tool=$3 shots=$4
. "$(dirname "$0")/../xvfb_session.sh"
require_tools Xvfb import convert identify compare xdpyinfo xwininfo xprop xdotool xrandr openbox timeout
mkdir -p "$shots"
rm -f "$shots"/*.png
unset XSCREENSAVER_WINDOW
magenta=FF00FF

# A window from the window client, W H X Y, its id in `window`; the client answers once the server has done it.
client_pid=""
open_window() {
    local old=${window:-}
    stop_pid client_pid
    # The next window may be given the same id: a window manager still holding the old one takes it for that.
    [ -z "$old" ] || wait_for 10 eval '! xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -qiw -- "$old"'
    coproc CLIENT { "$client" "$@"; }
    client_pid=$CLIENT_PID
    window=""
    read -r -t 10 -u "${CLIENT[0]}" window
    check "the test window is up ($window)" test -n "$window" || exit 1
    # Under a window manager, mapped once it gets round to it: a busy machine may keep it a while.
    wait_for 30 eval 'xwininfo -id "$window" | grep -q IsViewable'
}
tell_window() { local answer; echo "$1" >&"${CLIENT[1]}" && read -r -t 10 -u "${CLIENT[0]}" answer && [ "$answer" = done ]; }
# The root magenta again, all over: what a saver drew on it stays there.
keeper_pid=""
magenta_root() {
    stop_pid keeper_pid
    "$client" root & keeper_pid=$!
    check "the root is magenta" wait_for 10 eval 'import -window root "$session_dir/root.png" && only_colour "$session_dir/root.png" 800x600+0+0 $magenta'
}
# A window manager, which keeps the desktop's window below the others.
wm_pid=""
start_openbox() {
    XDG_CONFIG_HOME=$session_dir openbox --sm-disable >"$session_dir/openbox.log" 2>&1 &
    wm_pid=$!
    # Seen here: a window asked to be mapped while openbox still starts (before it tells its work area) may
    # stay unmapped.
    check "openbox manages the screen" wait_for 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" &&
        xprop -root _NET_WORKAREA | grep -q " = "' ||
        { cat "$session_dir/openbox.log"; exit 1; }
}
trap 'stop_pid client_pid; stop_pid keeper_pid; stop_pid wm_pid; session_cleanup' EXIT

# The window $1 (an id, or root) as a picture $2 of the size $3, painted all over.
covered() { import -window "$1" "$2" 2>/dev/null && [ "$(identify -format %wx%h "$2")" = "$3" ] && ! has_colour "$2" "$3+0+0" $magenta; }
check_covered() { # what, window, picture, size: within 10 seconds
    local missing=0
    wait_for 10 covered "$2" "$3" "$4" || missing=1
    check "$1 is covered, ${4} (magenta left: $(colours "$3" "$4+0+0" 2>/dev/null | grep -cx $magenta))" test $missing = 0
}
check_moving() { # what, window, the picture of it just taken, a second one to take
    sleep 0.5
    import -window "$2" "$4"
    check "$1 moves (changed: $(changed_box "$3" "$4"))" test -n "$(changed_box "$3" "$4")"
}
# Nothing painted on the screen outside the window at X Y of size W H: with the window made magenta, all is.
check_outside() { # W H X Y
    import -window root "$shots/screen_around_${1}x$2.png"
    convert "$shots/screen_around_${1}x$2.png" -fill "#$magenta" -draw "rectangle $3,$4 $(($3 + $1 - 1)),$(($4 + $2 - 1))" \
        "$session_dir/outside.png"
    check "nothing drawn outside the window ${1}x$2+$3+$4" only_colour "$session_dir/outside.png" 800x600+0+0 $magenta
}
# Seen by no one, it makes no frame: at most a tick of the processor (1/100 s) in 3 seconds.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }
check_idle() { # what
    local before after
    sleep 0.5  # the frame under way, and the server's word of the change
    before=$(cpu_ticks)
    sleep 3
    after=$(cpu_ticks)
    check "$1: no processor time (ticks in 3 s: $((after - before)))" test $((after - before)) -le 1
}
# The first window named $1 in the whole tree: a window manager puts a frame around a top-level one.
named_window() { xwininfo -name "$1" 2>/dev/null | awk '/Window id:/ { print $4; exit }'; }
# Where the window $1 is on the screen, WxH+X+Y.
on_screen() {
    xwininfo -id "$1" | awk '/Absolute upper-left [XY]:|Width:|Height:/ { v[++n] = $NF }
                             END { printf "%dx%d+%d+%d\n", v[3], v[4], v[1], v[2] }'
}
check_refused() { # what, the exit code, what stderr's one line says, then the command
    local what=$1 code=$2 says=$3 rc
    shift 3
    "$@" >"$session_dir/out" 2>"$session_dir/err"
    rc=$?
    check "$what: exit $code (got $rc), one line on stderr saying \"$says\" ($(head -c 200 "$session_dir/err"))" \
        eval '[ $rc -eq "$code" ] && [ "$(wc -l <"$session_dir/err")" -eq 1 ] && grep -q "$says" "$session_dir/err"'
}

start_xvfb 24 800x600
magenta_root

# xscreensaver's way without its own window: the root.
start_app "$saver" -root
check_covered "-root: the screen" root "$shots/root.png" 800x600
check_moving "-root: the picture" root "$shots/root.png" "$shots/root_later.png"
kill -TERM "$app_pid"
check_exit "SIGTERM" 5
magenta_root

# A window by id, which changes size under it and is then destroyed. How a picture covers each shape is
# saver_tests'; here, that a change of size reaches it.
open_window 320 240 100 80
start_app "$saver" -window-id "$window"
check_covered "-window-id: the window" "$window" "$shots/window.png" 320x240
check_moving "-window-id: the picture" "$window" "$shots/window.png" "$shots/window_later.png"
check "the window grows" tell_window "500 200"
check_covered "-window-id: the window grown wide" "$window" "$shots/window_wide.png" 500x200
check_outside 500 200 100 80
check "the window is destroyed" tell_window destroy
check_exit "the window destroyed" 5
gone_window=$window
stop_pid client_pid

# xscreensaver's own way: its window in XSCREENSAVER_WINDOW (decimal here), with -root and without.
open_window 200 300 50 50
start_app env XSCREENSAVER_WINDOW=$((window)) "$saver" -root
check_covered "XSCREENSAVER_WINDOW with -root: its window" "$window" "$shots/xscreensaver.png" 200x300
check_outside 200 300 50 50
kill -INT "$app_pid"
check_exit "SIGINT" 5
start_app env XSCREENSAVER_WINDOW="$window" "$saver"
check_covered "XSCREENSAVER_WINDOW without options: its window" "$window" "$session_dir/again.png" 200x300
check "no window of its own" test -z "$(top_window Modra)"
kill -TERM "$app_pid"
check_exit "SIGTERM" 5
stop_pid client_pid

# Without a window to use, one of its own.
start_app "$saver"
own=$(find_window Modra 10)
check "a window of its own, titled Modra" test -n "$own" || exit 1
check_covered "its own window" "$own" "$shots/own_window.png" 640x480
xdotool windowunmap "$own"
check_idle "its own window unmapped"
xdotool windowmap "$own"
import -window root "$session_dir/mapped.png"
check_moving "its own window mapped again" root "$session_dir/mapped.png" "$session_dir/mapped_later.png"
"$close_tool" "$own"
check_exit "a close request" 5

# The desktop's window asks, before it is first mapped, for what a window manager must give it.
start_app "$saver" -desktop
desktop=$(find_window Modra 10)
check "-desktop: a window titled Modra" test -n "$desktop" || exit 1
hints=$(xprop -id "$desktop" _NET_WM_WINDOW_TYPE _NET_WM_STATE _NET_WM_DESKTOP)
for hint in _NET_WM_WINDOW_TYPE_DESKTOP _NET_WM_STATE_BELOW _NET_WM_STATE_STICKY _NET_WM_STATE_SKIP_TASKBAR \
    _NET_WM_STATE_SKIP_PAGER "_NET_WM_DESKTOP(CARDINAL) = 4294967295"; do
    check "-desktop asks for $hint" grep -qF -- "$hint" <<<"$hints"
done
kill -TERM "$app_pid"
check_exit "SIGTERM" 5

# The desktop under a window manager, which owns its state from then on: what it asked for is seen in where
# the window manager keeps it.
start_openbox
start_app "$saver" --desktop
check "-desktop under openbox: its window" wait_for 10 eval 'desktop=$(named_window Modra); [ -n "$desktop" ]' ||
    exit 1
check "-desktop under openbox: the window is mapped" wait_for 30 eval 'xwininfo -id "$desktop" | grep -q IsViewable'
check_covered "-desktop: the screen" root "$shots/desktop.png" 800x600
# A window mapped afterwards is above it, and stays there when the desktop is raised or clicked.
open_window 300 200 100 100
on_top=$(on_screen "$window")
xdotool windowraise "$desktop" mousemove 5 595 click 1
sleep 0.5
screen_shot "$shots/desktop_below.png" "$on_top"
check "a window mapped afterwards stays above the desktop ($on_top)" only_colour "$shots/desktop_below.png" \
    "${on_top%%+*}+0+0" $magenta
xdotool set_desktop 1
import -window root "$session_dir/workspace.png"
check_moving "-desktop: the picture on another workspace" root "$session_dir/workspace.png" "$session_dir/workspace_later.png"
xdotool set_desktop 0
# Covered all over by a window, it sleeps; uncovered, it plays again.
open_window 800 600 0 0
check_idle "-desktop covered by a window"
stop_pid client_pid
import -window root "$session_dir/uncovered.png"
check_moving "-desktop uncovered" root "$session_dir/uncovered.png" "$session_dir/uncovered_later.png"
open_window 800 600 0 0
sleep 0.5
kill -TERM "$app_pid"
check_exit "SIGTERM while covered" 2
stop_pid client_pid

# A picture whole on each monitor.
xrandr --setmonitor left 400/0x600/0+0+0 screen && xrandr --setmonitor right 400/0x600/0+400+0 none
start_app "$saver" -desktop
monitors_alike() {
    import -window root "$shots/desktop_monitors.png" &&
        has_other_colour "$shots/desktop_monitors.png" 800x600+0+0 $magenta &&
        convert "$shots/desktop_monitors.png" -crop 400x600+0+0 +repage "$session_dir/left.png" &&
        convert "$shots/desktop_monitors.png" -crop 400x600+400+0 +repage "$session_dir/right.png" &&
        same_pixels "$session_dir/left.png" "$session_dir/right.png"
}
check "-desktop on two monitors side by side: the same picture on each" wait_for 10 monitors_alike
kill -TERM "$app_pid"
check_exit "SIGTERM" 5
stop_pid wm_pid

check_refused "a window that is not there" 1 "there is no window $gone_window" timeout 10 "$saver" -window-id "$gone_window"
check_refused "no display" 1 "cannot open display ':99999'" timeout 10 env DISPLAY=:99999 "$saver" -root
check_refused "DISPLAY unset" 1 "cannot open display (DISPLAY is not set)" timeout 10 env -u DISPLAY "$saver"

start_xvfb 16
check_refused "a 16-bit screen" 1 "not 24-bit TrueColor" timeout 10 "$saver" -root
finish_checks
