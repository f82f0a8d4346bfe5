#!/usr/bin/env bash
# The real modra on a real X server (Xvfb, no window manager), driven with
# real pointer events and checked on screenshots, and a 16-bit screen
# refused with a message box.
# Usage: modra_e2e.sh MODRA MODRA-RENDER X11_CLOSE SCREENSHOT-DIR
set -u
modra=$1 render=$2 close_tool=$3 shots=$4
. "$(dirname "$0")/../xvfb_session.sh"
require_tools Xvfb xdotool import convert compare xdpyinfo xwininfo
mkdir -p "$shots"
rm -f "$shots"/*.png

start_xvfb 24
start_app "$modra"
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
"$close_tool" "$win"
check_exit "a close request" 5

start_xvfb 16
start_app "$modra"
check_box Sorry 10 "$shots/modra_sorry.png" && "$close_tool" "$box"
check_exit "a dismissed box" 5
check "the text went to the box, not to stderr" eval '! grep -q "requires 32 bit" "$session_dir/err"'
finish_checks
