#!/usr/bin/env bash
# Builds the toy for the browser with Emscripten and writes a static site to
# build-web/site/: index.html, modra.js, modra.wasm and the icon, nothing fetched from
# elsewhere. Serve it with scripts/serve-web.sh. Further targets named on the
# command line (rule_paths_tests: the comparison of the rule loops, for Node)
# are built too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
# Debian's emcc finds acorn (node-acorn) only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [ ! -f build-web/build.ninja ]; then
    emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=OFF >/dev/null
fi
cmake --build build-web --target modra "$@" -j2
site=build-web/site
rm -rf "$site"
mkdir -p "$site"
cp web/index.html build-web/modra.js build-web/modra.wasm "$site"/
cp res/icons/modra.ico "$site"/favicon.ico
echo "build-web/site/ is ready: scripts/serve-web.sh serves it"
