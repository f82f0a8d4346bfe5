#!/usr/bin/env bash
# Builds the toy for the browser with Emscripten and writes a static site to
# build-web/site/: index.html, modra.js, modra.wasm and the icon, nothing fetched from
# elsewhere; and to install it as an app that starts offline, its manifest and icons, and
# the service worker sw.js. Serve it with scripts/serve-web.sh. Further targets named on the
# command line (rule_paths_tests: the comparison of the rule loops, for Node)
# are built too.
# With a Linux build of modra-render (build/modra-render, or MODRA_RENDER), it
# also packs the site as wallpapers in build-web/wallpapers/: lively/ (and
# modra-lively.zip, which Lively imports) and wallpaper-engine/, each with its
# host's files and previews of attract mode that modra-render draws.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
# Debian's emcc finds acorn (node-acorn) only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [ ! -f build-web/build.ninja ]; then
    emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=OFF >/dev/null
fi
cmake --build build-web --target modra "$@" -j2
site=build-web/site
rm -rf "$site"
mkdir -p "$site"
cp web/index.html web/handheld.js web/manifest.webmanifest build-web/modra.js build-web/modra.wasm "$site"/
cp res/icons/modra.ico "$site"/favicon.ico
for size in 192 512; do
    cp res/icons/app_$size.png "$site"/icon-$size.png
    cp res/icons/app_maskable_$size.png "$site"/icon-maskable-$size.png
done
# The worker keeps every other file of the site, under a hash of them all: a changed site is a
# changed worker, which replaces the one a visitor has and what it kept.
files=$(cd "$site" && ls)
hash=$(cd "$site" && sha256sum $files | sha256sum | cut -c1-16)
sed -e "s/\"@SITE_FILES@\"/$(printf '"%s", ' $files | sed 's/, $//')/" -e "s/@SITE_HASH@/$hash/" web/sw.js >"$site"/sw.js
echo "build-web/site/ is ready: scripts/serve-web.sh serves it"

render=${MODRA_RENDER:-build/modra-render}
if [ ! -x "$render" ]; then
    echo "no $render, so no wallpapers (cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build)"
    exit 0
fi
wallpapers=build-web/wallpapers
rm -rf "$wallpapers"
mkdir -p "$wallpapers"
# Ten seconds into attract mode, when the start pattern has broken up; four seconds of it.
"$render" --attract --seed 7 --frames 840 --record-from 600 --gif "$wallpapers/attract.gif" --out "$wallpapers/attract.png"
# A GIF of it cut to SIZE (W:H) from the middle and scaled to W:H, at 15 frames a second in 96 colours.
preview() {
    ffmpeg -loglevel error -y -i "$wallpapers/attract.gif" \
        -vf "crop=$1,scale=$2:flags=area,fps=15,split[a][b];[a]palettegen=max_colors=96[p];[b][p]paletteuse=dither=none" "$3"
}
for host in lively wallpaper-engine; do
    mkdir "$wallpapers/$host"
    cp "$site"/* web/"$host"/*.json "$wallpapers/$host"/
    # A wallpaper is no app to install or keep offline: no worker, no manifest and its icons.
    rm "$wallpapers/$host"/{sw.js,manifest.webmanifest,icon-*.png}
    # The page knows its host by this mark: only the picture, playing by itself.
    sed -i -e "s/<html lang=\"en\">/<html lang=\"en\" data-wallpaper=\"$host\">/" \
        -e '/rel="manifest"/d' -e '/rel="apple-touch-icon"/d' "$wallpapers/$host/index.html"
    grep -q "data-wallpaper=\"$host\"" "$wallpapers/$host/index.html"
done
# Lively's library shows 16:9 tiles; Wallpaper Engine's square ones.
ffmpeg -loglevel error -y -i "$wallpapers/attract.png" -vf "crop=640:360" -q:v 3 "$wallpapers/lively/lively_t.jpg"
preview 640:360 384:216 "$wallpapers/lively/lively_p.gif"
preview 480:480 256:256 "$wallpapers/wallpaper-engine/preview.gif"
rm "$wallpapers/attract.gif" "$wallpapers/attract.png"
(cd "$wallpapers/lively" && zip -qr ../modra-lively.zip .)
echo "$wallpapers/ is ready: lively/ (and modra-lively.zip) and wallpaper-engine/"
