#!/usr/bin/env bash
# The native Windows build under Wine on a private Xvfb: the Windows unit
# tests and the rule loops' comparison; modra.exe painting its window as the
# Linux build does (pixel for pixel outside the view), animating, answering
# real clicks and a close with 0; a 16-bit screen refused with the "Sorry"
# box. Screenshots go to BUILD-WINDOWS/wine-screenshots/.
# Usage: wine_tests.sh BUILD-WINDOWS MODRA-RENDER X11_CLOSE
set -u
build=$(cd "$1" && pwd)
render=$2
close_tool=$3
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
for tool in "$wine" "$wineserver" Xvfb xdotool xwininfo xdpyinfo import convert compare; do
    command -v "$tool" >/dev/null || { echo "FAILED: $tool is not installed"; exit 1; }
done
shots=$build/wine-screenshots
mkdir -p "$shots"
rm -f "$shots"/*.png
. "$(dirname "$0")/../xvfb_session.sh"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null; session_cleanup' EXIT  # Wine's server outlives the program

# The prefix is made once (Wine's first start takes most of a minute). Wine's
# OpenGL renderer never shows a windowed DirectDraw primary's blits on Xvfb;
# the GDI renderer copies them to the screen clipped to the view, as Windows.
[ -f "$WINEPREFIX/system.reg" ] || env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f >/dev/null 2>&1
"$wineserver" -w
start_session() { "$wineserver" -k 2>/dev/null; "$wineserver" -w 2>/dev/null; start_xvfb "$1"; }  # depth

run_tests() { # program, what passing means, the line that says so, grep arguments for the lines to show
    SECONDS=0
    timeout 300 "$wine" "$build/$1" >"$session_dir/$1.out" 2>"$session_dir/$1.err"
    local rc=$?
    grep "${@:4}" "$session_dir/$1.out" | sed 's/^/  /'
    check "$1: $2 (exit $rc, ${SECONDS}s)" grep -q "$3" "$session_dir/$1.out"
}
start_session 24
run_tests modra_win32_tests.exe "all passed" '^[0-9]* passed, 0 failed' -v '^ok: '
# A missing rule_paths_tests.exe (no GoogleTest sources to build it) fails too.
run_tests rule_paths_tests.exe "every path matches the portable loops" '^\[  PASSED  \]' \
    -E '^rule loops available|FAILED|Failure'

start_app "$wine" "$build/modra.exe"
open_modra 60
check_first_paint "$shots/modra_wine_start.png" "$render" "$shots/linux_render_window.png"
sleep 0.5
client_shot "$shots/modra_wine_later.png"
box=$(changed_box "$shots/modra_wine_start.png" "$shots/modra_wine_later.png" $view)
check "the view animates (changed: ${box:-nothing})" test -n "$box"
check "nothing outside the view changes" test "$(differing_outside_view "$shots/modra_wine_start.png" "$shots/modra_wine_later.png")" = 0
check_buttons_and_drop "$shots/modra_wine" 0.5 352,272 mousemove $((X + 340)) $((Y + 260)) click 1
"$close_tool" "$win"
check_exit "a close request (WM_DELETE_WINDOW → WM_CLOSE)" 30

start_session 16
start_app "$wine" "$build/modra.exe"
if check_sorry_box "$shots/modra_wine_depth16.png" 60; then
    main=$(top_window Modra)
    check "the main window is not shown" eval '[ -z "$main" ] || xwininfo -id "$main" | grep -Eq "Map State: Is(UnMapped|Unviewable)"'
    xdotool key --window "$box" Return
fi
check_exit "a dismissed box" 30
finish_checks
