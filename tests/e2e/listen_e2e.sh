#!/usr/bin/env bash
# The real modra listening, on a private Xvfb and a private PulseAudio daemon: what this computer plays
# reaches the paused view within a second; with no sound server, L says so and the toy goes on.
# Usage: listen_e2e.sh MODRA MAKE-SOUND SCREENSHOT-DIR
set -u
modra=$1 make_sound=$2 shots=$3
. "$(dirname "$0")/../xvfb_session.sh"
require_tools Xvfb xdotool xprop import convert pulseaudio paplay
. "$(dirname "$0")/../pulse_session.sh"
mkdir -p "$shots"
start_pulse
"$make_sound" click 10 "$session_dir/click.wav"

start_xvfb 24
start_app env PULSE_SERVER=$pulse "$modra"
open_modra 10
wait_painted "$session_dir/first.png"
press space
client_shot "$shots/listen_before.png"
press l
check "L: the title says it listens ($(title))" test "$(title)" = "Modra — listening to this computer"
PULSE_SERVER=$pulse paplay "$session_dir/click.wav" &
player=$!
# The first click comes half a second into the track.
dropped() { client_shot "$shots/listen_after.png" && test -n "$(changed_box "$shots/listen_before.png" "$shots/listen_after.png" $view)"; }
wait_for 2 dropped
check "a click played drops into the paused view within a second" dropped
kill "$player" 2>/dev/null
press l
check "L again: the microphone, or nothing to listen to ($(title))" \
    bash -c "[[ '$(title)' == 'Modra — listening to the microphone' || '$(title)' == 'Modra — nothing to listen to' ]]"
kill "$app_pid"
wait_app 5

start_app env PULSE_SERVER=unix:$session_dir/nothing.sock "$modra"
open_modra 10
press l
check "with no sound server L says so ($(title))" test "$(title)" = "Modra — nothing to listen to"
check "and the toy goes on" kill -0 "$app_pid"
finish_checks
