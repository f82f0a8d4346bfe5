# Shell pieces for running a program on a private Xvfb with no window
# manager, sourced by the SDL smoke test, the end-to-end test of modra and the
# Xvfb benchmark. The sourcing script puts the program's process id in
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

failures=0
check() { # description, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok: $what"; passes=$((${passes:-0} + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
finish_checks() {
    echo "${passes:-0} passed, $failures failed"
    [ $failures -eq 0 ] || exit 1
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

# Waits up to $1 seconds (default 5) for the program to end; returns its exit
# code, or 124 while it still runs.
wait_app() {
    local tenths=$((${1:-5} * 10))
    for _ in $(seq "$tenths"); do
        kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid"; local rc=$?; app_pid=""; return $rc; }
        sleep 0.1
    done
    return 124
}

# The id of the top-level window titled exactly $1, waiting up to $2 seconds
# (default 10) for it.
# Without a window manager every top-level window is a child of the root.
# xwininfo rather than `xdotool search`, which skips titles set as UTF-8 (as
# SDL's message boxes set theirs).
find_window() {
    local id
    for _ in $(seq $((${2:-10} * 10))); do
        id=$(xwininfo -root -children | awk -v name="\"$1\":" '$2 == name { print $1; exit }')
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

# The main window's client area (at X, Y on the screen, as xdotool's
# getwindowgeometry --shell sets them), as on the screen now, into $1.
client_shot() {
    import -window root "$session_dir/root.png"
    convert "$session_dir/root.png" -crop "710x580+$X+$Y" +repage "$1"
}
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }  # client x y
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
# A window picture with the moving view blacked out.
mask() { convert "$1" -fill black -draw "rectangle 20,20 659,499" "$2"; }  # in out
