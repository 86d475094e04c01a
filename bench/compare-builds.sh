#!/usr/bin/env bash
# Two or more builds' frame costs side by side: runs each command's `--bench` (or `--render`) in turn,
# REPS rounds interleaved so that a busy moment of the machine falls on all of them alike, and prints
# for each the median over the rounds of its per-round medians, and its ratio to the first command.
# A command is a kelvaron-bench, or anything that runs one (scripts/wine-run.sh path/to/kelvaron-bench.exe).
#   bench/compare-builds.sh [--reps N] [--render] [--frames N] -- 'COMMAND A' 'COMMAND B' ...
set -u
. "$(dirname "$0")/../scripts/lib/stats.sh"
reps=10
mode=--bench
frames=1000
while [ $# -gt 0 ]; do
  case "$1" in
    --reps) reps=$2; shift 2 ;;
    --render) mode=--render; shift ;;
    --frames) frames=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "compare-builds.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ $# -ge 2 ] || { echo "usage: compare-builds.sh [--reps N] [--render] [--frames N] -- 'COMMAND A' 'COMMAND B' ..." >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for ((round = 1; round <= reps; round++)); do
  for ((i = 1; i <= $#; i++)); do
    # One line a figure, "NAME VALUE UNIT", from the benchmark's own medians and shares.
    eval "${!i} $mode --frames $frames" 2> /dev/null | tr -d '\r' | awk '
      / frames: median / { sub(/:$/, "", $1); sub(/,$/, "", $6); print $1, $5, $6 }
      /per frame: median/ { sub(/,$/, "", $5); print "frame", $4, $5 }
      /share of the time/ { sub(/%,$/, "", $9); print "GL-calls", $9, "%" }
    ' >> "$work/$i"
  done
done

figures=$(awk '{ print $1 }' "$work/1" | awk '!seen[$0]++')
printf '%d rounds of %d frames, interleaved; each figure is the median of the rounds, and its ratio to A\n' "$reps" "$frames"
for ((i = 1; i <= $#; i++)); do
  letter=$(printf "\\$(printf '%03o' $((64 + i)))")
  printf '%s: %s\n' "$letter" "${!i}"
  for name in $figures; do
    mine=$(awk -v n="$name" '$1 == n { print $2 }' "$work/$i" | median)
    first=$(awk -v n="$name" '$1 == n { print $2 }' "$work/1" | median)
    unit=$(awk -v n="$name" '$1 == n { print $3; exit }' "$work/1")
    awk -v n="$name" -v m="$mine" -v f="$first" -v u="$unit" \
      'BEGIN { printf "   %-8s %9.2f %-3s %.3fx\n", n, m, u, (f > 0 ? m / f : 0) }'
  done
done
