#!/usr/bin/env bash
# The native Windows build under Wine on a private Xvfb: the Windows unit tests and rule loops; modra.exe
# against the Linux build, under real clicks; a 16-bit screen refused. Screenshots: BUILD-WINDOWS/wine-screenshots/.
# Usage: wine_tests.sh BUILD-WINDOWS MODRA-RENDER X11_CLOSE
set -u
render=$2
close_tool=$3
. "$(dirname "$0")/wine_session.sh"
wine_session tests "$1" wine-screenshots '*.png' xdpyinfo compare

run_tests() { # program, what passing means, the line that says so, grep arguments for the lines to show
    SECONDS=0
    timeout 300 "$wine" "$build/$1" >"$dir/$1.out" 2>"$dir/$1.err"
    local rc=$?
    grep "${@:4}" "$dir/$1.out" | sed 's/^/  /'
    check "$1: $2 (exit $rc, ${SECONDS}s)" grep -q "$3" "$dir/$1.out"
}
restart_xvfb 24
run_tests modra_win32_tests.exe "all passed" '^[0-9]* passed, 0 failed' -v '^ok: '
# A missing rule_paths_tests.exe (no GoogleTest sources to build it) fails too.
run_tests rule_paths_tests.exe "every path matches the portable loops" '^\[  PASSED  \]' \
    -E '^rule loops available|FAILED|Failure'

start_modra_exe
open_modra 60
check_first_paint "$shots/modra_wine_start.png" "$render" "$shots/linux_render_window.png"
sleep 0.5
client_shot "$shots/modra_wine_later.png"
box=$(changed_box "$shots/modra_wine_start.png" "$shots/modra_wine_later.png" $view)
check "the view animates (changed: ${box:-nothing}), and nothing outside it changes" eval \
    '[ -n "$box" ] && [ "$(differing_outside_view "$shots/modra_wine_start.png" "$shots/modra_wine_later.png")" = 0 ]'
check_buttons_and_drop "$shots/modra_wine" 0.5 352,272 mousemove $((X + 340)) $((Y + 260)) click 1
"$close_tool" "$win"
check_exit "a close request (WM_DELETE_WINDOW → WM_CLOSE)" 30

restart_xvfb 16
start_modra_exe
if check_box Sorry 60 "$shots/modra_wine_depth16.png"; then
    main=$(top_window Modra)
    check "the main window is not shown" eval '[ -z "$main" ] || xwininfo -id "$main" | grep -Eq "Map State: Is(UnMapped|Unviewable)"'
    xdotool key --window "$box" Return
fi
check_exit "a dismissed box" 30
finish_checks
