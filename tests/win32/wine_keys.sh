#!/usr/bin/env bash
# The native Windows build's keys under Wine on a private Xvfb (no window manager): the window against
# modra-render's after the same keys; S in the Pictures known folder; full screen; F1; a replay played, K's,
# a damaged one. Screenshots go to BUILD-WINDOWS/wine-keys-screenshots/.
# Usage: wine_keys.sh BUILD-WINDOWS MODRA-RENDER X11_CLOSE
set -u
render=$2
close_tool=$3
. "$(dirname "$0")/wine_session.sh"
wine_session keys "$1" wine-keys-screenshots '*.png' xprop compare identify
start_focused_modra

# modra-render's window after the same keys, to compare outside the view.
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

check_picture() { # file, what
    local differing
    differing=$(compare -metric AE "$1" "$dir/view.png" "$dir/picture_difference.png" 2>&1)
    check "$2 is the view as shown ($differing pixels differ)" test "$differing" = 0
}
saved_pictures() { listing | grep -c '^modra-[0-9]\{8\}-[0-9]\{6\}\(-[0-9]*\)\?\.png$'; }

press s
wait_for 10 test "$(saved_pictures)" -ge 1
first=$(listing | head -1)
check "S keeps one picture in the Pictures known folder (folder: $(listing | tr '\n' ' '))" \
    eval '[ "$(listing | wc -l)" = 1 ] && [[ $first =~ ^modra-[0-9]{8}-[0-9]{6}\.png$ ]]'
check_picture "$pictures/$first" "the picture"
cp "$pictures/$first" "$shots/kept.png" 2>/dev/null
check_kept "$first"

# Every name the next seconds could give is taken: the picture gets the one after, the files stay as they were.
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

# Full screen, borderless with the frozen view centred, and Esc. Alt+Enter goes through the system key
# messages: its character rings no bell and opens no menu.
for key in F11 alt+Return; do
    press $key
    eval "$(xdotool getwindowgeometry --shell "$win")"
    check "$key: the window covers the screen (${WIDTH}x$HEIGHT+$X+$Y)" test "$WIDTH,$HEIGHT,$X,$Y" = 1024,768,0,0
    screen_shot "$shots/full_screen_$key.png" 640x480+$(((1024 - 710) / 2 + 20))+$(((768 - 580) / 2 + 20))
    n=$(compare -metric AE "$shots/full_screen_$key.png" "$dir/view.png" "$dir/full_difference.png" 2>&1)
    check "the view is centred in it ($n pixels differ)" test "$n" = 0
    press Escape
    eval "$(xdotool getwindowgeometry --shell "$win")"
    client_shot "$shots/windowed_again.png"
    check "Esc: back to the window, painted as before" test -z "$(changed_box "$shots/paused.png" "$shots/windowed_again.png")"
done

press F1
if check_box "Modra keys" 10 "$shots/keys_box.png"; then
    xdotool key --window "$box" Return 2>/dev/null  # no window manager: xdotool finds no focus to note
    check "Enter dismisses it" wait_for 10 eval '[ -z "$(top_window "Modra keys")" ]'
fi

"$close_tool" "$win"
check_exit "a close request" 30

# A replay of a seeded run with a drag and a key that ends paused: modra.exe plays it to a picture that stands
# as modra-render's replay ends; K then keeps the session, replay and all, and that ends there too.
printf '%s\n' "frames 20" "press left 200 200" "move 230 220" "move 270 250" "release left 270 250" "frames 30" \
    "key w" "frames 30" "key space" >"$dir/replay.txt"
"$render" --seed 3 --script "$dir/replay.txt" --frames 10 --keep "$dir/replay.modra"
"$render" --replay "$dir/replay.modra" --window "$shots/linux_replay.png"
ends_as_replayed() { # what, then the window's picture
    local n
    n=$(compare -metric AE "$2" "$shots/linux_replay.png" "$dir/replay_difference.png" 2>&1)
    check "$1 ends as modra-render --replay does ($n pixels differ)" test "$n" = 0
}
start_modra_exe "Z:$dir/replay.modra"
open_modra 60
wait_for 20 eval 'client_shot "$dir/replay_a.png"; sleep 0.5; client_shot "$shots/replay.png"
                  [ -z "$(changed_box "$dir/replay_a.png" "$shots/replay.png")" ]'
ends_as_replayed "modra.exe FILE.modra" "$shots/replay.png"
sleep 1  # past its last ten frames, paused
click_at 5 5
press k
wait_for 10 eval 'listing | grep -q "^modra-.*\.modra$"'
kept=$(listing | grep '^modra-[0-9]\{8\}-[0-9]\{6\}\.modra$')
check "K keeps the session as a replay in the Pictures known folder (folder: $(listing | tr '\n' ' '))" \
    test "$(listing)" = "$kept"
check_kept "$kept" kept
"$render" --replay "$pictures/$kept" --window "$shots/linux_kept_replay.png" &&
    ends_as_replayed "its replay" "$shots/linux_kept_replay.png"
"$close_tool" "$win"
check_exit "a close request" 30

printf 'modra-replay 1\n' >"$dir/damaged.modra"
start_modra_exe "Z:$dir/damaged.modra"
check_box Modra 60 "$shots/replay_damaged.png" && xdotool key --window "$box" Return 2>/dev/null
wait_app 10
rc=$?
check "a damaged replay: dismissing its box ends modra.exe with 2 (got $rc)" test $rc -eq 2
finish_checks
