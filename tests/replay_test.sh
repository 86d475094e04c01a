#!/usr/bin/env bash
# The replay is a golden trace only if the same script gives the same trace in every process (the
# simulation must not depend on where the heap puts things), and a bad script must be refused.
# The trace recorded beside each key script must come out byte for byte: a change to the physics, the
# frame or the build of ODE that moves any body shows here.
set -u
replay=$1
script=$2
fail=0
for keys in "$(dirname "$script")"/*.keys; do
  "$replay" --script "$keys" --frames 2000 --every 50 | cmp -s - "${keys%.keys}.trace" ||
    { echo "the trace of $keys differs from ${keys%.keys}.trace"; fail=1; }
done
first=$("$replay" --script "$script" --frames 600 --every 25)
second=$("$replay" --script "$script" --frames 600 --every 25)
[ "$first" = "$second" ] || { echo "two replays of $script differ"; fail=1; }
# With the autopilot the seed decides: the same seed gives the same trace, another seed another.
driven=$("$replay" --script "$script" --frames 3000 --every 500 --autopilot 5)
[ "$driven" = "$("$replay" --script "$script" --frames 3000 --every 500 --autopilot 5)" ] ||
  { echo "two autopilot replays with seed 5 differ"; fail=1; }
[ "$driven" != "$("$replay" --script "$script" --frames 3000 --every 500 --autopilot 6)" ] ||
  { echo "seeds 5 and 6 gave the same autopilot trace"; fail=1; }
[ "$(printf '%s\n' "$first" | wc -l)" -eq 25 ] || { echo "expected 25 trace lines"; fail=1; }
# Car 0 has driven off along +x; car 1 has not moved forward.
printf '%s\n' "$first" | awk 'END { if (!($2 > 20 && $8 < 13.5)) { print "unexpected last line: " $0; exit 1 } }' || fail=1

bad=$(mktemp)
printf '1 down 38\n2 sideways 38\n' > "$bad"
"$replay" --script "$bad" 2> "$bad.err"
[ $? -eq 2 ] && grep -q 'line 2' "$bad.err" || { echo "a bad script was not refused with status 2"; fail=1; }
"$replay" --frames 0 2> /dev/null
[ $? -eq 2 ] || { echo "--frames 0 was not refused"; fail=1; }
rm -f "$bad" "$bad.err"
[ $fail -eq 0 ] && echo "replay: passed"
exit $fail
