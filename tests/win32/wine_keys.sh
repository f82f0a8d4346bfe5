#!/usr/bin/env bash
# The native Windows build's keys under Wine on a private Xvfb (no window
# manager): W presses the wave button, Up moves the parameter slider and
# Space pauses (Ctrl+Space does not), the window then painted as
# modra-render paints it after the same keys; S keeps the frozen view as a
# 640 x 480 PNG in the prefix's Pictures known folder, under the next free
# name when the first is taken, replacing nothing and leaving nothing else
# behind, the title saying so with its em dash; F11 makes the window
# borderless over the whole screen with the view centred, as Alt+Enter does,
# and Esc gives the window back; F1 shows the keys in a box. Runs in a Wine
# prefix of its own (kept in the build directory), whose home and Pictures
# folder are private. Screenshots go to BUILD-WINDOWS/wine-keys-screenshots/.
# Usage: wine_keys.sh BUILD-WINDOWS MODRA-RENDER X11_CLOSE
set -u
build=$(cd "$1" && pwd)
render=$2
close_tool=$3
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
for tool in "$wine" "$wineserver" Xvfb xdotool xwininfo xprop import convert compare identify; do
    command -v "$tool" >/dev/null || { echo "FAILED: $tool is not installed"; exit 1; }
done
shots=$build/wine-keys-screenshots
mkdir -p "$shots"
rm -f "$shots"/*.png
. "$(dirname "$0")/../xvfb_session.sh"
dir=$session_dir

. "$(dirname "$0")/wine_prefix.sh"
private_wine_prefix keys

start_xvfb 24
start_modra_exe
open_modra 60
for _ in $(seq 100); do
    client_shot "$dir/start.png"
    has_colour "$dir/start.png" 23x23+209+537 C0C0C0 && has_other_colour "$dir/start.png" $view 000000 && break
    sleep 0.1
done
check "the window is painted" has_other_colour "$dir/start.png" $view 000000

# Keys go to the window with the input focus; a click on the black frame
# gives it the focus and does nothing else.
click_at 5 5
sleep 0.3
press() { xdotool key "$1"; sleep 0.7; }  # key name, then time for the toy to paint

# The window outside the view (which runs on its own), against
# modra-render's window after the same keys: the icon bar's buttons and the
# sliders' thumbs.
render_keys() { # out, key names...
    local out=$1 key
    shift
    for key in "$@"; do echo "key $key"; done >"$dir/keys.txt"
    "$render" --seed 1 --frames 1 --script "$dir/keys.txt" --window "$out"
}

# Ctrl makes the letters and Space zoom keys, which Windows has none of.
press ctrl+space
client_shot "$dir/ctrl_a.png"
sleep 0.5
client_shot "$dir/ctrl_b.png"
check "Ctrl+Space does not pause" test -n "$(changed_box "$dir/ctrl_a.png" "$dir/ctrl_b.png" $view)"

press w
press Up
client_shot "$shots/wave.png"
check "W presses the wave button" only_colour "$shots/wave.png" 23x1+103+537 FFFFFF
check "and releases diffusion" has_other_colour "$shots/wave.png" 23x1+50+537 FFFFFF
render_keys "$shots/linux_wave.png" w up
n=$(differing_outside_view "$shots/wave.png" "$shots/linux_wave.png" "$shots/wave_difference.png")
check "after W, Up the window is modra-render's after key w, key up outside the view ($n pixels differ)" \
    test "$n" = 0

press space
client_shot "$dir/paused_a.png"
sleep 0.5
client_shot "$shots/paused.png"
check "Space pauses: the window holds still" test -z "$(changed_box "$dir/paused_a.png" "$shots/paused.png")"
render_keys "$shots/linux_paused.png" w up space
n=$(differing_outside_view "$shots/paused.png" "$shots/linux_paused.png" "$shots/paused_difference.png")
check "after Space too, it is modra-render's after key space ($n pixels differ)" test "$n" = 0
convert "$shots/paused.png" -crop $view +repage "$dir/view.png"

# A kept picture must be the frozen view, pixel for pixel.
check_picture() { # file, what
    local size differing
    size=$(identify -format '%wx%h' "$1" 2>/dev/null)
    check "$2 is a 640 x 480 PNG (got ${size:-no picture})" test "$size" = 640x480
    check "$2 is not one colour" test "$(convert "$1" -format '%k' info:)" -gt 1
    differing=$(compare -metric AE "$1" "$dir/view.png" "$dir/picture_difference.png" 2>&1)
    check "$2 is the view as shown ($differing pixels differ)" test "$differing" = 0
}
listing() { ls -A "$pictures"; }
saved_pictures() { listing | grep -c '^modra-[0-9]\{8\}-[0-9]\{6\}\(-[0-9]*\)\?\.png$'; }

press s
wait_for 10 test "$(saved_pictures)" -ge 1
first=$(listing | head -1)
check "S keeps one picture in the Pictures known folder (folder: $(listing | tr '\n' ' '))" \
    eval '[ "$(listing | wc -l)" = 1 ] && [[ $first =~ ^modra-[0-9]{8}-[0-9]{6}\.png$ ]]'
check_picture "$pictures/$first" "the picture"
cp "$pictures/$first" "$shots/kept.png" 2>/dev/null
check "the title says where it went: Modra — saved …\\$first" \
    eval 'xprop -id "$win" _NET_WM_NAME | grep -qF "\"Modra — saved " && xprop -id "$win" _NET_WM_NAME | grep -qF "$first\""'
check "nothing is left in the current folder" test -z "$(ls -A "$work")"
saved=$(sed -n 's/^modra: saved \(.*\)/\1/p' "$dir/err" | tr -d '\r' | tail -1)
check "stderr names it (${saved:-nothing})" test "${saved##*\\}" = "$first"
# The temporary file it was written to is hidden; the picture must not be.
attributes=$("$wine" cmd /c attrib "$saved" 2>/dev/null | tr -d '\r')
check "the picture is not hidden (attrib: ${attributes:-nothing})" \
    eval '[ -n "$attributes" ] && ! [[ ${attributes%%[A-Za-z]:\\*} =~ H ]]'

# Every name the next seconds could give is taken already: the picture gets
# the one after, and the file there stays as it was.
rm -f "$pictures/$first"
now=$(date +%s)
for t in $(seq "$now" $((now + 20))); do
    echo "taken" >"$pictures/modra-$(date -d "@$t" +%Y%m%d-%H%M%S).png"
done
press s
wait_for 10 eval 'listing | grep -q -- "-2\.png$"'
second=$(listing | grep -- '-2\.png$')
check "a taken name is not replaced: the picture is ${second:-missing}" test -n "$second"
check "every taken file is as it was" \
    eval '[ "$(cat "$pictures"/modra-*[0-9][0-9][0-9][0-9][0-9][0-9].png | sort -u)" = taken ]'
[ -n "$second" ] && check_picture "$pictures/$second" "the second picture"
check "no other file is in the folder ($(listing | wc -l) files)" test "$(listing | wc -l)" = 22
rm -rf "${pictures:?}"/* "$pictures"/.[!.]* 2>/dev/null

# Full screen: borderless over the 1024 x 768 screen, the view centred in
# it and still the frozen picture; Esc gives the window back.
press F11
eval "$(xdotool getwindowgeometry --shell "$win")"
check "F11: the window covers the screen (${WIDTH}x$HEIGHT+$X+$Y)" test "$WIDTH,$HEIGHT,$X,$Y" = 1024,768,0,0
screen_shot "$shots/full_screen.png" 640x480+$(((1024 - 710) / 2 + 20))+$(((768 - 580) / 2 + 20))
n=$(compare -metric AE "$shots/full_screen.png" "$dir/view.png" "$dir/full_difference.png" 2>&1)
check "the view is centred in it ($n pixels differ)" test "$n" = 0
press Escape
eval "$(xdotool getwindowgeometry --shell "$win")"
check "Esc: back to the 710x580 window (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = 710,580
client_shot "$shots/windowed_again.png"
check "and it is painted as before" test -z "$(changed_box "$shots/paused.png" "$shots/windowed_again.png")"

# Alt+Enter is full screen too, through the system key messages; its
# character rings no bell and opens no menu.
press alt+Return
eval "$(xdotool getwindowgeometry --shell "$win")"
check "Alt+Enter: the window covers the screen (${WIDTH}x$HEIGHT+$X+$Y)" test "$WIDTH,$HEIGHT,$X,$Y" = 1024,768,0,0
press Escape
eval "$(xdotool getwindowgeometry --shell "$win")"
check "Esc: back to 710x580 (got ${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = 710,580

# F1: the list of keys in an information box, the program waiting on it.
press F1
box=$(find_window "Modra keys" 10)
check "F1 shows a box titled Modra keys" test -n "$box"
if [ -n "$box" ]; then
    eval "$(xdotool getwindowgeometry --shell "$box")"
    screen_shot "$shots/keys_box.png" "${WIDTH}x$HEIGHT+$X+$Y"
    check "the box shows something" has_other_colour "$shots/keys_box.png" "${WIDTH}x$HEIGHT+0+0" \
        "$(pixel "$shots/keys_box.png" 1 1)"
    xdotool key --window "$box" Return 2>/dev/null  # no window manager: xdotool finds no focus to note
    wait_for 10 eval '[ -z "$(top_window "Modra keys")" ]'
    check "Enter dismisses it" test -z "$(top_window "Modra keys")"
fi

"$close_tool" "$win"
check_exit "a close request" 30
finish_checks
