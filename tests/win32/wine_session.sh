# What the Wine tests share. wine_session NAME BUILD-WINDOWS SHOTS CLEAR TOOL... sets `build`, `shots` (SHOTS
# in the build, its pictures CLEAR removed) and `dir`, starts an Xvfb session, and makes a Wine prefix and home
# named NAME in the build folder: the test runs beside the others (each stops its own prefix's server), and
# its pictures, which Wine links to the home's, never reach the user's. `pictures` is that known folder,
# emptied; `work` the program's current folder, where a failed look-up would put them.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
tests_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

wine_session() {
    local name=$1 tool
    build=$(cd "$2" && pwd)
    shots=$build/$3
    for tool in "$wine" "$wineserver" Xvfb xdotool xwininfo import convert "${@:5}"; do
        command -v "$tool" >/dev/null || { echo "FAILED: $tool is not installed"; exit 1; }
    done
    mkdir -p "$shots"
    # shellcheck disable=SC2086
    rm -rf "${shots:?}"/$4
    . "$tests_dir/xvfb_session.sh"
    dir=$session_dir
    export WINEPREFIX=$build/wineprefix-$name HOME=$build/wine-$name-home WINEDEBUG=-all \
           WINEDLLOVERRIDES="mscoree,mshtml=" XDG_CONFIG_HOME=$build/wine-$name-home/.config
    unset XDG_PICTURES_DIR
    mkdir -p "$HOME/Pictures"
    trap '"$wineserver" -k 2>/dev/null; session_cleanup' EXIT  # Wine's server outlives the program
    # Made once: Wine's first start takes most of a minute. Its OpenGL renderer never shows a windowed
    # DirectDraw primary's blits on Xvfb; the GDI one copies them clipped to the view, as Windows.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "initialising the Wine prefix $WINEPREFIX"
        env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
    fi
    env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f >/dev/null 2>&1
    "$wineserver" -w
    pictures=$(readlink -f "$(find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 2 -name Pictures ! -path '*/Public/*' | head -1)")
    check "the prefix's Pictures folder is private (${pictures:-none})" \
        eval '[ -d "$pictures" ] && case $pictures/ in "$(readlink -f "$build")"/*) true ;; *) false ;; esac' ||
        { finish_checks; exit 1; }
    rm -rf "${pictures:?}"/* "$pictures"/.[!.]* 2>/dev/null
    work=$session_dir/work
    mkdir -p "$work"
}

restart_xvfb() { "$wineserver" -k 2>/dev/null; "$wineserver" -w 2>/dev/null; start_xvfb "$@"; }  # depth [size]
start_modra_exe() { # arguments
    (cd "$work" && exec "$wine" "$build/modra.exe" "$@") >"$session_dir/out" 2>"$session_dir/err" & app_pid=$!
}

# modra.exe on a fresh 24-bit screen, painted, the focus from a click on its black frame, which does nothing else.
start_focused_modra() {
    start_xvfb 24
    start_modra_exe
    open_modra 60
    wait_painted "$dir/start.png"
    click_at 5 5
    sleep 0.3
}
# Keys at the focus, as a user's come, and a while for Wine to paint them.
press() { xdotool key "$1"; sleep 0.7; }  # key name, then time for the toy to paint
listing() { ls -A "$pictures"; }
# What the toy kept, $1 in the Pictures known folder: told ($2, "saved" unless given) by the title and on
# stderr, not hidden (as its temporary file was), and nothing left in the current folder.
check_kept() {
    local file=$1 told=${2:-saved} saved attributes
    check "the title says where $file went: $(title)" eval 'title | grep -q "^Modra — $told .*\\\\$file\$"'
    saved=$(sed -n "s/^modra: $told \\(.*\\)/\\1/p" "$dir/err" | tr -d '\r' | tail -1)
    check "stderr names it (${saved:-nothing})" test "${saved##*\\}" = "$file"
    attributes=$("$wine" cmd /c attrib "$saved" 2>/dev/null | tr -d '\r')
    check "it is not hidden (attrib: ${attributes:-nothing})" \
        eval '[ -n "$attributes" ] && ! [[ ${attributes%%[A-Za-z]:\\*} =~ H ]]'
    check "nothing is left in the current folder" test -z "$(ls -A "$work")"
}
