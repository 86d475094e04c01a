#!/usr/bin/env bash
# How long a late joiner of a ten-minute room takes to catch up, on each build: a joiner replays the
# room's log from tick 0, undrawn, as fast as its build runs frames. The log here is a ten-minute
# recording of random driving (18,000 ticks at 30 a second); each build's replay plays it whole,
# REPS rounds interleaved, and the median wall time is printed with its ticks per second.
# A command is a kelvaron-replay, or anything that runs one (wine-run.sh x.exe, node x.js).
#   bench/catch-up-figures.sh [--reps N] LINUX-REPLAY [COMMAND...]
set -u
. "$(dirname "$0")/../scripts/lib/stats.sh"
reps=3
[ "${1:-}" = --reps ] && { reps=$2; shift 2; }
[ $# -ge 1 ] || { echo "usage: catch-up-figures.sh [--reps N] LINUX-REPLAY [COMMAND...]" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ticks=18000
"$1" --soak --frames $ticks --seed 4 --record "$work/room.keys" > /dev/null || exit 1
for ((round = 1; round <= reps; round++)); do
  for ((i = 1; i <= $#; i++)); do
    start=$(date +%s.%N)
    eval "${!i} --script $work/room.keys --every $ticks --hash" > "$work/out.$i" 2> /dev/null
    awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }' >> "$work/time.$i"
  done
done
echo "catching up on a ten-minute room ($ticks ticks), median of $reps rounds:"
for ((i = 1; i <= $#; i++)); do
  seconds=$(median < "$work/time.$i")
  printf '  %-60s %6.2f s  %6.0f ticks/s  (%s)\n' "${!i}" "$seconds" "$(awk -v t=$ticks -v s="$seconds" 'BEGIN { print t / s }')" \
    "$(tr -d '\r' < "$work/out.$i" | tail -n 1)"
done
