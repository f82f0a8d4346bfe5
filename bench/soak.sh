#!/usr/bin/env bash
# The long soak: a million frames of a random session, once starting in each
# rule, every batch of frames checked (tests/soak.sh), with the time it took.
# Usage: bench/soak.sh [FRAMES] [SEED]   (default 1000000 frames, seed 1)
set -euo pipefail
frames=${1:-1000000} seed=${2:-1}
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target soak-script modra-render >/dev/null
status=0
for rule in diffusion wave; do
    start=$(date +%s)
    bash tests/soak.sh build/soak-script build/modra-render "$frames" "$seed" "$rule" || status=1
    echo "  ($(( $(date +%s) - start )) s)"
done
exit $status
