#!/usr/bin/env bash
# Cross-builds the rule loops for 64-bit ARM into build-arm/: the comparison
# of the NEON set against the portable one, build-arm/rule_paths_tests
# (statically linked; run it with qemu-aarch64). With `sanitize`, the same
# under AddressSanitizer and UndefinedBehaviorSanitizer into
# build-arm-sanitize/ (linked to the cross packages' shared libraries; run it
# with qemu-aarch64 -L /usr/aarch64-linux-gnu). Installs the cross compiler
# and qemu-user if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v aarch64-linux-gnu-g++ >/dev/null || ! command -v qemu-aarch64 >/dev/null; then
    echo "Installing: g++-aarch64-linux-gnu qemu-user"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq g++-aarch64-linux-gnu qemu-user >/dev/null
fi
case "${1:-}" in
    "") dir=build-arm; options=(-DCMAKE_BUILD_TYPE=Release) ;;
    sanitize) dir=build-arm-sanitize; options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DMODRA_SANITIZE=ON) ;;
    *) echo "usage: scripts/build-arm.sh [sanitize]" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja "${options[@]}" \
      -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DMODRA_BENCH=OFF >/dev/null
cmake --build "$dir" --target rule_paths_tests -j "$(nproc)"
