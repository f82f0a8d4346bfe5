#!/usr/bin/env bash
# Installs what is missing, builds, and starts Modra.
# Until the window arrives, the toy is shown as stills drawn by modra-render.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target modra-render
mkdir -p pictures
build/modra-render --rule wave --drop 240,320 --drop 120,160 --frames 240 --palette 3 --out pictures/ripples.png
build/modra-render --rule diffusion --parameter -2000 --frames 200 --out pictures/sparks.png
build/modra-render --rule diffusion --parameter 1500 --frames 300 --palette 1 --out pictures/plasma.png
echo "Modra drew three pictures: $(pwd)/pictures/ripples.png, sparks.png and plasma.png"
echo "More with: build/modra-render --help"
