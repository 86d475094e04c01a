#!/usr/bin/env bash
# Every key script in a folder replayed by the Windows build under Wine and by the Linux build, as
# typed and with the autopilot driving, and the autopilot alone over 20,000 frames: the traces and the
# whole state's hash after each traced frame must be byte for byte the same. The physics calls the C
# library's float functions, so this also proves both builds link libsamemath's.
#   compare_traces.sh WINE-RUN WINDOWS-REPLAY LINUX-REPLAY SCRIPT-FOLDER
set -u
. "$(dirname "$0")/../../scripts/lib/checks.sh"
compare() {  # WHAT REPLAY-OPTIONS...
  local what=$1 windows linux
  shift
  windows=$("$wine_run" "$windows_replay" "$@" --hash | tr -d '\r')
  linux=$("$linux_replay" "$@" --hash)
  if [[ $linux == *$'\nhash '* ]] && [ "$windows" = "$linux" ]; then
    passed=$((passed + 1))
    return
  fi
  failed=$((failed + 1))
  echo "$what: the Windows trace or hashes differ from the Linux ones"
  diff <(printf '%s\n' "$windows") <(printf '%s\n' "$linux") | awk '
    /^</ && !w { w = substr($0, 3) } /^>/ && !l { l = substr($0, 3) }
    END { print "  Windows: " w; print "  Linux:   " l }'
}
wine_run=$1 windows_replay=$2 linux_replay=$3
for script in "$4"/*.keys; do
  compare "$(basename "$script") as typed" --script "$script" --frames 2000 --every 50
  compare "$(basename "$script") with the autopilot" --script "$script" --frames 2000 --every 50 --autopilot 5
done
[ $((passed + failed)) -gt 0 ] || { echo "no key scripts in $4"; failed=1; }
compare "the autopilot alone" --autopilot 5 --frames 20000 --every 500
finish
