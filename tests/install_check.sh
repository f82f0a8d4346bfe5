#!/usr/bin/env bash
# What `cmake --install` puts in place, validated as the desktop would read it; with --deb, the Debian
# package too, and the same checks on what it unpacks.
# Usage: install_check.sh BUILD VERSION [--deb]
set -u
build=$(realpath "$1")
version=$2
deb=${3:-}
. "$(dirname "$0")/cli_checks.sh"
id=org.modra.Modra

quietly() { # a validator: its output only when it complains
    "$@" >"$dir/said.txt" 2>&1 && [ ! -s "$dir/said.txt" -o "$1" = appstreamcli ] || { sed 's/^/  /' "$dir/said.txt"; return 1; }
}
lint() { # lintian: its errors fail, and what it says is shown
    lintian "$1" >"$dir/lintian.txt" 2>&1
    local rc=$?
    grep -v '^running with root' "$dir/lintian.txt" | sed 's/^/  /'
    [ $rc -eq 0 ] && ! grep -q '^E:' "$dir/lintian.txt"
}

check_tree() { # root, what it is
    local root=$1 what=$2
    check "$what: the programs" test -x "$root/bin/modra" -a -x "$root/bin/modra-render" -a -x "$root/bin/modra-saver"
    # xscreensaver-settings finds a hack's entry by the program's name.
    check "$what: modra-saver's xscreensaver entry, named for it" \
        grep -q '<screensaver name="modra-saver"' "$root/share/xscreensaver/config/modra-saver.xml"
    check "$what: the desktop entry is valid" quietly desktop-file-validate "$root/share/applications/$id.desktop"
    check "$what: the metadata is valid" quietly appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml"
    check "$what: the metadata's release is $version" \
        grep -q "<release version=\"$version\"" "$root/share/metainfo/$id.metainfo.xml"
    local size
    for size in 16 22 24 32 48 64 128 256; do
        check "$what: the ${size}x$size icon" test "$(identify -format %wx%h \
            "$root/share/icons/hicolor/${size}x$size/apps/$id.png" 2>/dev/null)" = "${size}x$size"
    done
    check "$what: the scalable icon" grep -q "<svg" "$root/share/icons/hicolor/scalable/apps/$id.svg"
    local page
    for page in modra modra-render modra-saver; do
        local file=$root/share/man/man1/$page.1.gz
        LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" >"$dir/$page.txt" 2>"$dir/$page.warnings"
        check "$what: $page(1) renders without warnings" test $? -eq 0 -a ! -s "$dir/$page.warnings"
        check "$what: $page(1) is of version $version" zgrep -q "Modra $version" "$file"
    done
    # A new version needs its entry in packaging/linux/changelog.
    zcat "$root/share/doc/modra/changelog.gz" >"$dir/changelog" 2>/dev/null
    check "$what: the changelog's latest entry is $version" \
        test "$(dpkg-parsechangelog -l "$dir/changelog" -S Version 2>/dev/null)" = "$version"
    local option missing=""
    for option in $("$root/bin/modra-render" --help | grep -o -- '--[a-z-]*' | sort -u); do
        grep -q -- "$option" "$dir/modra-render.txt" || missing+=" $option"
    done
    check "$what: modra-render(1) has every option of --help${missing:+ (not:$missing)}" test -z "$missing"
    check "$what: modra-render --version" test "$("$root/bin/modra-render" --version)" = "modra-render $version"
}

cmake --install "$build" --prefix "$dir/prefix" >/dev/null
check_tree "$dir/prefix" installed

if [ "$deb" = --deb ]; then
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$dir/package" >"$dir/cpack.log" 2>&1
    file=$dir/package/modra_${version}_$(dpkg --print-architecture).deb
    check "the package is built ($(basename "$file"))" test -f "$file"
    field() { dpkg-deb -f "$file" "$1"; }
    check "Package: modra, Version: $version" test "$(field Package) $(field Version)" = "modra $version"
    check "Depends computed from the programs ($(field Depends | cut -c1-60)…)" \
        bash -c "dpkg-deb -f '$file' Depends | grep -q libsdl2 && dpkg-deb -f '$file' Depends | grep -q libc6"
    check "Section x11" test "$(field Section)" = x11
    check "lintian reports no error" lint "$file"
    # Lintian errs on a missing copyright file; check_tree reads the pages and the changelog unpacked.
    dpkg-deb -x "$file" "$dir/root"
    check "everything under /usr" test "$(ls "$dir/root")" = usr
    check_tree "$dir/root/usr" packaged
fi
finish_checks
