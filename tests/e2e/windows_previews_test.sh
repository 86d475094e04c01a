#!/usr/bin/env bash
# Previews of kelvaron.scr under Wine, COUNT of each kind in an order the seed shuffles, each in a
# host window of its own as the Windows control panel makes one. In one kind the host's process is
# killed while the preview draws (its window goes with it, abruptly); in the other the host destroys
# its window, as the control panel does when another screensaver is chosen. Every preview must end
# within 1 s (timed by the host from when its window began to go, else from the kill), without a
# crash, leaving no window, and the X server's connections as many as before; every one whose host
# closed must end by itself, none by its watcher (status 3). Prints the seed, the median and slowest
# end of each kind, and the counts before and after.
#   windows_previews_test.sh WINE-RUN KELVARON.SCR HOST-WINDOW.EXE [COUNT [SEED]]
set -u
wine_runner=$1
scr=$2
host_exe=$3
count=${4:-100}
for part in checks wait display screen stats wine; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'kill -KILL "${host_pid:-}" 2> /dev/null; WINEPREFIX=$KELVARON_WINEPREFIX wineserver -k 2> /dev/null; stop_display' EXIT
seed_random "${5:-}"
start_display 640x480x24 || exit 1
connections_before=$(x_connections)
use_wine_prefix "$work/wine"
windows_path() { wine_run winepath -w "$1" 2> /dev/null | tr -d '\r'; }
scr_path=$(windows_path "$scr")
close=$work/close-host
close_path=$(windows_path "$close")

# A Windows process shows its Windows command line.
process_of() { pgrep -n -f "^$1"; }
ended() { [ ! -e "/proc/$1" ] || grep -q '^State:.*Z' "/proc/$1/status"; }
# Kelvaron's windows and the hosts' left on the display.
own_windows() { xwininfo -root -tree | grep -c '("kelvaron\.scr"\|("kelvaron-test-host'; }

slow=0 undrawn=0 unstarted=0 not_itself=0 crashed=0
: > "$work/host-gone"; : > "$work/host-closed"
# Drawn here, not in a subshell, which would draw from a generator seeded afresh.
order=()
for _ in $(seq "$count"); do order+=("$RANDOM host-gone" "$RANDOM host-closed"); done
kinds=$(printf '%s\n' "${order[@]}" | sort -n | cut -d' ' -f2)
i=0
for kind in $kinds; do
  i=$((i + 1))
  rm -f "$close"
  wine_run "$host_exe" "$scr_path" "$close_path" > "$work/host.log" 2>&1 &
  host_pid=$!
  # The host's Windows process is the child of the wine it was started with.
  if ! preview=$(first_output 60 process_of "Z:.*kelvaron\.scr /p ") || ! host=$(pgrep -n -P "$host_pid"); then
    unstarted=$((unstarted + 1)); echo "   #$i: no preview started"; kill -KILL "$host_pid"; continue
  fi
  # Drawing: its GL window inside the host's, as the host sees it (Wine shows nothing on the display
  # of what a child window of another process draws).
  wait_until 30 grep -q 'preview window inside' "$work/host.log" || { undrawn=$((undrawn + 1)); echo "   #$i: no window in the host"; }
  sleep "0.$((RANDOM % 5))"
  started=$(date +%s%N)
  if [ $kind = host-gone ]; then kill -KILL "$host"; else touch "$close"; fi
  wait_until 20 ended "$preview"
  ended_ms=$(( ($(date +%s%N) - started) / 1000000 ))
  wait_for_exit "$host_pid" 20
  # The preview writes to the host's standard error, where Wine says so when a process crashes.
  grep -a 'Unhandled' "$work/host.log" && crashed=$((crashed + 1))
  # A host that closes times the end itself, from when its window began to go.
  if [ $kind = host-closed ]; then
    ended_ms=$(sed -n 's/^preview ended \([0-9]*\) ms.*/\1/p' "$work/host.log" | tr -d '\r')
    grep -q 'with status 0' "$work/host.log" ||
      { not_itself=$((not_itself + 1)); echo "   #$i: $(grep -a 'preview ' "$work/host.log" | tail -n 1)"; }
  fi
  echo "$ended_ms" >> "$work/$kind"
  [ "${ended_ms:-99999}" -gt 1000 ] && { slow=$((slow + 1)); echo "   #$i, $kind: ended after ${ended_ms:-?} ms"; }
done
wait_until 10 eval '[ "$(own_windows)" -eq 0 ]'
windows_after=$(own_windows)
# Wine's own processes (its desktop among them) end a little after the last program.
WINEPREFIX=$KELVARON_WINEPREFIX timeout 60 wineserver -w
wait_until 10 eval '[ "$(x_connections)" -le "$connections_before" ]'
connections_after=$(x_connections)
say_times host-gone host-closed
echo "X server connections before Wine started $connections_before, after it ended $connections_after; Kelvaron's and the hosts' windows left $windows_after"
check "every preview started (not: $unstarted)" [ "$unstarted" -eq 0 ]
check "every preview made its window in its host (not: $undrawn)" [ "$undrawn" -eq 0 ]
check "every preview ended within 1 s (not: $slow)" [ "$slow" -eq 0 ]
check "every preview whose host closed ended by itself, none by its watcher (not: $not_itself)" [ "$not_itself" -eq 0 ]
check "no preview crashed (not: $crashed)" [ "$crashed" -eq 0 ]
check "no window is left" [ "$windows_after" -eq 0 ]
check_x_connections "$connections_before" "$connections_after"
finish
