#!/usr/bin/env bash
# The page from SITE_DIR in headless Chromium, which web_page.mjs drives and checks against MODRA_RENDER's
# window; then web_listen.mjs, listening, with a click track for the fake devices; then web_wallpaper.mjs,
# the page unseen, still and as a wallpaper; then web_replay.mjs, a replay's link, against MODRA_RENDER's;
# then web_phone.mjs, the page on a phone, upright and on its side; then web_pwa.mjs, the page as an app,
# offline and with its menu on a phone, from a server of its own.
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
node --experimental-websocket --no-warnings "$here/web_page.mjs" "$devtools" "http://127.0.0.1:$port/" "$work/window.ppm" "$shots"
node --experimental-websocket --no-warnings "$here/web_listen.mjs" "$devtools" "http://127.0.0.1:$port/" "$work/click.wav" "$site/index.html" "$work/downloads"
node --experimental-websocket --no-warnings "$here/web_wallpaper.mjs" "$devtools" "http://127.0.0.1:$port/" "$shots"
node --experimental-websocket --no-warnings "$here/web_replay.mjs" "$devtools" "http://127.0.0.1:$port/" "$render" "$shots" "$work"
node --experimental-websocket --no-warnings "$here/web_phone.mjs" "$devtools" "http://127.0.0.1:$port/" "$render" "$shots" "$work"
node --experimental-websocket --no-warnings "$here/web_pwa.mjs" "$devtools" "$site" "$shots" "$work/downloads"
