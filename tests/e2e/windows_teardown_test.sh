#!/usr/bin/env bash
# The Windows render window's teardown under Wine, one case a process: a run that takes its window
# down posts no quit (a failed creation's box would close at once), a preview's window destroyed with
# its host ends the run and a full run's destroyed by anyone else does not, and "Could Not Unregister
# Class." is said unless the host has gone.
#   windows_teardown_test.sh WINE-RUN WINDOW-TEARDOWN.EXE
set -u
wine_runner=$1
program=$2
for part in checks wait display wine; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap stop_display EXIT
start_display 1024x768x24 || exit 1
use_wine_prefix "$work/wine"

for case in teardown destroyed host-destroys never-made host-gone; do
  timeout 120 "$wine_runner" "$program" "$case" > "$work/$case.log" 2>&1
  status=$?
  what=$(sed -n -E 's/^(ok|FAILED): //p' "$work/$case.log" | head -n 1)
  check "${what:-$case: the program ran}" [ "$status" -eq 0 ]
  [ "$status" -eq 0 ] || sed "s/^/   $case: /" "$work/$case.log"
done
finish
