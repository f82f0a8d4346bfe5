#!/usr/bin/env bash
# Cross-builds the native Windows program with mingw-w64 into build-windows/:
# build-windows/modra.exe and the screensaver modra.scr (64-bit, statically
# linked), the preview host the screensaver test uses, and the Windows unit
# tests, build-windows/modra_win32_tests.exe, rule_paths_tests.exe and
# mix_format_test.exe.
# Installs mingw-w64 and its zlib if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || ! command -v x86_64-w64-mingw32-windres >/dev/null ||
   ! dpkg-query -W -f='${Status}' libz-mingw-w64-dev 2>/dev/null | grep -q "install ok installed"; then
    echo "Installing: mingw-w64, zlib for it"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq g++-mingw-w64-x86-64-posix libz-mingw-w64-dev >/dev/null
fi
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DMODRA_BENCH=OFF >/dev/null
cmake --build build-windows -j "$(nproc)"
