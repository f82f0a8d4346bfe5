#!/usr/bin/env bash
# The layers of src/, read from its includes, top to bottom: the programs,
# the extras, the shell (app/), the six subsystems, the platform. A header
# may be included from its own layer or one above it, never from below;
# the three arrows the toy's own design draws upward are named here.
# Usage: include_rules.sh SRC
set -u
src=$1
subsystems=" sim palette display slider iconbar "
allowed_up=" app/flags.h app/window_classes.h "  # the bar writes `paused`; the controls' class names
faults=0

fault() {
    echo "$1 includes $2: $3"
    faults=$((faults + 1))
}

cd "$src" || exit 1
while IFS= read -r file; do
    from=${file%%/*}
    while IFS= read -r header; do
        to=${header%%/*}
        [ "$to" = "$header" ] && continue  # beside it, or generated
        [ "$to" = "$from" ] && continue
        if [ "$to" = programs ]; then
            fault "$file" "$header" "only a program includes a program"
        elif [ "$from" = platform ]; then
            fault "$file" "$header" "the platform includes nothing above it"
        elif [ "$from" = programs ]; then
            :
        elif [ "$to" = platform ]; then
            :
        elif [[ $subsystems == *" $from "* ]]; then
            [[ $subsystems == *" $to "* || $allowed_up == *" $header "* ]] ||
                fault "$file" "$header" "a subsystem includes no extra and, of the shell, only what it writes to"
        elif [ "$from" = app ]; then
            [[ $subsystems == *" $to "* ]] || fault "$file" "$header" "the shell includes no extra"
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

if [ "$faults" -gt 0 ]; then
    echo "$faults include(s) against the layers"
    exit 1
fi
echo "every include keeps to the layers"
