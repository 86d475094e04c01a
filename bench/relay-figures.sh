#!/usr/bin/env bash
# How many rooms one relay keeps in time, and what they cost: a kelvaron-relay on 127.0.0.1 with
# rooms of three protocol-level bots (relay-bots, bench/RelayBots.cpp, one thread beside the relay's
# one), the rooms doubling from 50 up to the relay's 1000 until a step is late: the 99th percentile of
# its ticks' lateness, as the relay counts it, past a third of a tick, or a client missing ticks or
# dropped. Then twice halfway between the last step in time and the first late one. Each step
# measures SECONDS (10) once its bots are in and settled, and takes at most 20 s.
# It prints a row a step, then the figures: the rooms at the limit, the bytes a client and a room
# send and receive, the relay's processor share, and the jitter at 100 rooms and at the limit; with
# --plot, the 99th-percentile jitter against the rooms as a PNG, drawn by gnuplot
# (scripts/install-deps.sh bench).
#   bench/relay-figures.sh BUILD_DIR [--plot FILE.png] [--seconds N] [ROOMS...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
for part in wait relay; do . "$here/../scripts/lib/$part.sh"; done
build=$1; shift
plot='' seconds=10
while [ $# -gt 0 ]; do
  case $1 in
    --plot) plot=$(realpath "$2"); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || set -- 50 100 200 400 800 1000
late_ms=11.1  # a third of a tick
work=$(mktemp -d)
at_exit 'stop_relay; rm -rf "$work"'
# Each client is a descriptor in the relay and one in the bots.
ulimit -n "$(ulimit -Hn)" 2> /dev/null

# The value after NAME in the bots' line.
field() {  # NAME LINE
  awk -v name="$1" '{ for (i = 1; i < NF; i += 2) if ($i == name) print $(i + 1) }' <<< "$2"
}

# One step: prints its row, keeps its figures in $work/ROOMS, and fails when its ticks were late.
measure() {  # ROOMS
  local rooms=$1 bots median p99 max
  start_relay "$build/kelvaron-relay" "$work/relay.err" --page "$work" --max-per-address 100000 || exit 1
  if ! bots=$(timeout 30 "$build/bench/relay-bots" "$relay_port" "$relay_pid" "$rooms" "$seconds" 2> "$work/bots.err"); then
    echo "| $rooms ($((rooms * 3))) | the bots did not all get in: $(tail -n 1 "$work/bots.err") |"
    stop_relay
    return 1
  fi
  # Its second report is the stretch the bots measured.
  wait_until 5 [ "$(grep -c ' ticks; lateness ' "$work/relay.err")" -ge 2 ]
  read -r median p99 max <<< "$(grep ' ticks; lateness ' "$work/relay.err" |
    sed -n '2s/.*median \([0-9.]*\) ms, 99th \([0-9.]*\) ms, max \([0-9.]*\) ms/\1 \2 \3/p')"
  stop_relay
  awk -v r="$rooms" -v m="$median" -v p="$p99" -v x="$max" \
    -v jm="$(field jitter_p50 "$bots")" -v jp="$(field jitter_p99 "$bots")" -v jx="$(field jitter_max "$bots")" \
    -v rc="$(field relay_cpu "$bots")" -v bc="$(field bots_cpu "$bots")" -v mc="$(field machine_cpu "$bots")" \
    -v rx="$(field in_bytes "$bots")" -v tx="$(field out_bytes "$bots")" \
    -v miss="$(field missed "$bots")" -v drop="$(field dropped "$bots")" \
    'BEGIN { printf "| %d (%d) | %.2f / %.2f / %.2f | %.2f / %.2f / %.2f | %.0f%% | %.2f | %.2f | %d / %d | %d, %d |\n",
             r, 3 * r, m, p, x, jm, jp, jx, 100 * rc, bc, mc, rx, tx, miss, drop }'
  [ "$(field dropped "$bots")" -eq 0 ] || tail -n 1 "$work/bots.err" >&2  # why
  echo "$rooms $p99 $(field jitter_p99 "$bots")" >> "$work/plot.dat"
  echo "$rooms $p99 $(field jitter_p99 "$bots") $(field relay_cpu "$bots") $(field in_bytes "$bots") $(field out_bytes "$bots") $(field bots_cpu "$bots")" > "$work/$rooms"
  ! awk -v p="$p99" -v l="$late_ms" 'BEGIN { exit !(p > l) }' && [ "$(field missed "$bots")" -eq 0 ] &&
    [ "$(field dropped "$bots")" -eq 0 ]
}

echo "kelvaron-relay and relay-bots on 127.0.0.1, $(nproc) cores; each step $seconds s measured"
echo
echo "| rooms (clients) | relay's tick lateness, median / 99th / max, ms | clients' tick jitter, median / 99th / max, ms | relay's processor, of its one core | bots' processor, cores | whole machine busy, cores | a client receives / sends, B/s | ticks missed, clients dropped |"
echo "|---|---|---|---|---|---|---|---|"
: > "$work/plot.dat"
limit='' late=''
for rooms in "$@"; do
  if measure "$rooms"; then limit=$rooms; else late=$rooms; break; fi
done
for _ in 1 2; do
  if [ -z "$limit" ] || [ -z "$late" ]; then break; fi
  rooms=$(( (limit + late) / 100 * 50 ))
  [ "$rooms" -gt "$limit" ] || break
  if measure "$rooms"; then limit=$rooms; else late=$rooms; fi
done

echo
say() {  # WHAT ROOMS: the figures of one step
  local rooms p99 jitter cpu rx tx bots
  read -r rooms p99 jitter cpu rx tx bots < "$work/$2"
  echo "$1: 99th-percentile tick lateness $p99 ms at the relay, jitter $jitter ms at the clients;" \
    "the relay used $(awk -v c="$cpu" 'BEGIN { printf "%.0f", 100 * c }')% of its core, the bots $bots cores;" \
    "a client received $rx B/s and sent $tx B/s, a room's three $((rx * 3)) and $((tx * 3))."
}
if [ -z "$limit" ]; then
  echo "No step kept time: the first, $late rooms, was already late."
else
  if [ -n "$late" ]; then
    echo "Rooms per core at the limit: $limit (the relay is one thread); at $late its ticks were late."
  else
    echo "Rooms per core at the limit: more than $limit: every step kept time (a relay takes at most 1000 rooms)."
  fi
  [ -s "$work/100" ] && say "At 100 rooms" 100
  say "At the limit, $limit rooms" "$limit"
fi
echo "The bots ran on one thread beside the relay's, on this machine's $(nproc) cores; 'whole machine busy' counts everything running on it."
if [ -n "$plot" ]; then
  sort -n "$work/plot.dat" > "$work/plot.sorted"
  gnuplot <<PLOT
set terminal pngcairo size 800,480 font "Liberation Sans,11"
set output "$plot"
set title "kelvaron-relay: 99th-percentile tick jitter against rooms (three clients each, $(nproc) cores)"
set xlabel "rooms"
set ylabel "ms"
set logscale x 2
set key top left
set grid
set yrange [0:*]
plot "$work/plot.sorted" using 1:2 with linespoints title "lateness as the relay sends the ticks", \
     "$work/plot.sorted" using 1:3 with linespoints title "jitter as the clients read them", \
     $late_ms with lines dashtype 2 title "a third of a tick"
PLOT
  echo "The plot: $plot"
fi
