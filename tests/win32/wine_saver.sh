#!/usr/bin/env bash
# The screensaver, modra.scr, under Wine on a private Xvfb (no window manager): /s, /p in preview_host.exe's
# window, and the other arguments' boxes. Screenshots go to BUILD-WINDOWS/wine-screenshots/saver_*.png.
# Usage: wine_saver.sh BUILD-WINDOWS
set -u
. "$(dirname "$0")/wine_session.sh"
wine_session saver "$1" wine-screenshots 'saver_*.png' xdpyinfo

start_saver() { (cd "$work" && exec "$wine" "$build/${program:-modra.scr}" "$@") >"$dir/out" 2>"$dir/err" & app_pid=$!; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable"; }
not_white() { has_other_colour "$1" "$2" FFFFFF; }  # the root is white: something covers it here

# --- /s: full screen -------------------------------------------------------
screen=1024x768
start_xvfb 24 $screen
# The picture, once it is there: every corner and the middle covered.
covered() {
    local w=${screen%x*} h=${screen#*x} region
    import -window root "$1" &&
        for region in 16x16+0+0 16x16+$((w - 16))+0 16x16+0+$((h - 16)) 16x16+$((w - 16))+$((h - 16)) \
            16x16+$((w / 2 - 8))+$((h / 2 - 8)); do
            not_white "$1" $region || return 1; done
}
run_full_screen() { # the arguments
    start_saver "$@"
    saver=$(find_window Modra 60 $screen+0+0)
    check "$* on $screen: a window titled Modra over the whole screen" test -n "$saver" || { cat "$dir/err"; return 1; }
    wait_for 20 covered "$dir/cover.png"
    check "$* on $screen: the picture covers the corners and the middle" covered "$dir/cover.png"
}

# The pointer is put in place first: moving it there later would be a real move.
xdotool mousemove 400 300
run_full_screen /s || { finish_checks; exit 1; }
import -window root "$shots/saver_full_a.png"
# Scaled by whole pixels, as the nearest one: no colour but the palette's.
n=$(convert "$shots/saver_full_a.png" -format %k info:)
check "no blended colours: $n colours, at most the palette's 256" test "$n" -le 256
sleep 0.5
import -window root "$shots/saver_full_b.png"
box=$(changed_box "$shots/saver_full_a.png" "$shots/saver_full_b.png")
check "it animates (changed: ${box:-nothing})" test -n "$box"
toy=$(xwininfo -root -children | awk -v at=" $screen+0+0 " '/ "Modra": \(/ && !index($0, at) { print $1; exit }')
check "the toy's own window is never shown (${toy:-none})" eval '[ -z "$toy" ] || ! viewable "$toy"'

xdotool mousemove_relative 1 0
sleep 1.5
check "a 1-pixel pointer move leaves it running and showing" eval 'kill -0 "$app_pid" && covered "$dir/still.png"'
xdotool mousemove_relative -- 10 0
check_exit "a 10-pixel pointer move" 10
wait_for 10 eval '! covered "$dir/after.png"'
check "the screen is the desktop again" only_colour "$dir/after.png" $screen+0+0 FFFFFF

# A wide screen: the picture is cropped top and bottom, and covers it still.
screen=1280x720
restart_xvfb 24 $screen
run_full_screen -S && sleep 1 && import -window root "$shots/saver_full_wide.png" && xdotool key space
check_exit "a key" 10
run_full_screen /s && sleep 1 && xdotool click 1
check_exit "a click" 10

# --- /p: the preview in a window of another program ------------------------
rm -f "$dir/stop"
(cd "$work" && exec "$wine" "$build/preview_host.exe" "Z:$dir/stop" 300 150) >"$dir/host.out" 2>"$dir/host.err" &
app_pid=$!
wait_for 60 grep -q '^hwnd [0-9]' "$dir/host.out"
hwnd=$(sed -n 's/^hwnd \([0-9]*\).*/\1/p' "$dir/host.out")
host=$(find_window "Modra preview host" 30)
check "the host's window is up (handle ${hwnd:-none})" test -n "$hwnd" -a -n "$host" || { finish_checks; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$host")"
preview_shot() { screen_shot "$1" "300x150+$X+$Y"; }
# The host's background is 123456, where a preview that draws nothing shows.
preview_covered() {
    preview_shot "$1" &&
        for region in 8x8+0+0 8x8+292+0 8x8+0+142 8x8+292+142 8x8+146+71; do
            has_other_colour "$1" $region 123456 || return 1; done
}
wait_for 30 preview_covered "$shots/saver_preview_a.png"
check "the preview fills the window" preview_covered "$shots/saver_preview_a.png"
sleep 0.5
preview_shot "$shots/saver_preview_b.png"
box=$(changed_box "$shots/saver_preview_a.png" "$shots/saver_preview_b.png")
check "the preview animates (changed: ${box:-nothing})" test -n "$box"
import -window root "$shots/saver_preview_screen.png"
convert "$shots/saver_preview_screen.png" -fill white -draw "rectangle $X,$Y $((X + 299)),$((Y + 149))" "$dir/outside.png"
check "nothing else shows on the screen (no toy window, no stray present)" \
    only_colour "$dir/outside.png" $screen+0+0 FFFFFF
touch "$dir/stop"
wait_app 20
rc=$?
sed 's/^/  /' "$dir/host.out" | tr -d '\r'
check "the preview ends with 0 once the host destroys its window (host exit $rc)" \
    eval '[ $rc -eq 0 ] && grep -q "^the preview ended with 0" "$dir/host.out"'

# --- the other arguments' boxes and modra.exe's, then the exit code: one of each kind, as unit_tests.exe
# reads every form of them.
check_box_of() { # exit code, shot, then the arguments
    local code=$1 shot=$2 rc
    shift 2
    start_saver "$@"
    check_box Modra 60 "$shot" && xdotool key --window "$box" Return 2>/dev/null
    wait_app 10
    rc=$?
    check "${program:-modra.scr} $*: dismissing the box ends it with $code (got $rc)" test $rc -eq "$code"
}
check_box_of 0 "$shots/saver_settings.png" /c
check_box_of 2 "$shots/saver_bad_x.png" /x
check_box_of 2 "$shots/saver_bad_p_999999.png" /p 999999
program=modra.exe
check_box_of 0 "$shots/modra_help.png" /?
check_box_of 2 "$shots/modra_bad.png" --bogus

finish_checks
