#!/usr/bin/env bash
# What a fleet of relays does when one dies: a Redis of its own and three kelvaron-relay --redis on
# 127.0.0.1, ROOMS (300) rooms of three protocol-level bots spread over them (relay-bots --fleet,
# bench/RelayBots.cpp), each room's other seats joined through the next relay; once all are in, the
# first relay is killed (SIGKILL) and its rooms' bots join again through the fleet. It prints the
# share of the killed relay's rooms that went on within SECONDS (10), the time from the kill to a
# room's last bot having the ticks it missed (p50, p99), and the join lookup through a relay that does
# not hold the room (p50, p99). Figures, never a verdict. Takes some 20 s.
#   bench/fleet-figures.sh BUILD_DIR [ROOMS [SECONDS]]
set -u
here=$(cd "$(dirname "$0")" && pwd)
for part in wait relay; do . "$here/../scripts/lib/$part.sh"; done
build=$1 rooms=${2:-300} seconds=${3:-10}
work=$(mktemp -d)
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null; done; stop_redis; rm -rf "$work"' EXIT
ulimit -n "$(ulimit -Hn)" 2> /dev/null  # each client is a descriptor in a relay and one in the bots

start_redis "$work/redis.log" || exit 1
ports=()
for name in a b c; do
  start_relay "$build/kelvaron-relay" "$work/relay-$name.err" --page "$work" --max-per-address 100000 \
    --redis "redis://127.0.0.1:$redis_port" || exit 1
  pids+=("$relay_pid")
  ports+=("$relay_port")
done
relay_pid=
if ! figures=$(timeout $((seconds + 30)) "$build/bench/relay-bots" --fleet "${pids[0]}" "$rooms" "$seconds" "${ports[@]}" \
    2> "$work/bots.err"); then
  echo "the bots did not all get in: $(tail -n 1 "$work/bots.err")"
  exit 1
fi
field() { awk -v name="$1" '{ for (i = 1; i < NF; i += 2) if ($i == name) print $(i + 1) }' <<< "$figures"; }
echo "kelvaron-relay x3 --redis, $rooms rooms of three bots, on 127.0.0.1, $(nproc) cores; relay A killed"
echo
echo "| rooms on A | went on within $seconds s | resume p50 / p99, ms | join lookup p50 / p99, ms | bots of other rooms dropped |"
echo "|---|---|---|---|---|"
echo "| $(field lost_rooms) | $(field rooms_on) ($(awk -v o="$(field rooms_on)" -v l="$(field lost_rooms)" 'BEGIN { printf "%.0f%%", 100 * o / l }')) | $(field resume_p50) / $(field resume_p99) | $(field lookup_p50) / $(field lookup_p99) | $(field dropped) |"
grep -h 'taken over' "$work"/relay-[bc].err | awk '{ print $NF }' | sort -n |
  awk 'NR == 1 { first = $1 } { last = $1 } END { if (NR) printf "\nTaken over: %d rooms, at ticks %d to %d.\n", NR, first, last }'
