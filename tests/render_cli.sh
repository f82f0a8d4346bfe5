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

echo "$((15 - failures)) passed, $failures failed"
[ $failures -eq 0 ]
