#!/usr/bin/env bash
# The native Windows build's recordings under Wine on a private Xvfb (no window manager): R's video, read by
# ffprobe, or the title's word that this system has no encoder for it; Shift+R's GIF, decoded by giflib
# (decode-animation, beside X11_CLOSE). They and screenshots go to BUILD-WINDOWS/wine-record-screenshots/.
# Usage: wine_record.sh BUILD-WINDOWS MODRA-RENDER X11_CLOSE
set -u
close_tool=$3  # MODRA-RENDER ($2) is not needed here: the view is its own reference
decode=$(dirname "$close_tool")/decode-animation
. "$(dirname "$0")/wine_session.sh"
wine_session record "$1" wine-record-screenshots '*' "$decode" xprop compare identify ffprobe
start_focused_modra
# The title once it reads TEXT, waiting up to 5 s for a machine slower than the press's pause.
title_becomes() { local i; for i in $(seq 50); do [ "$(title)" = "$1" ] && return 0; sleep 0.1; done; echo "  (title: $(title))"; return 1; }
recordings() { listing | grep '^modra-[0-9]\{8\}-[0-9]\{6\}\(-[0-9]*\)\?\.gif$'; }

# Its timing and looping are the encoder's, the same as record_cli's; here, that the frames are the view's.
check_recording() { # file, what, frames out folder
    local frames n
    mkdir -p "$3"
    "$decode" "$1" "$3" >"$dir/delays"
    frames=$(wc -l <"$dir/delays")
    check "$2 decodes to frames ($frames)" test "$frames" -ge 2 || return 1
    n=$(compare -metric AE "$3/000.ppm" "$3/$(printf %03d $((frames - 1))).ppm" null: 2>&1)
    check "$2 shows a changing view (first and last frames: $n pixels differ)" test "$n" != 0
}

press r
wait_for 5 eval '[[ "$(title)" = "Modra — recording" || "$(title)" = *Shift+R* ]]'
if [ "$(title)" = "Modra — recording" ]; then
    sleep 2
    press r
    wait_for 60 eval 'listing | grep -q "\.mp4$"'
    video=$(listing | grep '^modra-[0-9]\{8\}-[0-9]\{6\}\.mp4$')
    check "R, R: a video in the Pictures known folder (folder: $(listing | tr '\n' ' '))" test -n "$video"
    check_kept "$video"
    format=$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,r_frame_rate -of csv=p=0 \
             "$pictures/$video" 2>&1)
    check "it is H.264 at 60 frames a second ($format)" test "$format" = "h264,60/1"
    rm -rf "${pictures:?}"/* "$pictures"/.[!.]* 2>/dev/null
else
    check "R where this system cannot record video: the title says so, and names Shift+R" \
        title_becomes "Modra — this system has no H.264 encoder: Shift+R records a GIF"
    check "and leaves nothing in the folder ($(listing | tr '\n' ' '))" test -z "$(listing)"
fi

press shift+r
wait_for 5 eval '[ "$(title)" = "Modra — recording" ]'
check "while recording only a hidden temporary file is in the folder ($(listing | tr '\n' ' '))" \
    eval '[ "$(listing | wc -l)" = 1 ] && listing | grep -q "^\."'
# A few drops over two seconds, each at its own place in the view.
for spot in 120,100 500,380 330,250 200,420; do
    click_at $((20 + ${spot%,*})) $((20 + ${spot#*,}))
    sleep 0.5
done
press space
sleep 0.5
client_shot "$shots/paused.png"
convert "$shots/paused.png" -crop $view +repage "$dir/view.png"
press shift+r
wait_for 60 eval '[ -n "$(recordings)" ]'
first=$(recordings | head -1)
check "Shift+R again: one recording in the Pictures known folder (folder: $(listing | tr '\n' ' '))" \
    eval '[ "$(listing | wc -l)" = 1 ] && [[ $first =~ ^modra-[0-9]{8}-[0-9]{6}\.gif$ ]]'
check_kept "$first"
if [ -n "$first" ]; then
    cp "$pictures/$first" "$shots/recording.gif"
    check_recording "$pictures/$first" "the recording" "$shots/frames"
    last=$(ls "$shots/frames"/*.ppm | tail -1)
    n=$(compare -metric AE "$last" "$dir/view.png" "$shots/last_difference.png" 2>&1)
    check "its last frame is the paused view as shown ($n pixels differ)" test "$n" = 0
fi

rm -rf "${pictures:?}"/* "$pictures"/.[!.]* 2>/dev/null
press space
press shift+r
wait_for 5 eval '[ "$(title)" = "Modra — recording" ]'
click_at 340 260
sleep 1
"$close_tool" "$win"
check_exit "a close request while recording" 60
closed=$(recordings | head -1)
check "the close keeps the recording (folder: $(listing | tr '\n' ' '))" \
    eval '[ "$(listing | wc -l)" = 1 ] && [ -n "$closed" ]'
if [ -n "$closed" ]; then
    cp "$pictures/$closed" "$shots/closed.gif"
    check_recording "$pictures/$closed" "the recording ended by the close" "$shots/closed_frames"
fi
finish_checks
