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
