#!/usr/bin/env bash
# Every key script in a folder replayed by the Windows build under Wine and by the Linux build, as
# typed and with the autopilot driving: the traces must be byte for byte the same. The physics calls
# the C library's float functions, so this also proves both builds link libsamemath's.
#   compare_traces.sh WINE-RUN WINDOWS-REPLAY LINUX-REPLAY SCRIPT-FOLDER
set -u
. "$(dirname "$0")/../../scripts/lib/checks.sh"
for script in "$4"/*.keys; do
  for extra in "" "--autopilot 5"; do
    # The extra options are one word each: splitting them is what is meant.
    # shellcheck disable=SC2086
    args=(--script "$script" --frames 2000 --every 50 $extra)
    windows=$("$1" "$2" "${args[@]}" | tr -d '\r')
    linux=$("$3" "${args[@]}")
    if [ -n "$linux" ] && [ "$windows" = "$linux" ]; then
      passed=$((passed + 1))
      continue
    fi
    failed=$((failed + 1))
    echo "$(basename "$script") ${extra:-as typed}: the Windows trace differs from the Linux trace"
    diff <(printf '%s\n' "$windows") <(printf '%s\n' "$linux") | awk '
      /^</ && !w { w = substr($0, 3) } /^>/ && !l { l = substr($0, 3) }
      END { print "  Windows: " w; print "  Linux:   " l }'
  done
done
[ $((passed + failed)) -gt 0 ] || { echo "no key scripts in $4"; failed=1; }
finish
