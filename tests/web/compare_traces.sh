#!/usr/bin/env bash
# The wasm replay under node against the Linux build's replay: every key script as typed over the
# frames of its recorded trace, and two autopilot seeds over 20,000 frames. The traces and the whole
# state's hash after each traced frame, byte for byte.
#   compare_traces.sh WEB-REPLAY-JS LINUX-REPLAY SCRIPT-FOLDER
set -u
web=$1 linux=$2 scripts=$3
passed=0 failed=0
compare() {
  local what=$1
  shift
  local ours theirs
  ours=$(node "$web" "$@" --hash)
  theirs=$("$linux" "$@" --hash)
  if [[ $theirs == *$'\nhash '* ]] && [ "$ours" = "$theirs" ]; then
    passed=$((passed + 1))
    return
  fi
  failed=$((failed + 1))
  echo "$what: the web trace or hashes differ from the Linux ones"
  diff <(printf '%s\n' "$ours") <(printf '%s\n' "$theirs") | awk '
    /^</ && !w { w = substr($0, 3) } /^>/ && !l { l = substr($0, 3) }
    END { print "  web:   " w; print "  Linux: " l }'
}
for keys in "$scripts"/*.keys; do
  compare "$(basename "$keys")" --script "$keys" --frames 2000 --every 50
done
for seed in 5 17; do
  compare "autopilot seed $seed" --autopilot "$seed" --frames 20000 --every 500
done
[ $((passed + failed)) -gt 2 ] || { echo "no key scripts in $scripts"; failed=$((failed + 1)); }
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
