#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the native Windows program (scripts/build-windows.sh) and packages
# it into build-windows/: the installer modra-VERSION-setup.exe (NSIS, from
# packaging/windows/modra.nsi) and the portable modra-VERSION-windows-x64.zip.
# Both carry modra.exe, modra.scr when the build made one, and the licence as
# LICENSE.txt. Installs NSIS and zip if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows-package
scripts/build-windows.sh
build="build-windows"
version=$(sed -n 's/^#define MODRA_VERSION "\(.*\)"$/\1/p' "$build/generated/modra_version.h")
[ -n "$version" ] || { echo "no version in $build/generated/modra_version.h" >&2; exit 1; }
programs=("$build/modra.exe")
[ -f "$build/modra.scr" ] && programs+=("$build/modra.scr")
# The licence with Windows line ends, for Notepad and the installer's page.
sed 's/$/\r/' LICENSE >"$build/LICENSE.txt"

setup=$build/modra-$version-setup.exe
makensis -V2 -NOCD -DVERSION="$version" -DBUILD="$build" -DSOURCE=. -DOUTFILE="$setup" packaging/windows/modra.nsi

# The zip holds the programs, the licence and a note, flat, with the note's
# lines ended the Windows way.
zip=$build/modra-$version-windows-x64.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
sed "s/@VERSION@/$version/" packaging/windows/README.txt >"$stage/README.txt"
rm -f "$zip"
zip -q -X -j "$zip" "${programs[@]}" "$build/LICENSE.txt"
zip -q -X -j -l "$zip" "$stage/README.txt"
echo "$setup ($(stat -c %s "$setup") bytes) and $zip ($(stat -c %s "$zip") bytes) are ready"
