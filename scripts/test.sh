#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in an optimised
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMODRA_SANITIZE=ON -DMODRA_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

# The native Windows build (mingw-w64), and its tests under Wine on Xvfb.
scripts/build-windows.sh
tests/win32/wine_tests.sh build-windows build/modra-render build/tests/x11_close
