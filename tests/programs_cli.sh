#!/usr/bin/env bash
# Each program's command line as its users expect, with no display: none of them may open a window.
# Usage: programs_cli.sh VERSION PROGRAM...
set -u
version=$1
shift
. "$(dirname "$0")/cli_checks.sh"
mkdir "$dir/cwd" && cd "$dir/cwd" || exit 1
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
    rm -f out.txt err.txt
    check "$name: no file left" test -z "$(ls -A)"
    refused "$name --no-such-option" "^$name: " bare "$program" --no-such-option
done
refused "modra without a display" '^modra: cannot open a display' bare "$(printf '%s\n' "$@" | grep '/modra$')"
finish_checks
