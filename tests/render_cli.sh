#!/usr/bin/env bash
# modra-render end to end: outputs, determinism, scripts, and a clean refusal of bad input.
set -u
render=$(realpath "$1")
. "$(dirname "$0")/cli_checks.sh"
cell_at() { # row, column of a field dump: the int32 there
    od -An -t d4 -j $(( ($2 * 642 + $3) * 4 )) -N 4 "$1" | tr -d ' '
}

check "same seed, same picture and field" bash -c "
    '$render' --parameter -2000 --frames 30 --seed 77 --out '$dir/a.png' --dump-field '$dir/a.bin' &&
    '$render' --parameter -2000 --frames 30 --seed 77 --out '$dir/b.png' --dump-field '$dir/b.bin' &&
    cmp -s '$dir/a.png' '$dir/b.png' && cmp -s '$dir/a.bin' '$dir/b.bin'"
check "other seed, other sparks" bash -c "
    '$render' --parameter -2000 --frames 30 --seed 78 --dump-field '$dir/c.bin' && ! cmp -s '$dir/a.bin' '$dir/c.bin'"
check "field dump is 482 rows of 642 int32" test "$(stat -c %s "$dir/a.bin")" -eq $((482 * 642 * 4))

"$render" --frames 0 --dump-field "$dir/start.bin"
check "frames 0 keeps the start pattern" test "$(cell_at "$dir/start.bin" 1 1),$(cell_at "$dir/start.bin" 480 640),$(cell_at "$dir/start.bin" 0 5)" = "1,45056,0"

"$render" --rule wave --drop 240,320 --drop 480,640 --frames 1 --seed 1 --dump-field "$dir/drop.bin"
check "a drop in the wave rule raises its centre, the last cell too" \
    test "$(cell_at "$dir/drop.bin" 240 320)" -gt 60000 -a "$(cell_at "$dir/drop.bin" 480 640)" -gt 60000

# A script: the wave button, a left drag of drops, a right drag over both sliders, the picture and its hold.
cat >"$dir/session.txt" <<'SCRIPT'
# wave rule, then drops
click 110 548
press left 300 200
move 320 210
wait 50
move 340 220
release left 340 220
frames 10
press right 400 300
move 450 250
release right 450 250
wait 200
click 220 548
SCRIPT
sed 's/$/\r/' "$dir/session.txt" >"$dir/session-crlf.txt"
"$render" --script "$dir/session.txt" --seed 11 --frames 5 --window "$dir/s1.ppm" --dump-field "$dir/s1.bin"
"$render" --script - --seed 11 --frames 5 --window "$dir/s2.ppm" --dump-field "$dir/s2.bin" <"$dir/session.txt"
"$render" --script "$dir/session-crlf.txt" --seed 11 --frames 5 --window "$dir/s3.ppm" --dump-field "$dir/s3.bin"
check "a script replays exactly, from a file, from stdin and with CRLF endings" bash -c "
    cmp -s '$dir/s1.ppm' '$dir/s2.ppm' && cmp -s '$dir/s1.bin' '$dir/s2.bin' &&
    cmp -s '$dir/s1.ppm' '$dir/s3.ppm' && cmp -s '$dir/s1.bin' '$dir/s3.bin'"
check "the title picture is held in the field" test "$(cell_at "$dir/s1.bin" 480 1)" -eq 0
printf 'wait 5100\nframes 30\n' >>"$dir/session.txt"
"$render" --script "$dir/session.txt" --seed 11 --dump-field "$dir/s4.bin"
check "the hold ends and the field moves on" bash -c "! cmp -s '$dir/s1.bin' '$dir/s4.bin'"
"$render" --size 500,400 --frames 0 --window "$dir/small.ppm"
check "--size sets the window" bash -c "head -c 15 '$dir/small.ppm' | grep -q '500 400'"

# Hostile input, refused in one plain line after the program's name. Beyond these, values out of range are
# fuzz_options' and fuzz_script's, whose corpora hold those refused here before.
refuse() { local what=$1; shift; refused "refused: $what" '^modra-render: ' "$render" "$@"; }

for bad in "--drop 481,320" "--drop 0,320" "--drop 240,641" "--drop 240,0" "--palette 100" "--palette -1" \
    "--frames 12abc" "--parameter 1.5" "--size 500,40x" "--seed +5"; do
    # shellcheck disable=SC2086
    refuse "outside the field or the bank, or no whole number: $bad" $bad --out x.png
done
for line in 'click 10 32768' 'click 10 2x' 'frames 1e3'; do
    printf '%s\n' "$line" >"$dir/far-script"
    refuse "script: $line" --script "$dir/far-script" --out x.png
done
refuse "stray argument" stray --out x.png
refuse "option without its value" --out x.png --frames
refuse "a flag with a value" --check=yes
refuse "no arguments at all"
refuse "unknown rule" --rule fire --out x.png
refuse "picture in a missing folder" --out missing/x.png
refuse "field file in a missing folder after a good picture" --out x.png --dump-field missing/f.bin
refuse "a folder as the picture" --out . --frames 1
mkdir "$dir/folder.png"
refuse "a folder named like a picture" --out "$dir/folder.png"
refuse "a folder as the field file" --out x.png --dump-field "$dir"
refuse "a full disk" --out x.png --dump-field /dev/full
refuse "a full disk, picture" --window /dev/full
check "the full device is still a device" test -c /dev/full
refuse "missing script" --script nowhere.txt --out x.png
refuse "a folder as the script" --script "$dir" --out x.png
printf 'press middle 1 2\n' >"$dir/bad-script"
refuse "script: unknown button" --script "$dir/bad-script" --out x.png
head -c 1000000 /dev/zero | tr '\0' 'x' >"$dir/long-line"
refuse "script: a 1 MB line" --script "$dir/long-line" --out x.png
printf 'frames 1\r\nwait x\r\n' >"$dir/crlf-bad"
refuse "script: a bad CRLF line" --script "$dir/crlf-bad" --out x.png
check "a bad script line is named by its number" grep -q 'line 2' "$dir/err"

finish_checks
