# A Wine prefix and a home of their own for the Wine test named $1, kept in
# the build folder `build`, so that it runs beside the other Wine tests (each
# stops its own prefix's server) and its pictures never reach the user's:
# Wine links the prefix's Pictures to the home's when it makes the prefix.
# Sourced after xvfb_session.sh, with `wine` and `wineserver` set. Leaves
# `pictures` (the prefix's Pictures known folder as a Linux path, emptied)
# and `work` (the program's current folder, where a failed look-up of the
# known folder would put them).
private_wine_prefix() {
    export WINEPREFIX=$build/wineprefix-$1 HOME=$build/wine-$1-home WINEDEBUG=-all \
           WINEDLLOVERRIDES="mscoree,mshtml=" XDG_CONFIG_HOME=$build/wine-$1-home/.config
    unset XDG_PICTURES_DIR
    mkdir -p "$HOME/Pictures"
    trap '"$wineserver" -k 2>/dev/null; session_cleanup' EXIT
    # Made once: Wine's first start takes most of a minute. The GDI renderer,
    # as in wine_tests.sh: the OpenGL one never paints a windowed DirectDraw
    # view on Xvfb.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "initialising the Wine prefix $WINEPREFIX"
        env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
    fi
    env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f >/dev/null 2>&1
    "$wineserver" -w
    # The user's profile holds the known folder, as a folder or a link to the
    # private home's.
    pictures=$(find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 2 -name Pictures ! -path '*/Public/*' | head -1)
    pictures=$(readlink -f "$pictures")
    check "the prefix's Pictures folder is private (${pictures:-none})" \
        eval '[ -d "$pictures" ] && case $pictures/ in "$(readlink -f "$build")"/*) true ;; *) false ;; esac' ||
        { finish_checks; exit 1; }
    rm -rf "${pictures:?}"/* "$pictures"/.[!.]* 2>/dev/null
    work=$session_dir/work
    mkdir -p "$work"
}

start_modra_exe() { (cd "$work" && exec "$wine" "$build/modra.exe") >"$session_dir/out" 2>"$session_dir/err" & app_pid=$!; }
