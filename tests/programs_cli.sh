#!/usr/bin/env bash
# Each program's command line as its users expect: --help and --version print
# and exit 0 without a display, a bad argument is one line on stderr with
# exit 2, and none of them opens a window or leaves a file. modra without a
# display says so in one line of its own.
# Usage: programs_cli.sh VERSION PROGRAM...
set -u
version=$1
shift
. "$(dirname "$0")/cli_checks.sh"
cd "$dir" || exit 1
# No display at all: a program that tried to open a window would fail.
bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR "$@"; }

for program in "$@"; do
    name=$(basename "$program")
    bare "$program" --help >out.txt 2>err.txt
    check "$name --help: exit 0, usage on stdout, nothing on stderr" \
        test $? -eq 0 -a "$(head -c 6 out.txt)" = "usage:" -a ! -s err.txt
    check "$name --help: every line fits 95 columns" test "$(awk 'length > 95' out.txt | wc -l)" -eq 0
    bare "$program" --version >out.txt 2>err.txt
    check "$name --version: '$name $version'" test $? -eq 0 -a "$(cat out.txt)" = "$name $version" -a ! -s err.txt
    bare "$program" --no-such-option >out.txt 2>err.txt
    check "$name --no-such-option: exit 2, one line naming the program" \
        test $? -eq 2 -a ! -s out.txt -a "$(wc -l <err.txt)" -eq 1 -a "$(grep -c "^$name: " err.txt)" -eq 1
    rm -f out.txt err.txt
    check "$name: no file left" test -z "$(ls -A)"
done

modra=$(printf '%s\n' "$@" | grep '/modra$')
bare "$modra" stray >out.txt 2>err.txt
check "modra stray: exit 2, one line" test $? -eq 2 -a "$(wc -l <err.txt)" -eq 1
bare "$modra" >out.txt 2>err.txt
rc=$?
check "modra without a display: exit 2 and only its own line ($(head -c 100 err.txt))" \
    test $rc -eq 2 -a "$(wc -l <err.txt)" -eq 1 -a "$(grep -c '^modra: cannot open a display' err.txt)" -eq 1
finish_checks
