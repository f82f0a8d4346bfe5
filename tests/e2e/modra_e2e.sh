#!/usr/bin/env bash
# The real modra on a real X server (Xvfb, no window manager) under real pointer events and keys, checked on
# screenshots, the title and the pictures folder; and a 16-bit screen refused with a message box.
# Usage: modra_e2e.sh MODRA MODRA-RENDER X11_CLOSE SCREENSHOT-DIR DECODE-ANIMATION
set -u
modra=$1 render=$2 close_tool=$3 shots=$4 decode=$5
. "$(dirname "$0")/../xvfb_session.sh"
require_tools Xvfb xdotool xprop import convert compare identify xdpyinfo xwininfo ffprobe
mkdir -p "$shots"
rm -f "$shots"/*.png
home=$session_dir/home
mkdir -p "$home/Pictures"

start_xvfb 24 1280x1024
start_app env HOME="$home" XDG_CONFIG_HOME="$home/.config" "$modra"
open_modra 10
check_first_paint "$shots/modra_start.png" "$render" "$shots/modra_render_window.png"
# A drag from view point (320, 240) to (330, 242) drops radius-10 discs along it.
check_buttons_and_drop "$shots/modra" 0.3 362,274 \
    mousemove $((X + 340)) $((Y + 260)) mousedown 1 mousemove $((X + 350)) $((Y + 262)) mouseup 1
# Up raises the parameter, right moves to a later palette.
xdotool mousemove $((X + 400)) $((Y + 300)) mousedown 3 mousemove $((X + 425)) $((Y + 275)) \
    mousemove $((X + 450)) $((Y + 250)) mouseup 3
sleep 0.3
client_shot "$shots/modra_right_drag.png"
vertical=$(white_middle "$shots/modra_right_drag.png" 1x480+667+20)
horizontal=$(white_middle "$shots/modra_right_drag.png" 640x1+20+507)
check "a right drag up raises the parameter thumb (row ${vertical:-none}, was 260)" test "${vertical:-999}" -lt 260
check "a right drag right moves the palette thumb (column ${horizontal:-none}, was 50)" test "${horizontal:-0}" -gt 50

check "xdotool search --name finds the window by its title" test "$(xdotool search --name '^Modra$')" = "$((win))"
geometry() { eval "$(xdotool getwindowgeometry --shell "$win")"; echo "${WIDTH}x$HEIGHT+$X+$Y"; }
pictures() { ls -A "$home/Pictures"; }
# Keys, from the diffusion rule again.
click_at 62 548
sleep 0.3

# What each key does to the window is keys_cli's, through modra-render; here, that SDL's keys reach it.
press space
client_shot "$shots/keys_paused.png"
sleep 0.3
client_shot "$session_dir/later.png"
check "Space: the picture holds still" test -z "$(changed_box "$shots/keys_paused.png" "$session_dir/later.png")"
press w
client_shot "$shots/keys_wave.png"
check "W presses the wave button and releases diffusion" wave_pressed "$shots/keys_wave.png"

press s 0.3
kept=$(pictures)  # how it is named is keys_cli's
view_shot "$shots/keys_view.png"
check "S keeps the view as shown (${kept:-nothing})" same_pixels "$home/Pictures/$kept" "$shots/keys_view.png"
check "the title says where it went ($(title))" bash -c "[[ '$(title)' == 'Modra — saved $home/Pictures/$kept' ]]"
sleep 2
check "two seconds later the title is Modra again ($(title))" test "$(title)" = Modra

press f 1.5
check "F puts the frame rate in the title ($(title))" bash -c "[[ '$(title)' =~ ^'Modra — '[0-9]+' fps'$ ]]"
press f
check "F again takes it away" test "$(title)" = Modra

press F1 0
box=$(find_window "Modra keys" 5)
check "F1 lists the keys in a box" test -n "$box" && "$close_tool" "$box"

windowed=$(geometry)
press F11 1
screen_shot "$shots/keys_full.png" 1280x1024+0+0
convert "$shots/keys_full.png" -crop 640x480+305+242 +repage "$session_dir/centred.png"
check "F11 fills the screen, the view in the middle (paused, the same picture)" same_pixels "$session_dir/centred.png" "$shots/keys_view.png"
press Escape 1
check "Esc gives the window back ($windowed)" test "$(geometry)" = "$windowed"

press ctrl+plus 1
geometry >/dev/null
check "Ctrl+Plus zooms to 2 (${WIDTH}x$HEIGHT)" test "$WIDTH,$HEIGHT" = 1420,1160
rm -f "$home/Pictures"/*
press s 0.3 && mv "$home/Pictures"/* "$session_dir/before.png"
# View point (300, 200) is client pixel (320, 220), shown at (640, 440).
xdotool mousemove $((X + 640)) $((Y + 440)) click 1
sleep 0.5
press s 0.3 && mv "$home/Pictures"/* "$session_dir/after.png"
box=$(changed_box "$session_dir/before.png" "$session_dir/after.png")
check "a click at zoom 2 drops on the view point under it (changed: ${box:-nothing})" \
    awk -v b="$box" 'BEGIN { if (split(b, v, /[x+]/) != 4) exit 1
        cx = v[3] + v[1] / 2; cy = v[4] + v[2] / 2; exit !(cx > 298 && cx < 302 && cy > 198 && cy < 202 && v[1] >= 15) }'
press ctrl+0 1
geometry >/dev/null
check "Ctrl+0 is zoom 1 again" test "$WIDTH,$HEIGHT" = 710,580
rm -f "$home/Pictures"/*

press space
press shift+r
xdotool mousemove $((X + 200)) $((Y + 200)) mousedown 1 mousemove $((X + 400)) $((Y + 300)) mouseup 1
sleep 1.5
press space
press shift+r 1
recorded=$(pictures)
check "Shift+R again saves modra-....gif (${recorded:-none}), and says so ($(title))" \
    bash -c "[[ '$recorded' =~ ^modra-[0-9]{8}-[0-9]{6}\.gif$ ]] && [[ '$(title)' == 'Modra — saved '*'$recorded' ]]"
mkdir "$session_dir/frames"
"$decode" "$home/Pictures/$recorded" "$session_dir/frames" >"$session_dir/delays"
frames=$(wc -l <"$session_dir/delays")
check "it decodes to $frames frames, 30 or more" test "$frames" -ge 30
view_shot "$shots/keys_recorded_view.png"
check "its last frame is the view as shown" \
    same_pixels "$session_dir/frames/$(printf %03d $((frames - 1))).ppm" "$shots/keys_recorded_view.png"
rm -f "$home/Pictures"/*

press r
rm -rf "$home/Pictures"
press r 1
check "a recording whose folder went away stops and says why ($(title))" \
    bash -c "[[ '$(title)' == 'Modra — the recording stopped: cannot record in '* ]]"
mkdir "$home/Pictures"

# K: the whole session as a replay, which modra-render plays to the view as shown, pixel for pixel.
view_shot "$session_dir/still.png"
press k
kept=$(pictures)
check "K keeps modra-....modra and says so (${kept:-none}; $(title))" \
    bash -c "[[ '$kept' =~ ^modra-[0-9]{8}-[0-9]{6}\.modra$ ]] && [[ '$(title)' == 'Modra — kept '*'$kept' ]]"
"$render" --replay "$home/Pictures/$kept" --out "$shots/keys_replayed.png"
check "played back by modra-render, it ends on the view as shown" same_pixels "$shots/keys_replayed.png" "$session_dir/still.png"
rm -f "$home/Pictures"/*

# The live video's frames and format are the GIF's above and video_cli's; here, that a close finishes it.
press r
"$close_tool" "$win"
check_exit "a close request while recording" 5
closed=$(pictures)
check "the video was finished first (${closed:-none})" \
    bash -c "[[ '$closed' =~ ^modra-.*\.mp4$ ]] && ffprobe -v error '$home/Pictures/$closed'"
check "and nothing else was left in the pictures folder" test "$(pictures)" = "$closed"

start_xvfb 16
start_app "$modra"
check_box Sorry 10 "$shots/modra_sorry.png" && "$close_tool" "$box"
check_exit "a dismissed box" 5
check "the text went to the box, not to stderr" eval '! grep -q "requires 32 bit" "$session_dir/err"'
finish_checks
