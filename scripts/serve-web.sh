#!/usr/bin/env bash
# Serves build-web/site/ on http://127.0.0.1:PORT/ (8000 unless given) until
# stopped; scripts/build-web.sh makes it.
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8000}
[ -f build-web/site/index.html ] || { echo "no build-web/site/: run scripts/build-web.sh first" >&2; exit 2; }
echo "Modra at http://127.0.0.1:$port/ (Ctrl-C stops it)"
exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
