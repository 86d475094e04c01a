#!/usr/bin/env bash
# What one relay process serves: ROOMS rooms of three protocol-level bots (bench/RelayBots.cpp) on
# 127.0.0.1 for SECONDS, for each ROOMS given, with the relay's processor time (user and system, from
# /proc) and how late its ticks went out (the relay's own count, printed as it stops).
#   bench/relay-figures.sh BUILD_DIR [SECONDS] [ROOMS...]
set -u
build=$1 seconds=${2:-20}
shift $(( $# < 2 ? $# : 2 ))
[ $# -gt 0 ] || set -- 10 30
ticks=$(getconf CLK_TCK)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for rooms in "$@"; do
  "$build/kelvaron-relay" --bind 127.0.0.1 --port 0 --page "$work" --max-per-address 100000 > "$work/out" 2> "$work/err" &
  pid=$!
  for _ in $(seq 50); do grep -q serving "$work/out" && break; sleep 0.1; done
  port=$(sed -n 's|.*:\([0-9]*\)/$|\1|p' "$work/out")
  before=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  bots=$("$build/bench/relay-bots" "$port" "$rooms" "$seconds")
  used=$(( $(awk '{ print $14 + $15 }' "/proc/$pid/stat") - before ))
  kill -TERM "$pid"; wait "$pid"
  lateness=$(grep -o 'lateness.*' "$work/err")
  echo "$bots"
  echo "  relay: processor $(awk -v u="$used" -v t="$ticks" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * u / (t * s) }')% of one core; tick $lateness"
done
