#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package: build/modra_VERSION_ARCH.deb, installable with
# `apt install ./build/modra_…deb`. Installs what is missing, like the others.
# The Windows installer and zip come from scripts/package-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"
cpack --config build/CPackConfig.cmake -G DEB -B build | grep -v '^CPack: -\? \?\(Install\|Create\|Run\)' || true
ls build/modra_*.deb
