#!/usr/bin/env bash
# The catch-up of a ten-minute room (18,000 ticks at 30 a second): how long a client that opens the
# room's link takes to run the room's log to its last tick. The page in Chromium, the wasm replay
# under node and the Linux replay run one recording of ten minutes of random driving, made by the
# Linux replay, and must end at its state hash; with a Windows replay, it too under Wine (its time
# counts Wine's start). Medians of RUNS runs (3 by default), printed, never asserted.
#   bench/catch-up-figures.sh WEB-BUILD LINUX-REPLAY [RUNS [WINDOWS-REPLAY]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
web=${1:?usage: catch-up-figures.sh WEB-BUILD LINUX-REPLAY [RUNS]}
linux=${2:?usage: catch-up-figures.sh WEB-BUILD LINUX-REPLAY [RUNS]}
runs=${3:-3}
windows=${4:-}
frames=18000
export LC_ALL=C
. "$here/../scripts/lib/stats.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$(dirname "$linux")/../bench/kelvaron-bench" --soak --frames "$frames" --seed 4 --record "$work/room.keys" > "$work/soak"
hash=$(sed -n 's/.*state hash \([0-9a-f]*\)$/\1/p' "$work/soak")
echo "the room: $frames ticks of random driving (kelvaron-bench --soak --seed 4), $(stat -c %s "$work/room.keys") bytes of log, state hash $hash"

# Milliseconds for one replay of the recording, which must end at its hash.
time_replay() {  # COMMAND...
  local start=$EPOCHREALTIME last
  last=$("$@" --script "$work/room.keys" --every "$frames" --hash | tr -d '\r' | tail -n 1)
  [ "$last" = "hash $frames $hash" ] || { echo "catch-up-figures.sh: $* ended at '$last', not $hash" >&2; exit 1; }
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.0f\n", (b - a) * 1000 }'
}
for _ in $(seq "$runs"); do
  time_replay "$linux" >> "$work/linux"
  time_replay node "$web/kelvaron-replay.js" >> "$work/node"
  [ -z "$windows" ] || time_replay "$here/../scripts/wine-run.sh" "$windows" >> "$work/windows"
done

"$here/../tests/web/install-driver.sh" "$web/driver"
NODE_PATH="$web/driver/node_modules:/usr/share/nodejs" node "$here/catch-up-figures.js" "$web" "$work/room.keys" "$runs" > "$work/page-runs"
while read -r _ ms page_hash; do
  [ "$page_hash" = "$hash" ] || { echo "catch-up-figures.sh: the page ended at $page_hash, not $hash" >&2; exit 1; }
  echo "$ms" >> "$work/page"
done < "$work/page-runs"

echo "catch-up of the $frames ticks, median of $runs runs (each run's in brackets):"
for kind in page node linux ${windows:+windows}; do
  label=$(case $kind in
    page) echo "page in Chromium, SwiftShader (log in to last tick)" ;;
    node) echo "wasm replay under node (start to end)" ;;
    linux) echo "Linux replay (start to end)" ;;
    windows) echo "Windows replay under Wine (start to end)" ;;
  esac)
  ms=$(median < "$work/$kind")
  printf '  %-52s %6.1f s  %5.0f us a tick  (%s)\n' "$label" "$(awk -v m="$ms" 'BEGIN { print m / 1000 }')" \
    "$(awk -v m="$ms" -v f="$frames" 'BEGIN { print m * 1000 / f }')" "$(paste -sd' ' "$work/$kind")"
done
