#!/usr/bin/env bash
# modra-render end to end: outputs, determinism, and clean failures.
set -u
render=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
check() { # description, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
fails_cleanly() { # runs modra-render, expecting exit 2, one stderr line and no file left in $dir/out
    rm -rf "$dir/out"; mkdir "$dir/out"
    "$render" "$@" 2>"$dir/err" >/dev/null
    local rc=$?
    [ $rc -eq 2 ] && [ "$(wc -l <"$dir/err")" -eq 1 ] && [ -z "$(ls -A "$dir/out")" ]
}
cell_at() { # row, column of a field dump: the int32 there
    od -An -t d4 -j $(( ($2 * 642 + $3) * 4 )) -N 4 "$1" | tr -d ' '
}

check "help" "$render" --help
check "same seed, same picture and field" bash -c "
    '$render' --parameter -2000 --frames 30 --seed 77 --out '$dir/a.png' --dump-field '$dir/a.bin' &&
    '$render' --parameter -2000 --frames 30 --seed 77 --out '$dir/b.png' --dump-field '$dir/b.bin' &&
    cmp -s '$dir/a.png' '$dir/b.png' && cmp -s '$dir/a.bin' '$dir/b.bin'"
check "other seed, other sparks" bash -c "
    '$render' --parameter -2000 --frames 30 --seed 78 --dump-field '$dir/c.bin' && ! cmp -s '$dir/a.bin' '$dir/c.bin'"
check "field dump is 482 rows of 642 int32" test "$(stat -c %s "$dir/a.bin")" -eq $((482 * 642 * 4))
check "PNG signature" bash -c "head -c 8 '$dir/a.png' | od -An -c | grep -q 'P   N   G'"

"$render" --frames 0 --out "$dir/start.ppm" --dump-field "$dir/start.bin"
check "frames 0 keeps the start pattern" test "$(cell_at "$dir/start.bin" 1 1),$(cell_at "$dir/start.bin" 480 640),$(cell_at "$dir/start.bin" 0 5)" = "1,45056,0"
check "PPM header and size" bash -c "head -c 15 '$dir/start.ppm' | grep -q 'P6' && test \$(stat -c %s '$dir/start.ppm') -eq \$((15 + 640 * 480 * 3))"

"$render" --rule wave --drop 240,320 --frames 1 --seed 1 --dump-field "$dir/drop.bin"
check "a drop in the wave rule raises its centre" test "$(cell_at "$dir/drop.bin" 240 320)" -gt 60000

check "unknown option" fails_cleanly --bogus 1 --out "$dir/out/x.png"
check "parameter out of range" fails_cleanly --parameter 2001 --out "$dir/out/x.png"
check "palette outside the bank" fails_cleanly --palette 100 --out "$dir/out/x.png" --dump-field "$dir/out/f.bin"
check "unwritable picture" fails_cleanly --out "$dir/missing/x.png"
check "unwritable field after a good picture path" fails_cleanly --out "$dir/out/x.png" --dump-field "$dir/missing/f.bin"

# A session played from a script: the wave button, a left drag of drops, a
# right drag over both sliders, the picture and its hold.
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
"$render" --script "$dir/session.txt" --seed 11 --frames 5 --window "$dir/s1.ppm" --dump-field "$dir/s1.bin"
"$render" --script - --seed 11 --frames 5 --window "$dir/s2.ppm" --dump-field "$dir/s2.bin" <"$dir/session.txt"
check "a script replays exactly" bash -c "cmp -s '$dir/s1.ppm' '$dir/s2.ppm' && cmp -s '$dir/s1.bin' '$dir/s2.bin'"
check "the window is 710 x 580" bash -c "head -c 15 '$dir/s1.ppm' | grep -q '710 580'"
check "the title picture is held in the field" test "$(cell_at "$dir/s1.bin" 480 1)" -eq 0
printf 'wait 5100\nframes 30\n' >>"$dir/session.txt"
"$render" --script "$dir/session.txt" --seed 11 --dump-field "$dir/s3.bin"
check "the hold ends and the field moves on" bash -c "! cmp -s '$dir/s1.bin' '$dir/s3.bin'"
"$render" --size 500,400 --frames 0 --window "$dir/small.ppm"
check "--size sets the window" bash -c "head -c 15 '$dir/small.ppm' | grep -q '500 400'"
printf 'click 10 10\nwiggle 3 4\n' >"$dir/bad.txt"
check "a bad script line is named" bash -c "'$render' --script '$dir/bad.txt' --out '$dir/out/x.png' 2>&1 >/dev/null | grep -q 'line 2'; test \${PIPESTATUS[0]} -eq 2"

echo "$((22 - failures)) passed, $failures failed"
[ $failures -eq 0 ]
