# A private PulseAudio daemon for tests and benchmarks, sourced after
# xvfb_session.sh: our own, as this user, its socket and state in the
# session's folder, one null output whose monitor is what this computer
# plays (and the default input); stopped by its process id with the session,
# or by stop_pulse. Clients find it through PULSE_SERVER=$pulse.
pulse=unix:$session_dir/pulse.sock
pulse_pid=""
start_pulse() {
    mkdir -p "$session_dir/pulse_home" "$session_dir/pulse_run"
    chmod 700 "$session_dir/pulse_run"
    # No display for the daemon, so that it starts no D-Bus of its own.
    env -u DISPLAY HOME="$session_dir/pulse_home" XDG_RUNTIME_DIR="$session_dir/pulse_run" \
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -F /dev/null \
        --load="module-native-protocol-unix socket=$session_dir/pulse.sock auth-anonymous=1" \
        --load="module-null-sink sink_name=toy" >"$session_dir/pulse.log" 2>&1 &
    pulse_pid=$!
    session_hooks+=(stop_pulse)
    wait_for 10 env PULSE_SERVER="$pulse" pactl info >/dev/null 2>&1 ||
        { echo "FAILED: PulseAudio did not start:"; cat "$session_dir/pulse.log"; exit 1; }
}
stop_pulse() { stop_pid pulse_pid; }
