#!/usr/bin/env bash
# The page in headless Chromium (web_page.mjs drives it): it loads with no
# console error or exception, its canvas is the whole window at the zoom that
# fits a 1000 x 800 page (1), and every pixel outside the view is the window
# modra-render paints at start; it keeps sixty frames a second; the icon bar,
# drops, Space and a right drag work at zoom 1, at zoom 2 and at two device
# pixels per CSS pixel; ?embed shows only the view. Prints what it measured.
# Then web_listen.mjs: listening, with a click track for the fake devices.
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

node --experimental-websocket --no-warnings "$here/web_page.mjs" "$devtools" "http://127.0.0.1:$port/" "$work/page.json" "$shots"
"$render" --frames 0 --window "$work/window.ppm"

/usr/bin/python3 - "$work/page.json" "$work/window.ppm" <<'PY'
import json, sys
result = json.load(open(sys.argv[1]))
page = result["figures"]
data = open(sys.argv[2], "rb").read()
fields = data.split(maxsplit=4)
assert fields[0] == b"P6" and fields[3] == b"255", "modra-render wrote no binary PPM"
width, height, pixels = int(fields[1]), int(fields[2]), fields[4]
faults = list(result["faults"])
if page["title"] != "Modra":
    faults.append("the page's title is %r" % page["title"])
if page["zoom1"] != 1:
    faults.append("a 1000 x 800 page shows the window at zoom %s, not 1" % page["zoom1"])
if (page["width"], page["height"]) != (width, height):
    faults.append("the canvas is %d x %d, the window %d x %d" % (page["width"], page["height"], width, height))
else:
    view = (20, 20, 660, 500)  # app/layout.h
    wrong, first = 0, None
    for y in range(height):
        for x in range(width):
            if view[0] <= x < view[2] and view[1] <= y < view[3]:
                continue
            i = y * width + x
            want = "%02x%02x%02x" % tuple(pixels[3 * i:3 * i + 3])
            if page["window"][6 * i:6 * i + 6] != want:
                wrong += 1
                first = first or (x, y, page["window"][6 * i:6 * i + 6], want)
    if wrong:
        faults.append("%d pixels outside the view differ; the first at %s: page %s, modra-render %s"
                      % ((wrong, first[:2]) + first[2:]))
for name in ("first_frame_ms", "page_loaded_ms", "frames_per_second", "p99_interval_ms",
             "main_thread_ms_per_frame", "script_ms_per_frame"):
    print("web_page: %s %s" % (name, page.get(name)))
for f in faults:
    print("web_page: " + f)
print("web_page: %s" % ("FAILED" if faults else "the page loads cleanly, paints the window as modra-render does, keeps time and plays"))
sys.exit(1 if faults else 0)
PY
node --experimental-websocket --no-warnings "$here/web_listen.mjs" "$devtools" "http://127.0.0.1:$port/" "$work/click.wav" "$site/index.html"
