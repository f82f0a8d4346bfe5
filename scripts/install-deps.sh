#!/usr/bin/env bash
# Installs the Debian packages a group of commands needs, if any are missing.
# Quiet when everything is there already.
#   scripts/install-deps.sh        the build, the toy and the tests
#   scripts/install-deps.sh fuzz   the fuzz targets (clang and libFuzzer)
#   scripts/install-deps.sh web    the browser build (Emscripten), its page check (Chromium), the wallpapers' zip
#   scripts/install-deps.sh windows-package   the Windows installer (NSIS) and zip
set -euo pipefail
case "${1:-}" in
    "") packages=(g++ cmake ninja-build pkg-config libpng-dev libgtest-dev libgmock-dev libbenchmark-dev
                  libsdl2-dev zlib1g-dev libsndfile1-dev libavformat-dev libavcodec-dev libswresample-dev ffmpeg libx11-dev libxext-dev libxrandr-dev libgif-dev libwebp-dev webp xvfb xdotool openbox imagemagick x11-utils x11-xserver-utils wine64 wine
                  pulseaudio pulseaudio-utils desktop-file-utils appstream man-db dpkg-dev lintian) ;;
    fuzz) packages=(cmake ninja-build clang-16 libfuzzer-16-dev) ;;
    web) packages=(cmake ninja-build emscripten node-acorn nodejs python3 chromium zip) ;;
    windows-package) packages=(nsis zip unzip) ;;
    *) echo "usage: $0 [fuzz|web|windows-package]" >&2; exit 2 ;;
esac
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
