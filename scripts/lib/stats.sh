# shellcheck shell=bash
# Figures over repeated runs. Sourced by bench/compare-builds.sh and bench/startup-figures.sh.

# The median of the numbers on standard input, or EMPTY (nan unless given) when there are none.
median() {  # [EMPTY]
  sort -g | awk -v empty="${1:-nan}" '{ v[NR] = $1 }
    END { if (NR == 0) print empty; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
