#!/usr/bin/env bash
# The Windows packages from scripts/package-windows.sh under Wine on a private Xvfb (no window manager): a
# silent install and uninstall, the installer's first page, and the zip. Screenshots go to
# BUILD-WINDOWS/wine-screenshots/installer_*.png.
# Usage: wine_installer.sh BUILD-WINDOWS (the folder the packages are in)
set -u
windres=x86_64-w64-mingw32-windres
. "$(dirname "$0")/wine_session.sh"
wine_session installer "$1" wine-screenshots 'installer_*.png' "$windres" unzip strings
# No menu entries in the private home for the shortcut.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

version=$(sed -n 's/^#define MODRA_VERSION "\(.*\)"$/\1/p' "$build/generated/modra_version.h")
setup=$build/modra-$version-setup.exe
zip=$build/modra-$version-windows-x64.zip
# A build without the screensaver is packaged again with a copy of modra.exe in its place, for every path.
if [ ! -f "$build/modra.scr" ]; then
    echo "no modra.scr in the build: packaging a copy of modra.exe in its place"
    cp "$build/modra.exe" "$build/modra.scr"
    trap '"$wineserver" -k 2>/dev/null; session_cleanup; rm -f "$build/modra.scr"' EXIT
    "$(dirname "$0")/../../scripts/package-windows.sh" >/dev/null || { echo "FAILED: packaging"; exit 1; }
fi
check "the installer $(basename "$setup") is newer than modra.exe and modra.scr" \
    eval '[ "$setup" -nt "$build/modra.exe" ] && [ "$setup" -nt "$build/modra.scr" ]' || { finish_checks; exit 1; }
# A program's resources as windres reads them back: its version block and its icon's images.
resources() { "$windres" -J coff -i "$1" -O rc 2>/dev/null; }
icon_images() { awk '/RT_ICON/ { on = 1; next } on && /^END/ { on = 0 } on && /^  0x/'; }
echo "1 ICON \"$(cd "$(dirname "$0")/../../res/icons" && pwd)/modra.ico\"" >"$session_dir/icon.rc"
"$windres" -i "$session_dir/icon.rc" -O rc | icon_images >"$session_dir/icon.txt"
same_icon() { resources "$1" | icon_images | cmp -s - "$session_dir/icon.txt"; }
check "the installer's own version block says $version" \
    eval 'resources "$setup" | grep -q "VALUE \"ProductVersion\", \"$version\""'
check "the installer has Modra's icon" same_icon "$setup"

listing=$(unzip -Z1 "$zip" 2>&1)
check "the zip holds modra.exe, modra.scr, LICENSE.txt and README.txt (got: $(echo $listing))" \
    test "$(LC_ALL=C sort <<<"$listing" | tr '\n' ' ')" = "LICENSE.txt README.txt modra.exe modra.scr "
check "the zip's note names the version" eval 'unzip -p "$zip" README.txt | grep -q "Modra $version "'
check "the zip's LICENSE.txt is LICENSE with Windows line ends" \
    eval 'unzip -p "$zip" LICENSE.txt | cmp -s - <(sed "s/\$/\r/" "$(dirname "$0")/../../LICENSE")'

drive=$WINEPREFIX/drive_c
dir="$drive/Program Files/Modra"
saver=$drive/windows/system32/modra.scr
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Modra'
reg_value() { env -u DISPLAY "$wine" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
shortcut() { find "$drive" -name Modra.lnk -path '*/Start Menu/Programs/*'; }
# What a run that failed before the uninstall left in the prefix.
rm -rf "$dir" "$saver" "$(shortcut)"
env -u DISPLAY "$wine" reg delete "$key" /f >/dev/null 2>&1

start_xvfb 24
# The interactive installer's first page; Escape asks whether to quit, and Return says yes.
start_app "$wine" "$setup"
page=$(find_window "Modra Setup" 60)
if check "the installer shows a window titled Modra Setup" test -n "$page"; then
    eval "$(xdotool getwindowgeometry --shell "$page")"
    sleep 1
    screen_shot "$shots/installer_welcome.png" "${WIDTH}x$HEIGHT+$X+$Y"
    check "its welcome page has the left panel and white text area" eval \
        'has_colour "$shots/installer_welcome.png" "${WIDTH}x$((HEIGHT / 2))+0+0" FFFFFF &&
         has_other_colour "$shots/installer_welcome.png" "${WIDTH}x$((HEIGHT / 2))+0+0" FFFFFF'
    xdotool key --window "$page" Escape
    sleep 1
    xdotool key Return
fi
wait_app 30
rc=$?
check "Escape and Yes end the installer, cancelled (exit $rc)" test $rc -eq 1 || { kill "$app_pid"; app_pid=""; }
"$wineserver" -w
check "the cancelled installer installed nothing" eval '[ ! -e "$dir" ] && [ -z "$(reg_value DisplayName)" ]'

SECONDS=0
timeout 120 "$wine" "$setup" /S >"$session_dir/setup.out" 2>&1
rc=$?
check "a silent install ends with 0 (got $rc, ${SECONDS}s)" test $rc -eq 0
for f in modra.exe modra.scr LICENSE.txt; do
    check "Program Files\\Modra\\$f is the build's" cmp -s "$dir/$f" "$build/$f"; done
check "Program Files\\Modra holds the uninstaller too, and nothing else" \
    test "$(cd "$dir" 2>/dev/null && ls | tr '\n' ' ')" = "LICENSE.txt Uninstall.exe modra.exe modra.scr "
check "the uninstaller has Modra's icon" same_icon "$dir/Uninstall.exe"
resources "$dir/modra.exe" >"$session_dir/modra.rc"
for line in "FILEVERSION ${version//./, }, 0" "PRODUCTVERSION ${version//./, }, 0" "\"FileVersion\", \"$version\"" \
    "\"ProductVersion\", \"$version\""; do
    check "the installed modra.exe's version block has $line" grep -q "^ *\(VALUE \)\?$line\$" "$session_dir/modra.rc"
done
check "System32 holds modra.scr for Screen Saver settings" cmp -s "$saver" "$build/modra.scr"
link=$(shortcut)
check "the Start menu for everyone has Modra.lnk (${link#"$drive"/})" \
    eval '[ -f "$link" ] && case $link in */ProgramData/*) true ;; *) false ;; esac'
check "the shortcut points at the installed modra.exe" \
    eval 'strings -a -el "$link" | grep -qi "Program Files\\\\Modra\\\\modra.exe"'
declare -A want=(
    [DisplayName]=Modra [DisplayVersion]=$version [Publisher]=Modra
    [DisplayIcon]='C:\Program Files\Modra\modra.exe,0' [InstallLocation]='C:\Program Files\Modra'
    [UninstallString]='"C:\Program Files\Modra\Uninstall.exe"'
    [QuietUninstallString]='"C:\Program Files\Modra\Uninstall.exe" /S' [NoModify]=0x1 [NoRepair]=0x1)
for name in "${!want[@]}"; do
    got=$(reg_value "$name")
    check "the uninstall entry's $name is ${want[$name]} (got $got)" test "$got" = "${want[$name]}"
done
size=$(reg_value EstimatedSize)
files_kb=$(($(cat "$dir"/* | wc -c) / 1024))
check "its EstimatedSize is the folder's size in KB ($((size)) for $files_kb)" \
    test $((size)) -ge "$files_kb" -a $((size)) -le $((files_kb + 8))

# The installed program, started as the shortcut starts it.
(cd "$work" && exec "$wine" 'C:\Program Files\Modra\modra.exe') >"$session_dir/out" 2>"$session_dir/err" &
app_pid=$!
open_modra 60
wait_painted "$shots/installer_modra.png"
xdotool key --window "$win" alt+F4
check_exit "Alt+F4" 30

# The uninstaller copies itself out of the folder, starts the copy and returns at once.
timeout 60 "$wine" 'C:\Program Files\Modra\Uninstall.exe' /S >"$session_dir/uninstall.out" 2>&1
rc=$?
check "the silent uninstaller starts (exit $rc)" test $rc -eq 0
check "the folder Program Files\\Modra goes" wait_for 60 eval '[ ! -e "$dir" ]'
timeout 30 "$wineserver" -w
check "the System32 copy of modra.scr goes" test ! -e "$saver"
check "the shortcut goes" test -z "$(shortcut)"
check "the uninstall entry goes" eval '! env -u DISPLAY "$wine" reg query "$key" >/dev/null 2>&1'
finish_checks
