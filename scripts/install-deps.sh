#!/usr/bin/env bash
# Installs the Debian packages the build, the toy and the tests need, if any
# are missing. Quiet when everything is there already.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libpng-dev libgtest-dev libgmock-dev libbenchmark-dev
          libsdl2-dev libx11-dev xvfb xdotool imagemagick x11-utils wine64 wine)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
