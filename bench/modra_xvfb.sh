#!/usr/bin/env bash
# Runs the real modra on Xvfb for a while and prints its frame rate, the
# median and 99th-percentile time between frames (from the SDL host's
# MODRA_FRAME_LOG) and the CPU it and the X server used, as % of one core.
# Usage: bench/modra_xvfb.sh [SECONDS] [paused] [zoom N] [record|record-gif] [listen]
#        (default 10 s, animating, zoom 1, not recording, not listening)
# With "paused" the pause button is clicked first: frames are then drawn
# without a step and, with no fade running, the loop is at its calmest.
# With "zoom N" the window is zoomed with Ctrl+Plus first, on a screen big
# enough to show it whole. With "record" R records a video (with the sound,
# when listening), with "record-gif" Shift+R a GIF, through the
# measured time, and its size is told. With "listen" L listens to a private
# PulseAudio daemon's output while a loud, dense track plays into it.
set -u
seconds=${1:-10}
paused="" zoom=1 record= listen=
shift $(($# > 0))
while [ $# -gt 0 ]; do
    case $1 in
        paused) paused=1 ;;
        zoom) zoom=$2; shift ;;
        record) record=r ;;
        record-gif) record=shift+r ;;
        listen) listen=1 ;;
        *) echo "usage: $0 [SECONDS] [paused] [zoom N] [record|record-gif] [listen]" >&2; exit 2 ;;
    esac
    shift
done
cd "$(dirname "$0")/.."
. tests/xvfb_session.sh
require_tools Xvfb xdpyinfo xwininfo
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target modra x11_close make_sound >/dev/null || exit 1
. tests/pulse_session.sh
if [ -n "$listen" ]; then
    start_pulse
    export PULSE_SERVER=$pulse
    build/tests/make_sound dense "$((seconds + 10))" "$session_dir/dense.wav"
fi

# Clock ticks of user and system time; the fields after the command name,
# which is in brackets and may hold spaces.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
now() { date +%s.%N; }

start_xvfb 24 "$((710 * zoom + 200))x$((580 * zoom + 200))"
log="$session_dir/frames"
mkdir -p "$session_dir/home/Pictures"
HOME=$session_dir/home XDG_CONFIG_HOME=$session_dir/home/.config MODRA_FRAME_LOG=$log build/modra 2>"$session_dir/err" &
app_pid=$!
win=$(find_window Modra) || { echo "modra did not come up:"; cat "$session_dir/err"; exit 1; }
for _ in $(seq 2 "$zoom"); do
    xdotool key --window "$win" ctrl+plus 2>/dev/null
    sleep 0.5
done
if [ -n "$paused" ]; then
    eval "$(xdotool getwindowgeometry --shell "$win")"
    xdotool mousemove $((X + 163 * zoom)) $((Y + 548 * zoom)) click 1
    sleep 1
fi
echo "zoom $zoom: window $(xdotool getwindowgeometry "$win" 2>/dev/null | awk '/Geometry/ { print $2 }')"

title() { xprop -id "$win" _NET_WM_NAME | sed 's/^[^"]*"//; s/"$//'; }
if [ -n "$listen" ]; then
    paplay "$session_dir/dense.wav" 2>/dev/null &
    xdotool key --window "$win" l 2>/dev/null
    sleep 1
    echo "title: $(title)"
fi
[ -n "$record" ] && xdotool key --window "$win" "$record" 2>/dev/null
app_before=$(cpu_ticks "$app_pid"); server_before=$(cpu_ticks "$xvfb_pid"); t0=$(now)
sleep "$seconds"
app_after=$(cpu_ticks "$app_pid"); server_after=$(cpu_ticks "$xvfb_pid"); t1=$(now)
if [ -n "$record" ]; then
    xdotool key --window "$win" "$record" 2>/dev/null
    sleep 1
    echo "title: $(title)"
    for file in "$session_dir"/home/Pictures/*; do
        frames=$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 \
                 "$file" 2>/dev/null)
        streams=$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$file" 2>/dev/null | tr '\n' ' ')
        echo "recorded $(basename "$file"): $(stat -c %s "$file" | awk '{ printf "%.1f MB", $1 / 1e6 }'), ${streams:-?}" \
             "${frames:-?} frames in the file for about $(echo "($t1 - $t0) * 60" | bc | cut -d. -f1) shown"
    done
fi
build/tests/x11_close "$win"
wait_app 5 || { echo "modra did not close"; exit 1; }

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
hz=$(getconf CLK_TCK)
awk -v a="$app_after" -v b="$app_before" -v s="$server_after" -v r="$server_before" \
    -v t0="$t0" -v t1="$t1" -v hz="$hz" 'BEGIN {
        wall = t1 - t0
        printf "modra CPU %.1f %% of one core, Xvfb %.1f %%, over %.1f s\n",
               100 * (a - b) / hz / wall, 100 * (s - r) / hz / wall, wall
    }'
# The log holds microseconds since the first frame, one line per frame; the
# figures are of the last SECONDS, the time measured above (the window
# closed right after), so the start and the zoom are left out.
awk -v keep="$seconds" '{ t[NR] = $1 } END { for (i = 1; i <= NR; i++) if (t[i] >= t[NR] - keep * 1e6) print t[i] }' \
    "$log" >"$log.kept"
frames=$(wc -l <"$log.kept")
span=$(awk 'NR == 1 { first = $1 } { last = $1 } END { print last - first }' "$log.kept")
awk 'NR > 1 { print $1 - last } { last = $1 }' "$log.kept" | sort -n |
    awk -v span="$span" -v frames="$frames" '{ v[NR] = $1 } END {
        if (NR < 2) { print "too few frames"; exit 1 }
        median = v[int((NR + 1) / 2)]
        p99 = v[int(NR * 0.99 + 0.999999)]
        printf "%d frames in %.2f s: %.1f frames/s; interval median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n",
               frames, span / 1e6, (frames - 1) / (span / 1e6), median / 1e3, p99 / 1e3, v[NR] / 1e3
    }'
