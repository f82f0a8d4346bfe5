#!/usr/bin/env bash
# Installs what is missing, builds, and starts Modra.
# Without a display to open a window on, it draws the toy as stills instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target modra modra-render

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/modra
fi

echo "No display to open a window on; drawing Modra as stills with modra-render instead."
mkdir -p pictures
# A drag of drops across the water, as a left drag in the view would make.
drops=()
for i in $(seq 0 12); do drops+=(--drop "$((200 + 5 * i)),$((150 + 25 * i))"); done
build/modra-render --rule wave "${drops[@]}" --drop 380,500 --frames 100 --palette 41 --window pictures/ripples.png
build/modra-render --rule diffusion --parameter -2000 --frames 200 --window pictures/sparks.png
build/modra-render --rule diffusion --parameter 1500 --frames 300 --palette 1 --window pictures/plasma.png
echo "Modra drew three pictures: $(pwd)/pictures/ripples.png, sparks.png and plasma.png"
echo "More with: build/modra-render --help"
