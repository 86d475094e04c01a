#!/usr/bin/env bash
# The daemon cycling: Debian's xscreensaver daemon with Kelvaron as its only hack, activated and
# deactivated COUNT times at varied intervals (seeded). Each cycle checks that exactly one Kelvaron
# runs and draws, and, from strace's record of the hack, when its SIGTERM arrived and when and how
# it ended. Prints the seed, each slow end, and the figures: ends after the signal (median, slowest),
# the daemon's share (deactivation to signal).
#   daemon_cycling_test.sh KELVARON [COUNT [SEED]]
set -u
count=${2:-200}
for part in checks wait display screen stats xscreensaver; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap '[ -n "${daemon:-}" ] && kill "$daemon" 2> /dev/null; stop_display' EXIT
seed_random "${3:-}"
start_display 640x480x24 || exit 1

# The hack is Kelvaron itself, which the daemon execs and signals directly.
make_saver_home
cp "$1" "$work/kelvaron"
check "the daemon answers" start_saver "$work/kelvaron -root"

# The Kelvaron processes under this daemon (its hacks run under xscreensaver-gfx).
hacks() {
  ps -eo pid=,ppid=,comm= | awk -v top="$daemon" '{ parent[$1] = $2; name[$1] = $3 }
    END { for (p in name) if (name[p] == "kelvaron") for (q = parent[p]; q > 1; q = parent[q]) if (q == top) { print p; break } }'
}
ms_of() { awk '{ split($1, t, ":"); printf "%d\n", ((t[1] * 60 + t[2]) * 60 + t[3]) * 1000 }'; }  # strace -tt

more_than_one=0 unmeasured=0 undrawn=0 unsignalled=0 bad_status=0 slow=0
: > "$work/ends"; : > "$work/shares"
for cycle in $(seq "$count"); do
  saver xscreensaver-command -activate > /dev/null
  pid=$(first_output 30 hacks) || {  undrawn=$((undrawn + 1)); echo "   cycle $cycle: no hack started"; continue; }
  strace -tt -e trace=exit_group -p "$pid" -o "$work/trace" 2> "$work/strace.err" &
  tracer=$!
  wait_until 10 grep -q attached "$work/strace.err"
  [ "$(hacks | wc -l)" -gt 1 ] && more_than_one=$((more_than_one + 1))
  # Drawn: the scene's red car in the top right view, or at least something lit on the screen.
  wait_for_colour "$work/saver.png" 320x240+320+0 lit 100 15 || { undrawn=$((undrawn + 1)); echo "   cycle $cycle: black"; }
  sleep "$((RANDOM % 3)).$((RANDOM % 10))"
  [ "$(hacks | wc -l)" -gt 1 ] && more_than_one=$((more_than_one + 1))
  asked=$(date +%H:%M:%S.%N)
  saver xscreensaver-command -deactivate > /dev/null
  wait_for_exit_of "$pid" 20
  wait "$tracer" 2> /dev/null
  # strace, attached from outside, now and then records nothing at all; such a cycle is counted apart.
  if [ ! -s "$work/trace" ]; then
    unmeasured=$((unmeasured + 1)); echo "   cycle $cycle: strace recorded nothing"; continue
  fi
  signalled=$(grep -m1 -- '--- SIGTERM' "$work/trace" | ms_of)
  ended=$(grep -m1 'exit_group\|+++ killed' "$work/trace" | ms_of)
  asked=$(echo "$asked" | ms_of)
  if ! grep -q '+++ exited with 0 +++' "$work/trace"; then
    bad_status=$((bad_status + 1))
    echo "   cycle $cycle: $(tail -n 1 "$work/trace"); what it and the daemon said last:"
    grep -a -v '^xscreensaver' "$work/xscreensaver.log" | tail -n 5 | sed 's/^/      /'
    tail -n 3 "$work/xscreensaver.log" | sed 's/^/      /'
  fi
  if [ -z "$signalled" ]; then
    unsignalled=$((unsignalled + 1)); echo "   cycle $cycle: no SIGTERM reached Kelvaron"
  elif [ -n "$ended" ]; then
    echo $((ended - signalled)) >> "$work/ends"
    echo $((signalled - asked)) >> "$work/shares"
    if [ $((ended - signalled)) -gt 1000 ]; then
      slow=$((slow + 1)); echo "   cycle $cycle: ended $((ended - signalled)) ms after its SIGTERM"
      cp "$work/trace" "$work/slow.$cycle"
    fi
  fi
done
echo "cycles $count: end after SIGTERM median $(median < "$work/ends") ms, slowest $(sort -n "$work/ends" | tail -n 1) ms;" \
  "deactivation to SIGTERM median $(median < "$work/shares") ms, slowest $(sort -n "$work/shares" | tail -n 1) ms"
echo "   cycles strace did not record: $unmeasured"
check "never more than one Kelvaron at a time (cycles with more: $more_than_one)" [ "$more_than_one" -eq 0 ]
check "every activation drew (cycles black: $undrawn)" [ "$undrawn" -eq 0 ]
check "every deactivation signalled Kelvaron (cycles without: $unsignalled)" [ "$unsignalled" -eq 0 ]
check "every run ended with status 0 (cycles otherwise: $bad_status)" [ "$bad_status" -eq 0 ]
check "every run ended within 1 s of its SIGTERM (cycles slower: $slow)" [ "$slow" -eq 0 ]
finish
