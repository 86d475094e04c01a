#!/usr/bin/env bash
# Joining a room under way: how long a client takes from setting out to having run the room's world
# up to its last tick, from a seat's snapshot and from the room's whole log (--whole-log), in rooms
# of MINUTES of history (10 by default). The relay makes each room's history on its test clock
# (--tick-hz 1000 --fast-ticks), then keeps the real rate; a Linux replay holds seat 1 all along,
# and falls behind the fast clock at times, so that the autopilot has its car for much of the
# history (a script's commands would come 300 ticks late and be refused); a faster clock would leave
# it so far behind that the relay lets it go.
# Each joiner says its own time as it catches up ("caught up with tick T N ms after setting out":
# from before it connects, its program's start-up not counted). The Linux replay, and with a web
# build the wasm replay under node and the page in Chromium (join-page.js: from the page's asking,
# once its first frame is on screen, to its seat), from a seat's snapshot; medians of RUNS joins each
# (3 by default), printed, never asserted.
#   bench/join-figures.sh RELAY LINUX-REPLAY [RUNS [WEB-BUILD [MINUTES...]]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: join-figures.sh RELAY LINUX-REPLAY [RUNS [WEB-BUILD [MINUTES...]]]"
relay=${1:?$usage} linux=${2:?$usage} runs=${3:-3} web=${4:-}
shift $(($# < 4 ? $# : 4))
lengths=("${@:-10}")
export LC_ALL=C
for part in wait relay stats; do . "$here/../scripts/lib/$part.sh"; done
work=$(mktemp -d)
seat=
cleanup() {
  [ -z "$seat" ] || kill "$seat" 2> /dev/null || true
  stop_relay
  rm -rf "$work"
}
at_exit cleanup
fast_hz=1000

# One join; its milliseconds, or nothing when it did not catch up within two minutes.
time_join() {  # LINK HOW COMMAND...
  local link=$1 how=$2 joiner ms; shift 2
  # Emptied here, not only by the joiner's redirection: the wait below must not find the last join's line.
  : > "$work/join.err"
  "$@" --join "$link" ${how:+"$how"} --frames 100000000 --every 100000000 > /dev/null 2> "$work/join.err" &
  joiner=$!
  wait_until 120 grep -q 'caught up with tick' "$work/join.err" || true
  kill "$joiner" 2> /dev/null || true
  wait "$joiner" 2> /dev/null || true
  ms=$(sed -n 's/.* caught up with tick [0-9]* \([0-9]*\) ms after setting out$/\1/p' "$work/join.err")
  if [ -z "$ms" ]; then echo "join-figures.sh: $* $how did not catch up:" >&2; tail -n 3 "$work/join.err" >&2; return; fi
  if [ -z "$how" ] && ! grep -q "joined from a seat's world" "$work/join.err"; then
    echo "join-figures.sh: $* joined without a seat's world:" >&2; tail -n 3 "$work/join.err" >&2; return
  fi
  echo "$ms"
}

clients=(linux)
[ -z "$web" ] || clients+=(node)
[ -z "$web" ] || "$here/../tests/web/install-driver.sh" "$web/driver"
for minutes in "${lengths[@]}"; do
  ticks=$((minutes * 60 * 30))
  start_relay "$relay" "$work/relay.log" --tick-hz "$fast_hz" --fast-ticks "$ticks" ${web:+--page "$web"}
  "$linux" --join "http://127.0.0.1:$relay_port/" --frames 100000000 --every 100 \
    > "$work/seat.out" 2> "$work/seat.err" &
  seat=$!
  wait_until 10 grep -q '^room ' "$work/seat.out"
  link=$(sed -n 's/^room //p' "$work/seat.out")
  # The history made, and the seat caught up with it and keeping its world to offer.
  wait_until $((ticks / fast_hz + 120)) grep -q "^frame $(((ticks / 100 + 2) * 100)) " "$work/seat.out" ||
    { echo "join-figures.sh: the seat did not keep up:" >&2; tail -n 3 "$work/seat.err" >&2; exit 1; }
  rm -f "$work"/ms.*
  for client in "${clients[@]}"; do touch "$work/ms.$client.snapshot" "$work/ms.$client.log"; done
  for _ in $(seq "$runs"); do
    for client in "${clients[@]}"; do
      command=("$linux")
      [ "$client" = linux ] || command=(node "$web/kelvaron-replay.js")
      time_join "$link" "" "${command[@]}" >> "$work/ms.$client.snapshot"
      time_join "$link" --whole-log "${command[@]}" >> "$work/ms.$client.log"
    done
  done
  if [ -n "$web" ]; then
    NODE_PATH="$web/driver/node_modules:/usr/share/nodejs" node "$here/join-page.js" "$link" "$runs" > "$work/ms.page.snapshot"
  fi
  # Figures of a room whose relay or seat went away meanwhile are not the room's.
  kill -0 "$relay_pid" 2> /dev/null || { echo "join-figures.sh: the relay ended during the joins:" >&2; tail -n 3 "$work/relay.log" >&2; exit 1; }
  kill "$seat" 2> /dev/null || { echo "join-figures.sh: the seat left during the joins:" >&2; tail -n 3 "$work/seat.err" >&2; exit 1; }
  wait "$seat" 2> /dev/null || true
  seat=
  stop_relay
  echo "joining a room of $minutes minutes ($ticks ticks), median of $runs joins (each in brackets):"
  for client in "${clients[@]}" ${web:+page}; do
    for how in snapshot log; do
      [ "$client-$how" != page-log ] || continue  # the page joins from a snapshot only
      label=$(case $client-$how in
        linux-snapshot) echo "Linux replay, from a seat's snapshot" ;;
        linux-log) echo "Linux replay, from the whole log" ;;
        node-snapshot) echo "wasm replay under node, from a seat's snapshot" ;;
        node-log) echo "wasm replay under node, from the whole log" ;;
        page-snapshot) echo "the page in Chromium, from a seat's snapshot" ;;
      esac)
      printf '  %-48s %8.0f ms  (%s)\n' "$label" "$(median < "$work/ms.$client.$how")" "$(paste -sd' ' "$work/ms.$client.$how")"
    done
  done
done
