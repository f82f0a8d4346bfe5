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

# --- helpers ---------------------------------------------------------------------
# Wine's desktop process belongs to the display it started on.
start_session() { # depth
    stop_session
    start_xvfb "$1"
}
stop_session() {
    "$wineserver" -k 2>/dev/null
    "$wineserver" -w 2>/dev/null
    stop_xvfb
}
not_viewable() { [ -z "$1" ] || xwininfo -id "$1" | grep -Eq 'Map State: Is(UnMapped|Unviewable)'; }

# --- the Windows unit tests ---------------------------------------------------------
start_session 24
SECONDS=0
timeout 300 "$wine" "$build/modra_win32_tests.exe" >"$dir/unit.out" 2>"$dir/unit.err"
rc=$?
sed 's/^/  /' "$dir/unit.out" | grep -v '^  ok: '
check "modra_win32_tests.exe: all passed (exit $rc, ${SECONDS}s)" \
    grep -q '^[0-9]* passed, 0 failed' "$dir/unit.out"

# Every instruction set's rule loops against the portable ones, as Windows
# calls them. A missing program means GoogleTest's sources were not there to
# build it from; that is a failure too.
SECONDS=0
timeout 300 "$wine" "$build/rule_paths_tests.exe" >"$dir/paths.out" 2>"$dir/paths.err"
rc=$?
grep -E '^rule loops available|FAILED|Failure' "$dir/paths.out" | sed 's/^/  /'
check "rule_paths_tests.exe: every path matches the portable loops (exit $rc, ${SECONDS}s)" \
    grep -q '^\[  PASSED  \]' "$dir/paths.out"

# --- modra.exe on a 24-bit screen ---------------------------------------------------
"$wine" "$build/modra.exe" >"$dir/out" 2>"$dir/err" &
app_pid=$!
win=$(find_window Modra 60) || { echo "FAILED: no window titled Modra"; cat "$dir/err"; exit 1; }
echo "ok: the platform checks passed and the window Modra is up"
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y: client origin (no frame without a WM)
check "client area 710x580 (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = "710,580"

start=$shots/modra_wine_start.png
for _ in $(seq 100); do
    client_shot "$start"
    has_colour "$start" 23x23+209+537 C0C0C0 && has_other_colour "$start" 640x480+20+20 000000 && break
    sleep 0.1
done
check "the view holds a picture" has_other_colour "$start" 640x480+20+20 000000
for edge in 640x1+20+20 640x1+20+499 1x480+20+20 1x480+659+20; do
    check "the view reaches its edge $edge" has_other_colour "$start" $edge 000000
done
for margin in 710x20+0+0 710x20+0+560 20x580+0+0 20x580+690+0 7x480+660+20 640x7+20+500 640x7+20+530; do
    check "the black frame $margin" only_colour "$start" $margin 000000
done

# The same window painted by the Linux build on the headless host: outside
# the view, the frame, sliders and icon bar must be the same pixels.
rendered=$shots/linux_render_window.png
"$render" --frames 0 --seed 1 --window "$rendered"
mask "$start" "$dir/wine_masked.png"
mask "$rendered" "$dir/linux_masked.png"
differing=$(compare -metric AE "$dir/wine_masked.png" "$dir/linux_masked.png" "$shots/wine_linux_difference.png" 2>&1)
check "Wine's window matches modra-render's outside the view ($differing pixels differ)" test "$differing" = 0

sleep 0.5
client_shot "$shots/modra_wine_later.png"
box=$(changed_in "$start" "$shots/modra_wine_later.png" 640x480+20+20)
check "the view animates (changed: ${box:-nothing})" test -n "$box"
mask "$shots/modra_wine_later.png" "$dir/later_masked.png"
check "nothing outside the view changes" test -z "$(changed_in "$dir/wine_masked.png" "$dir/later_masked.png" 710x580+0+0)"

click_at 110 548
sleep 0.5
client_shot "$shots/modra_wine_wave.png"
check "a click on the wave button presses it" only_colour "$shots/modra_wine_wave.png" 23x1+103+537 FFFFFF
check "and releases diffusion" has_other_colour "$shots/modra_wine_wave.png" 23x1+50+537 FFFFFF

# Paused, the picture holds still, so a click's drop is all that changes.
click_at 163 548
sleep 0.5
client_shot "$dir/paused.png"
sleep 0.3
client_shot "$shots/modra_wine_paused.png"
check "the pause button holds the picture still" \
    test -z "$(changed_in "$dir/paused.png" "$shots/modra_wine_paused.png" 640x480+20+20)"
click_at 340 260
sleep 0.5
client_shot "$shots/modra_wine_drop.png"
box=$(changed_in "$shots/modra_wine_paused.png" "$shots/modra_wine_drop.png" 710x580+0+0)
check "a click in the view drops at the pointer (changed: ${box:-nothing})" \
    awk -v b="$box" 'BEGIN { if (split(b, v, /[x+]/) != 4) exit 1
                             exit !(v[3] >= 328 && v[4] >= 248 && v[3] + v[1] <= 352 && v[4] + v[2] <= 272 &&
                                    v[1] >= 15 && v[2] >= 15) }'
click_at 163 548
sleep 0.5
client_shot "$shots/modra_wine_ripple.png"
check "resumed, the wave rule spreads the drop" \
    test -n "$(changed_in "$shots/modra_wine_drop.png" "$shots/modra_wine_ripple.png" 80x80+300+220)"

"$close_tool" "$win"
wait_app 30
rc=$?
check "a close request (WM_DELETE_WINDOW → WM_CLOSE) ends modra.exe with 0 (got $rc)" test $rc -eq 0

# --- modra.exe on a 16-bit screen ---------------------------------------------------
start_session 16
"$wine" "$build/modra.exe" >"$dir/out" 2>"$dir/err" &
app_pid=$!
if box=$(find_window Sorry 60); then
    echo "ok: a box titled Sorry"
    eval "$(xdotool getwindowgeometry --shell "$box")"
    sleep 1
    import -window root "$dir/root.png"
    convert "$dir/root.png" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shots/modra_wine_depth16.png"
    check "the box shows something" has_other_colour "$shots/modra_wine_depth16.png" "${WIDTH}x$HEIGHT+0+0" \
        "$(pixel "$shots/modra_wine_depth16.png" 1 1)"
    main=$(xwininfo -root -children | awk '$2 == "\"Modra\":" { print $1; exit }')
    check "the main window is not shown" not_viewable "$main"
    check "modra.exe waits while the box is up" kill -0 "$app_pid"
    xdotool key --window "$box" Return
else
    echo "FAILED: a box titled Sorry"; failures=$((failures + 1))
fi
wait_app 30
rc=$?
check "a dismissed box ends modra.exe with 0 (got $rc)" test $rc -eq 0

finish_checks
