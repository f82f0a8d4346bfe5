#!/usr/bin/env bash
# Listening (L) in the native Windows build under Wine on a private Xvfb, its sound through winepulse alone:
# without a sound server, and with a PulseAudio server of the test's own (one null sink, whose monitor is the
# default source), stopped under it. Wine 8's winepulse has no loopback, so this computer may be nothing to
# listen to. Screenshots go to BUILD-WINDOWS/wine-listen-screenshots/.
# Usage: wine_listen.sh BUILD-WINDOWS X11_CLOSE (make_sound beside X11_CLOSE)
set -u
close_tool=$2
make_sound=$(dirname "$close_tool")/make_sound
. "$(dirname "$0")/wine_session.sh"
wine_session listen "$1" wine-listen-screenshots '*.png' xprop pulseaudio pactl paplay "$make_sound"
. "$tests_dir/pulse_session.sh"
# winepulse only: ALSA would find whatever cards this machine has.
env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d pulse /f >/dev/null 2>&1

mix=$(env -u DISPLAY "$wine" "$build/mix_format_test.exe" 2>/dev/null | tr -d '\r')
echo "$mix" | grep '^ok: \|^FAILED: '
check "the integer mix formats turn into floats (${mix##*$'\n'})" test "${mix##*$'\n'}" = "0 failed"
"$wineserver" -w

# The server named but not there: a client never starts one of its own then.
export PULSE_SERVER=$pulse

titled() { [ "$(title)" = "Modra — $1" ]; }
press_l() { # the title it should come to, then any other it may come to instead
    want=$1 or=${2:-}
    xdotool key l
    wait_for 10 said_after_l
    check "L: the title says Modra — $want${or:+ or Modra — $or} (got $(title))" said_after_l
}
said_after_l() { titled "$want" || { [ -n "$or" ] && titled "$or"; }; }
changed_since() { view_shot "$dir/now.png" && [ -n "$(changed_box "$1" "$dir/now.png")" ]; }

full_size() { local w; w=$(top_window Modra) && [ -n "$w" ] && xwininfo -id "$w" | grep -q 'Width: 710'; }
start_toy() {
    start_modra_exe
    # Wine maps the window before it takes its size; a busy machine shows that.
    wait_for 60 full_size
    open_modra 5
    wait_painted "$dir/start.png" 20
    click_at 5 5  # the black frame: the input focus, nothing else
    sleep 0.3
}
# Paused, the view holds still but for what the hand drops into it.
holds_still() { # what it hears
    view_shot "$dir/held.png"
    sleep 1.5
    check "paused, $1 makes no drop" eval '! changed_since "$dir/held.png"'
}
clicks_make_drops() { # what hears them, the screenshot's name
    paplay "$dir/clicks.wav" &
    local player=$!
    wait_for 8 changed_since "$dir/held.png"
    check "$1 hears clicks: drops land in the paused view" changed_since "$dir/held.png"
    cp "$dir/now.png" "$shots/$2"
    kill "$player" 2>/dev/null
    wait "$player" 2>/dev/null
    sleep 1
}
still_animates() {
    view_shot "$dir/a.png"
    sleep 0.5
    check "$1, the toy animates" changed_since "$dir/a.png"
}
close_toy() {
    "$close_tool" "$win"
    check_exit "a close request" 30
    check "nothing is kept in the current folder or Pictures" test -z "$(find "$work" "$pictures" -mindepth 1)"
}

start_xvfb 24

echo "-- no sound server"
start_toy
press_l "nothing to listen to"
press_l "nothing to listen to"
press_l "not listening"
still_animates "with nothing to listen to"
close_toy

echo "-- a sound server of the test's own"
"$make_sound" click 8 "$dir/clicks.wav" >/dev/null
start_pulse
start_toy
xdotool key space
sleep 0.7
holds_still "not listening"
press_l "listening to this computer" "nothing to listen to"
if titled "listening to this computer"; then
    clicks_make_drops "this computer" this_computer.png
else
    echo "note: this Wine captures no output (loopback), so this computer is nothing to listen to"
fi
press_l "listening to the microphone"
sleep 1  # the hand's last drops, if this computer was heard
holds_still silence
clicks_make_drops "the microphone" microphone.png
stop_pulse
wait_for 10 titled "the sound input went away"
check "the server stopped: the title says Modra — the sound input went away (got $(title))" \
    titled "the sound input went away"
xdotool key space
sleep 0.7
still_animates "resumed after it went away"
client_shot "$shots/after.png"
close_toy
finish_checks
