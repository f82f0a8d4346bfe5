#!/usr/bin/env bash
# The page from SITE_DIR, served and in headless Chromium whose fake devices play a click track, checked by each
# tests/web/web_*.mjs in turn (each says what it checks); MODRA_RENDER draws the windows they compare with.
# Needs build-web/site/ (scripts/build-web.sh), build/modra-render and build/tests/make_sound.
#   tests/web/web_page.sh [SITE_DIR] [MODRA_RENDER] [SCREENSHOT_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
site=${1:-$root/build-web/site}
render=${2:-$root/build/modra-render}
shots=${3:-$root/build/web-screenshots}
mkdir -p "$shots"
[ -f "$site/index.html" ] || { echo "no $site/index.html (scripts/build-web.sh)" >&2; exit 2; }
[ -x "$render" ] || { echo "no $render" >&2; exit 2; }

work=$(mktemp -d)
mkdir "$work/downloads"
server="" browser=""
finish() {
    local code=$?
    set +e
    for pid in $browser $server; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
    exit "$code"
}
trap finish EXIT

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >"$work/http.log" 2>&1 &
server=$!
"$(dirname "$render")/tests/make_sound" click 10 "$work/click.wav"
setsid chromium --headless=new --no-sandbox --disable-gpu --no-first-run --user-data-dir="$work/profile" \
    --use-fake-ui-for-media-stream --use-fake-device-for-media-stream --use-file-for-fake-audio-capture="$work/click.wav" \
    --remote-debugging-address=127.0.0.1 --remote-debugging-port=0 about:blank >"$work/chromium.log" 2>&1 &
browser=$!
for _ in $(seq 100); do
    [ -s "$work/profile/DevToolsActivePort" ] && curl -s -o /dev/null "http://127.0.0.1:$port/" && break
    sleep 0.1
done
[ -s "$work/profile/DevToolsActivePort" ] || { echo "chromium did not start" >&2; cat "$work/chromium.log" >&2; exit 1; }
devtools="ws://127.0.0.1:$(sed -n 1p "$work/profile/DevToolsActivePort")$(sed -n 2p "$work/profile/DevToolsActivePort")"

"$render" --frames 0 --window "$work/window.ppm"
page="http://127.0.0.1:$port/"
run() { node --experimental-websocket --no-warnings "$here/$1" "$devtools" "${@:2}"; }
run web_page.mjs "$page" "$work/window.ppm" "$shots"
run web_listen.mjs "$page" "$work/click.wav" "$site/index.html" "$work/downloads"
run web_wallpaper.mjs "$page" "$shots"
run web_replay.mjs "$page" "$render" "$shots" "$work"
run web_phone.mjs "$page" "$render" "$shots" "$work"
run web_pwa.mjs "$site" "$shots" "$work/downloads"
