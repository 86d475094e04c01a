#!/usr/bin/env bash
# A thousand previews: `kelvaron /p ID` and `kelvaron -window-id ID`, COUNT times each, in a host
# window of their own. Half the time the host's process is killed while the preview draws (its window
# goes with it, abruptly); otherwise the preview gets SIGTERM. Every preview must end within 1 s,
# with status 0, leaving no zombie, no window, and the X server's connections as many as before.
# Prints the seed, the slowest end of each kind, and the counts before and after.
#   previews_test.sh KELVARON HOST-WINDOW [COUNT [SEED]]
set -u
kelvaron=$1
host_window=$2
count=${3:-1000}
for part in checks wait display stats; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'kill "${host_pid:-}" "${pid:-}" 2> /dev/null; stop_display' EXIT
seed_random "${4:-}"
start_display 640x480x24 || exit 1
top_windows() { xwininfo -root -children | grep -c '^ *0x'; }
connections_before=$(x_connections)
windows_before=$(top_windows)

slow=0 failed_status=0 undrawn=0
: > "$work/host-gone"; : > "$work/terminated"
for i in $(seq "$count"); do
  for switch in /p -window-id; do
    start_host_window "$host_window" 200 150
    "$kelvaron" "$switch" "$host" > "$work/run.log" 2>&1 &
    pid=$!
    # Drawing: its window is inside the host; then a little longer, at random.
    if ! wait_until 30 eval "xwininfo -children -id $host 2> /dev/null | grep -q '^ *0x'"; then
      undrawn=$((undrawn + 1)); echo "   $switch #$i: no window in the host"
    fi
    sleep "0.$((RANDOM % 5))"
    started=$(date +%s%N)
    if [ $((RANDOM % 2)) -eq 0 ]; then
      kill -KILL "$host_pid"; kind=host-gone
    else
      kill -TERM "$pid"; kind=terminated
    fi
    wait_for_exit "$pid" 20 || status=timeout
    ended=$(( ($(date +%s%N) - started) / 1000000 ))
    echo "$ended" >> "$work/$kind"
    kill "$host_pid" 2> /dev/null; wait "$host_pid" 2> /dev/null
    if [ "$status" != 0 ]; then
      failed_status=$((failed_status + 1)); echo "   $switch #$i, $kind: status $status"; sed 's/^/      /' "$work/run.log"
    fi
    [ "$ended" -gt 1000 ] && { slow=$((slow + 1)); echo "   $switch #$i, $kind: ended after $ended ms"; }
  done
done
wait_until 5 eval '[ "$(x_connections)" -le "$connections_before" ]'
connections_after=$(x_connections)
windows_after=$(top_windows)
zombies=$(ps -o stat= --ppid $$ | grep -c Z)
say_times host-gone terminated
echo "X server connections before $connections_before, after $connections_after; top-level windows before $windows_before, after $windows_after"
check "every preview drew in its host (not: $undrawn)" [ "$undrawn" -eq 0 ]
check "every preview ended with status 0 (not: $failed_status)" [ "$failed_status" -eq 0 ]
check "every preview ended within 1 s (not: $slow)" [ "$slow" -eq 0 ]
check "no zombie is left" [ "$zombies" -eq 0 ]
check "no window is left" [ "$windows_after" -eq "$windows_before" ]
check_x_connections "$connections_before" "$connections_after"
finish
