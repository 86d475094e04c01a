# shellcheck shell=bash
# Figures over repeated runs, and seeded runs. Sourced by bench/compare-builds.sh,
# bench/startup-figures.sh and the reliability tests.

# The median of the numbers on standard input, or EMPTY (nan unless given) when there are none.
median() {  # [EMPTY]
  sort -g | awk -v empty="${1:-nan}" '{ v[NR] = $1 }
    END { if (NR == 0) print empty; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# For each KIND, how many times were written one a line into $work/KIND, their median and slowest.
say_times() {  # KIND...
  local kind
  for kind; do
    echo "$kind: $(wc -l < "$work/$kind") ends, median $(median < "$work/$kind") ms, slowest $(sort -n "$work/$kind" | tail -n 1) ms"
  done
}
# Seeds bash's RANDOM with SEED, or with a seed of its own, and prints it, so that a run replays.
seed_random() {  # [SEED]
  seed=${1:-$RANDOM}
  echo "seed $seed"
  RANDOM=$seed
}
