#!/usr/bin/env bash
# The toy's keys, zoom, full screen and S through modra-render, against what the toy gives without them.
set -u
render=$(realpath "$1")
. "$(dirname "$0")/cli_checks.sh"
# run NAME 'SCRIPT LINES' [OPTION...]: the window, the picture and the field, seeded.
run() {
    local name=$1 script=$2; shift 2
    printf "$script\n" >"$dir/$name.txt"
    "$render" --seed 5 --script "$dir/$name.txt" --window "$dir/$name.png" --out "$dir/$name.view.png" \
        --dump-field "$dir/$name.bin" "$@" 2>>"$dir/stderr"
}
same() { cmp -s "$dir/$1.png" "$dir/$2.png" && cmp -s "$dir/$1.bin" "$dir/$2.bin"; }
no_difference() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

# key | script with the key | script with the control's own clicks (client pixels) [| options]
# Slider rows pause first, so the mouse's waits for its repeat timer change nothing else.
while IFS='|' read -r what with_key with_mouse options; do
    [ -z "$what" ] && continue
    run key "$with_key" $options && run mouse "$with_mouse" $options
    check "$what" same key mouse
done <<'TABLE'
W is the wave button|key w\nframes 20|click 115 548\nframes 20
D is the diffusion button|key w\nkey d\nframes 20|click 115 548\nclick 62 548\nframes 20
Space is the pause button|frames 5\nkey space\nframes 20|frames 5\nclick 168 548\nframes 20
T is the picture button|key t\nframes 20|click 220 548\nframes 20
Space in the picture hold does nothing|key t\nkey space\nframes 20|key t\nframes 20
Up is the parameter's increase arrow|key space\nkey up\nframes 5|key space\nclick 678 32\nframes 5
Down held: a step per repeat, as the arrow's timer|key space\nkeydown down\nkeydown down\nkeydown down\nkeyup down\nframes 5|key space\npress left 678 487\nwait 650\nrelease left 678 487\nframes 5
Left held over three repeats previews|key space\nframes 40\nkeydown left\nkeydown left\nkeydown left\nkeydown left\nframes 1|key space\nframes 40\npress left 32 518\nwait 750\nframes 1| --palette 10
Left let go sets the target palette|key space\nkeydown left\nkeydown left\nkeydown left\nkeydown left\nkeyup left\nframes 40|key space\npress left 32 518\nwait 750\nrelease left 32 518\nframes 40| --palette 10
Right held previews the next palettes|key space\nkeydown right\nkeydown right\nframes 1|key space\npress left 647 518\nwait 550\nframes 1
Ctrl+Minus and Ctrl+0 go back to 1|key ctrl+plus\nkey ctrl+plus\nkey ctrl+minus\nkey ctrl+0\nframes 10|frames 10
F11 and Esc: full screen and back|key f11\nframes 5\nkey escape\nframes 5|frames 10
Alt+Enter twice: full screen and back|key alt+enter\nframes 5\nkey alt+enter\nframes 5|frames 10
TABLE
run key 'key ctrl+plus\nframes 10' && run mouse 'frames 10' --zoom 2
check "Ctrl+Plus is zoom 2" same key mouse

# Drops, too, land on the cell under the pointer at any zoom.
for z in 2 3; do
    run "z$z" 'press left 300 200\nmove 900 600\nframes 5' --zoom "$z"
    run z1 "press left $((300 / z)) $((200 / z))\nmove $((900 / z)) $((600 / z))\nframes 5"
    convert "$dir/z1.png" -sample "$((z * 100))%" "$dir/z1x$z.png"
    check "the zoom $z window is the zoom 1 window, each pixel $z x $z" no_difference "$dir/z$z.png" "$dir/z1x$z.png"
done

# screen W,H | zoom it should pick | view's left, top on the screen
while read -r screen z left top; do
    run full 'key f11\nframes 3' --screen "$screen"
    check "full screen on $screen is $screen" test "$(identify -format %w,%h "$dir/full.png")" = "$screen"
    convert "$dir/full.png" -crop "$((640 * z))x$((480 * z))+$left+$top" +repage "$dir/shown.png"
    convert "$dir/full.view.png" -sample "$((z * 100))%" "$dir/expected.png"
    check "full screen on $screen: zoom $z, the view centred at $left,$top" no_difference "$dir/shown.png" "$dir/expected.png"
done <<'SCREENS'
1920,1080 1 625 270
3840,2160 3 915 270
SCREENS

mkdir -p "$dir/home/Pictures" "$dir/cwd"
keep() { (cd "$dir/cwd" && HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" "$render" --seed 5 \
    --script <(printf 'frames 12\nkey s\nkey s\n') --out "$dir/kept.view.png" 2>"$dir/kept.err"); }
keep
kept=$(ls "$dir/home/Pictures")
check "S keeps two pictures, named by the time, in ~/Pictures ($(echo $kept))" \
    bash -c "[ \$(ls '$dir/home/Pictures' | grep -cE '^modra-[0-9]{8}-[0-9]{6}(-2)?\.png$') = 2 ]"
check "each is the view, byte for byte" bash -c "for f in '$dir/home/Pictures'/*; do cmp -s \"\$f\" '$dir/kept.view.png' || exit 1; done"
check "each is told on stderr" test "$(grep -c '^modra: saved ' "$dir/kept.err")" = 2
rm -rf "$dir/home/Pictures"
keep
check "without ~/Pictures, the current folder" test "$(ls "$dir/cwd" | grep -cE '^modra-.*\.png$')" = 2
check "nothing else is left" test "$(ls -A "$dir/cwd" | wc -l)" = 2
if command -v xdg-user-dir >/dev/null; then  # the desktop's own choice, where it can tell it
    mkdir -p "$dir/home/.config" "$dir/home/Shots"
    echo 'XDG_PICTURES_DIR="$HOME/Shots"' >"$dir/home/.config/user-dirs.dirs"
    keep
    check "the folder user-dirs.dirs names" test "$(ls "$dir/home/Shots" | grep -c '^modra-')" = 2
fi

finish_checks
