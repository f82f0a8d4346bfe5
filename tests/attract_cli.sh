#!/usr/bin/env bash
# modra-render --attract, the toy playing itself on the virtual clock, and A in a script.
set -u
render=$(realpath "$1")
. "$(dirname "$0")/cli_checks.sh"
run() { # name, then options
    local name=$1; shift
    "$render" --attract --frames 900 --window "$dir/$name.png" --dump-field "$dir/$name.bin" "$@"
}
run a --seed 9 && run b --seed 9 && run c --seed 10
check "same seed, same window and field" bash -c "cmp -s '$dir/a.png' '$dir/b.png' && cmp -s '$dir/a.bin' '$dir/b.bin'"
check "other seed, other field" bash -c "! cmp -s '$dir/a.bin' '$dir/c.bin'"
"$render" --frames 900 --seed 9 --dump-field "$dir/still.bin"
check "without it the toy does not play itself" bash -c "! cmp -s '$dir/a.bin' '$dir/still.bin'"

# Five minutes: both rules get frames and the picture's hold pauses, every check holding.
"$render" --attract --seed 3 --check --frames 18000 >"$dir/check.txt" 2>&1
check "five minutes hold every check" grep -q "all held" "$dir/check.txt"
check "both rules and the picture's hold" grep -Eq "wave [1-9][0-9]*, paused [1-9]" "$dir/check.txt"

"$render" --attract=1 --frames 1 2>"$dir/value.txt"
check "--attract=1 is refused with 2 and one line" test $? -eq 2 -a "$(wc -l <"$dir/value.txt")" -eq 1

printf 'key a\nframes 600\n' >"$dir/key.txt"
printf 'frames 600\n' >"$dir/none.txt"
"$render" --seed 9 --script "$dir/key.txt" --dump-field "$dir/key.bin" 2>/dev/null
"$render" --seed 9 --script "$dir/none.txt" --dump-field "$dir/none.bin"
check "A in a script starts it" bash -c "! cmp -s '$dir/key.bin' '$dir/none.bin'"
finish_checks
