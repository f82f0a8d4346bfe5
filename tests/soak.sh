#!/usr/bin/env bash
# modra-render plays a long random session (tools/soak_script.cpp), checking the toy after every batch of
# frames: every check must hold, both rules run, and memory stay within 1 MiB of that after 10,000 frames.
# Usage: soak.sh SOAK_SCRIPT MODRA_RENDER FRAMES SEED diffusion|wave [--no-memory]
set -u
generator=$1 render=$2 frames=$3 seed=$4 rule=$5 memory=${6:-}
report=$("$generator" "$frames" "$seed" | "$render" --rule "$rule" --seed "$seed" --check --script -)
rc=$?
echo "$rule, seed $seed: ${report:-no report}"
[ $rc -eq 0 ] || { echo "FAILED: modra-render exited with $rc"; exit 1; }
number() { sed -n "s/.*$1 \([0-9]*\).*/\1/p" <<<"$report"; }
checked=$(number over); diffusion=$(number diffusion); wave=$(number wave)
settled=$(number "usual size"); last=$(number "KiB after frame [0-9]*,")
failures=0
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }
[ "${checked:-0}" -ge "$frames" ] || fail "only ${checked:-0} of $frames frames ran"
[ "${diffusion:-0}" -gt 0 ] && [ "${wave:-0}" -gt 0 ] || fail "both rules must run"
if [ "$memory" != --no-memory ]; then
    [ -n "$settled" ] && [ -n "$last" ] || fail "no memory figures"
    [ $(( ${last:-0} - ${settled:-0} )) -le 1024 ] || fail "resident memory grew from $settled to $last KiB"
fi
[ $failures -eq 0 ]
