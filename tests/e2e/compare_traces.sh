#!/usr/bin/env bash
# The same key script replayed by the Windows build under Wine and by the Linux build: the two traces
# must name the same frames and agree to the last digits; prints the largest difference.
#   compare_traces.sh WINE-RUN WINDOWS-REPLAY LINUX-REPLAY SCRIPT
set -u
args=(--script "$4" --frames 600 --every 25)
windows=$("$1" "$2" "${args[@]}" | tr -d '\r')
linux=$("$3" "${args[@]}")
paste -d '\n' <(printf '%s\n' "$windows") <(printf '%s\n' "$linux") | awk '
  NR % 2 == 1 { n = split($0, w, " ") }
  NR % 2 == 0 {
    m = split($0, l, " ")
    if (n != m || w[2] != l[2]) { print "the traces differ in shape at " $0; bad = 1; next }
    for (i = 3; i <= n; i++) {
      d = w[i] - l[i]; if (d < 0) d = -d
      scale = l[i] < 0 ? -l[i] : l[i]; if (scale < 1) scale = 1
      if (d > worst) { worst = d; at = l[2] }
      if (d / scale > 1e-3) { print "frame " l[2] ": " w[i] " against " l[i]; bad = 1 }
    }
    frames++
  }
  END {
    printf "%d frames compared; largest difference %g (frame %s)\n", frames, worst, at
    if (frames != 25) bad = 1
    printf "%d passed, %d failed\n", bad ? 0 : 1, bad ? 1 : 0
    exit bad
  }'
