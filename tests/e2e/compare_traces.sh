#!/usr/bin/env bash
# Another build's replay (the Windows build's under Wine, the wasm one under node, the arm64 one under
# qemu-user) against the Linux build's: every key script in the folders as typed and with the
# autopilot driving over 2,000 frames, every recording as it was recorded to its last frame, and the
# autopilot alone over 20,000 frames for each seed given. The
# traces and the whole state's hash after each traced frame must be byte for byte the same, and
# finite: a NaN prints as "nan" on one machine and "-nan" on another, and two NaNs prove nothing.
# The physics calls the C library's float functions, so this also proves both builds link
# libsamemath's.
#   compare_traces.sh NAME LINUX-REPLAY 'SCRIPT-FOLDER...' 'SEED...' REPLAY-COMMAND...
set -u
. "$(dirname "$0")/../../scripts/lib/checks.sh"
name=$1 linux=$2 scripts=$3 seeds=$4
shift 4
other=("$@")
compare() {  # WHAT REPLAY-OPTIONS...
  local what=$1 ours theirs
  shift
  ours=$("${other[@]}" "$@" --hash | tr -d '\r')
  theirs=$("$linux" "$@" --hash)
  if [[ $theirs == *$'\nhash '* ]] && [ "$ours" = "$theirs" ] && ! grep -qiE 'nan|inf' <<< "$theirs"; then
    passed=$((passed + 1))
    return
  fi
  failed=$((failed + 1))
  echo "$what: the $name trace or hashes differ from the Linux ones, or are not finite"
  diff <(printf '%s\n' "$ours") <(printf '%s\n' "$theirs") | awk -v name="$name:" '
    /^</ && !w { w = substr($0, 3) } /^>/ && !l { l = substr($0, 3) }
    END { printf "  %-8s %s\n  %-8s %s\n", name, w, "Linux:", l }'
}
for folder in $scripts; do
  found=0
  for keys in "$folder"/*.keys; do
    [ -f "$keys" ] || continue
    found=1
    if grep -q '^kelvaron-recording ' "$keys"; then
      compare "$(basename "$keys") as recorded" --script "$keys" --every 50
    else
      compare "$(basename "$keys") as typed" --script "$keys" --frames 2000 --every 50
      compare "$(basename "$keys") with the autopilot" --script "$keys" --frames 2000 --every 50 --autopilot 5
    fi
  done
  [ $found -eq 1 ] || { echo "no key scripts or recordings in $folder"; failed=$((failed + 1)); }
done
for seed in $seeds; do
  compare "the autopilot alone, seed $seed" --autopilot "$seed" --frames 20000 --every 500
done
finish
