#!/usr/bin/env bash
# The native Windows build under Wine on a private Xvfb (no window manager):
# the Windows unit tests and the rule loops' comparison; modra.exe starting,
# passing its platform checks and showing its window laid out as the Linux
# build paints it (compared pixel for pixel outside the view with
# modra-render's window); the view animating;
# real clicks on the icon bar and the view; a close ending it with 0; and a
# 16-bit screen refused with the "Sorry" box. Screenshots go to
# BUILD-WINDOWS/wine-screenshots/.
# Usage: wine_tests.sh BUILD-WINDOWS MODRA-RENDER X11_CLOSE
set -u
build=$(cd "$1" && pwd)
render=$2
close_tool=$3
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
for tool in "$wine" "$wineserver" Xvfb xdotool xwininfo import convert compare; do
    command -v "$tool" >/dev/null || { echo "FAILED: $tool is not installed"; exit 1; }
done
shots=$build/wine-screenshots
mkdir -p "$shots"
rm -f "$shots"/*.png
. "$(dirname "$0")/../xvfb_session.sh"
dir=$session_dir

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's server and desktop outlive the program unless stopped.
trap '"$wineserver" -k 2>/dev/null; session_cleanup' EXIT

# --- the prefix ----------------------------------------------------------------
# Made once and kept in the build directory: Wine's first start takes most of
# a minute. Wine's default Direct3D renderer (OpenGL) puts a windowed
# DirectDraw primary into a GL swapchain on the cooperative window — the view —
# and blits the primary's screen rectangle into it at screen coordinates; on
# Xvfb nothing of that reaches the view, which stays unpainted. The GDI
# renderer copies a primary blit to the screen through GDI, clipped to the
# view, as Windows does; the program needs nothing 3D.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "initialising the Wine prefix $WINEPREFIX"
    env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
fi
env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f >/dev/null 2>&1
"$wineserver" -w

# Wine's desktop process belongs to the display it started on.
start_session() { # depth
    "$wineserver" -k 2>/dev/null
    "$wineserver" -w 2>/dev/null
    start_xvfb "$1"
}

# --- the Windows unit tests and rule loops -------------------------------------------
# Runs a test program, shows the lines of its output that grep finds with the
# arguments after $3, and checks that one line matches $3.
run_tests() { # program, what passing means, the line that says so, grep arguments...
    SECONDS=0
    timeout 300 "$wine" "$build/$1" >"$dir/$1.out" 2>"$dir/$1.err"
    local rc=$?
    grep "${@:4}" "$dir/$1.out" | sed 's/^/  /'
    check "$1: $2 (exit $rc, ${SECONDS}s)" grep -q "$3" "$dir/$1.out"
}
start_session 24
run_tests modra_win32_tests.exe "all passed" '^[0-9]* passed, 0 failed' -v '^ok: '
# Every instruction set's rule loops against the portable ones, as Windows
# calls them. A missing program means GoogleTest's sources were not there to
# build it from; that is a failure too.
run_tests rule_paths_tests.exe "every path matches the portable loops" '^\[  PASSED  \]' \
    -E '^rule loops available|FAILED|Failure'

# --- modra.exe on a 24-bit screen ---------------------------------------------------
start_app "$wine" "$build/modra.exe"
open_modra 60
# The Linux build on the headless host paints the same window: outside the
# view, the frame, sliders and icon bar must be the same pixels.
check_first_paint "$shots/modra_wine_start.png" "$render" "$shots/linux_render_window.png" \
    "$shots/wine_linux_difference.png"

sleep 0.5
client_shot "$shots/modra_wine_later.png"
box=$(changed_in "$shots/modra_wine_start.png" "$shots/modra_wine_later.png" $view)
check "the view animates (changed: ${box:-nothing})" test -n "$box"
mask "$shots/modra_wine_start.png" "$dir/start_masked.png"
mask "$shots/modra_wine_later.png" "$dir/later_masked.png"
check "nothing outside the view changes" test -z "$(changed_box "$dir/start_masked.png" "$dir/later_masked.png")"

check_buttons_and_drop "$shots/modra_wine" 0.5 352,272 mousemove $((X + 340)) $((Y + 260)) click 1

"$close_tool" "$win"
check_exit "a close request (WM_DELETE_WINDOW → WM_CLOSE)" 30

# --- modra.exe on a 16-bit screen ---------------------------------------------------
start_session 16
start_app "$wine" "$build/modra.exe"
if check_sorry_box "$shots/modra_wine_depth16.png" 60; then
    main=$(top_window Modra)
    check "the main window is not shown" eval '[ -z "$main" ] || xwininfo -id "$main" | grep -Eq "Map State: Is(UnMapped|Unviewable)"'
    xdotool key --window "$box" Return
fi
check_exit "a dismissed box" 30

finish_checks
