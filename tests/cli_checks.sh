# What the command-line tests share: a scratch folder `dir`, removed on exit,
# and checks counted and told; finish_checks ends the script with their verdict.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
passed=0 failures=0
check() { # description, then a command that must succeed
    local what=$1; shift
    if "$@"; then passed=$((passed + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
finish_checks() { echo "$passed passed, $failures failed"; [ "$failures" -eq 0 ]; }
# Bad input refused: exit 2, nothing on stdout and one short plain line on stderr matching a pattern, with
# nothing left in the empty folder the command ran in (`$dir/empty`, its stderr in `$dir/err`).
refused() { # description, the pattern, then the command
    local what=$1 says=$2 rc
    shift 2
    rm -rf "$dir/empty" && mkdir "$dir/empty"
    (cd "$dir/empty" && "$@" >"$dir/out" 2>"$dir/err" </dev/null)
    rc=$?
    check "$what: exit 2 (got $rc), one line \"$says\" ($(head -c 200 "$dir/err")), nothing left" eval \
        '[ $rc -eq 2 ] && [ ! -s "$dir/out" ] && [ "$(wc -l <"$dir/err")" -eq 1 ] && grep -q -- "$says" "$dir/err" && [ -z "$(ls -A "$dir/empty")" ] &&
         [ "$(LC_ALL=C tr -d "\n -~" <"$dir/err" | wc -c)" -eq 0 ] && [ "$(wc -c <"$dir/err")" -le 400 ]'
}
