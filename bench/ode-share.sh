#!/usr/bin/env bash
# Share of a simulation frame spent inside ODE, counted in instructions by callgrind (repeatable on a
# busy machine, unlike a clock). Only instructions inside RunFrame (not drawn, as the frame benchmark
# runs it) are collected; those whose source file lies under src/ are the program's own, everything
# else is ODE and the C library calls ODE makes.
#
#   bench/ode-share.sh BUILD_DIR [FRAMES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: ode-share.sh BUILD_DIR [FRAMES]}
frames=${2:-1000}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

valgrind --tool=callgrind --callgrind-out-file="$out" \
  --toggle-collect='RunFrame()' \
  "$build/bench/kelvaron-bench" --bench --frames "$frames" > /dev/null 2>&1
(cd / && callgrind_annotate --auto=no --threshold=100 "$out" 2>/dev/null) | awk -v src="$root/src/" '
  function count(s) { gsub(",", "", s); return s + 0 }
  /PROGRAM TOTALS/ { total = count($1) }
  index($0, src) { c = count($1); own += c; sub(".*" src, ""); split($0, f, "\\("); byFunc[f[1]] += c }
  END {
    printf "instructions per frame (idle and driving, %d frames each): %.0f\n", '"$frames"', total / (2 * '"$frames"')
    printf "inside ODE and the C library it calls: %.2f%%\n", 100 * (total - own) / total
    printf "the program'"'"'s own code: %.2f%%\n", 100 * own / total
    for (name in byFunc) printf "  %-50s %.2f%%\n", name, 100 * byFunc[name] / total
  }'
