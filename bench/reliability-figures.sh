#!/usr/bin/env bash
# Reliability as users meet it, at the full counts (the test command runs the same scripts cut down):
# a ten-minute input storm and a thirty-minute paced night under ASan and UBSan, a thousand previews
# of each kind, the daemon cycled 200 times, and two writers at the settings store 1,000 times each.
# Given a Windows build, under Wine: 200 saves each at the registry, a five-minute storm and 200
# previews of each kind, none of those whose host closes ended by its watcher. Each part prints its
# seed and figures; SEED (random unless given) makes a failure replay.
# Hours of a 2-core machine: run it alone.
#   bench/reliability-figures.sh RELEASE_BUILD_DIR ASAN_BUILD_DIR [WINDOWS_BUILD_DIR [SEED]]
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
release=$1 asan=$2 windows=${3:-} seed=${4:-$RANDOM}
e2e=$here/tests/e2e
# The libraries' blocks kept for the life of the process are not the run's leaks (as in tests/).
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1
echo "== input storm, 10 minutes, ASan and UBSan"; bash "$e2e/long_run_test.sh" "$asan/kelvaron" storm 600 "$seed"
echo "== a night on, 30 minutes at 30 fps with the autopilot, ASan and UBSan"
bash "$e2e/long_run_test.sh" "$asan/kelvaron" night 1800 "$seed"
echo "== a thousand previews of each kind"
bash "$e2e/previews_test.sh" "$release/kelvaron" "$release/tests/kelvaron-test-host" 1000 "$seed"
echo "== the daemon cycling, 200 times"; bash "$e2e/daemon_cycling_test.sh" "$release/kelvaron" 200 "$seed"
echo "== two writers and a reader, 1,000 saves each"
bash "$e2e/two_writers_test.sh" "$release/tests/kelvaron-settings-writers" 1000
if [ -n "$windows" ]; then
  echo "== the same at the registry under Wine, 200 saves each"
  bash "$e2e/two_writers_test.sh" "$windows/tests/kelvaron-settings-writers.exe" 200 "$here/scripts/wine-run.sh"
  echo "== the input storm against kelvaron.scr under Wine, 5 minutes"
  bash "$e2e/long_run_test.sh" --wine "$here/scripts/wine-run.sh" "$windows/kelvaron.scr" storm 300 "$seed"
  echo "== previews of kelvaron.scr under Wine, 200 whose host closes and 200 whose host is killed"
  bash "$e2e/windows_previews_test.sh" "$here/scripts/wine-run.sh" "$windows/kelvaron.scr" \
    "$windows/tests/kelvaron-test-host-win32.exe" 200 "$seed"
fi
