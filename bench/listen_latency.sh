#!/usr/bin/env bash
# How long a sound takes to reach the listening toy's picture, live: the
# real modra on Xvfb, paused, listening (L) to a private PulseAudio daemon's
# null output, into which build/bench/listen_latency plays CLICKS clicks a
# second apart (default 20) and times each against the first changed grab
# of the view. Offline, modra-render's first drop comes in the frame after
# the hop that holds the click; tests/listen_cli.sh holds it there.
# Usage: bench/listen_latency.sh [CLICKS]
set -u
clicks=${1:-20}
cd "$(dirname "$0")/.."
. tests/xvfb_session.sh
. tests/pulse_session.sh
require_tools Xvfb xdotool pulseaudio
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target modra listen_latency >/dev/null || exit 1
start_pulse
start_xvfb 24
start_app env PULSE_SERVER="$pulse" build/modra
open_modra 10
xdotool key --window "$win" space && sleep 0.5
xdotool key --window "$win" l && sleep 1
PULSE_SERVER="$pulse" build/bench/listen_latency "$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')" \
    $((X + 20)) $((Y + 20)) 640 480 "$clicks"
