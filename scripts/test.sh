#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in an optimised
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer; then
# the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
# The tests that drive real windows on Xvfb and Wine wait on a display server
# they share the machine with; one that fails is run once more before it counts.
retry="--repeat until-pass:2"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" $retry

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMODRA_SANITIZE=ON -DMODRA_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" $retry

# Every reader of bytes from outside the program, fuzzed for half a minute.
scripts/fuzz.sh 30

# The native Windows build (mingw-w64) with its installer and zip, and their
# tests under Wine on Xvfb, the screensaver's among them.
scripts/package-windows.sh
wine_tests() { tests/win32/wine_tests.sh build-windows build/modra-render build/tests/x11_close; }
wine_tests || { echo "Wine tests failed; running them once more"; wine_tests; }
wine_keys() { tests/win32/wine_keys.sh build-windows build/modra-render build/tests/x11_close; }
wine_keys || { echo "Wine key tests failed; running them once more"; wine_keys; }
wine_record() { tests/win32/wine_record.sh build-windows build/modra-render build/tests/x11_close; }
wine_record || { echo "Wine recording tests failed; running them once more"; wine_record; }
wine_installer() { tests/win32/wine_installer.sh build-windows; }
wine_installer || { echo "Wine installer tests failed; running them once more"; wine_installer; }
wine_saver() { tests/win32/wine_saver.sh build-windows; }
wine_saver || { echo "Wine screensaver tests failed; running them once more"; wine_saver; }
wine_listen() { tests/win32/wine_listen.sh build-windows build/tests/x11_close; }
wine_listen || { echo "Wine listening tests failed; running them once more"; wine_listen; }

# The browser build (Emscripten): its rule loops against the portable ones
# under Node, and its page in headless Chromium.
scripts/build-web.sh rule_paths_tests
# Debian's Emscripten fetches its .wasm with fetch() where there is one,
# which Node's cannot do for a file.
node --no-experimental-fetch build-web/rule_paths_tests.js
web_page() { tests/web/web_page.sh build-web/site build/modra-render; }
web_page || { echo "The page test failed; running it once more"; web_page; }

# The AArch64 build: its NEON rule loops against the portable ones under
# qemu-user (an emulator: correctness only, no speed), optimised and under
# the sanitizers. The leak checker cannot stop threads under qemu.
scripts/build-arm.sh
qemu-aarch64 build-arm/rule_paths_tests
scripts/build-arm.sh sanitize
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    qemu-aarch64 -L /usr/aarch64-linux-gnu build-arm-sanitize/rule_paths_tests
