#!/usr/bin/env bash
# Snapshots across the four builds, printed as tables, never asserted:
# - the synctest (8 frames wound back at every frame) over FRAMES autopilot frames and over each key
#   script, on each build (arm64 under qemu-user on a tenth of the frames);
# - for each key script, the snapshot after frame 1,000 from each build, its bytes' checksum, and each
#   build's snapshot restored in every build (4 x 4), run on to frame 3,000: "same" when its trace and
#   state hashes from frame 1,001 on are the Linux build's uninterrupted run's to the byte.
#   bench/snapshot-tables.sh RELEASE WINDOWS WEB ARM64 [FRAMES]   (build trees; FRAMES 20,000)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: snapshot-tables.sh RELEASE-BUILD WINDOWS-BUILD WEB-BUILD ARM64-BUILD [FRAMES]"
[ $# -ge 4 ] || { echo "$usage" >&2; exit 2; }
frames=${5:-20000}
names=(Linux Windows wasm arm64)
linux=("$1/tools/kelvaron-replay")
windows=(bash "$here/../scripts/wine-run.sh" "$2/tools/kelvaron-replay.exe")
wasm=(node "$3/kelvaron-replay.js")
arm64=(qemu-aarch64-static "$4/tools/kelvaron-replay")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
replay() {  # BUILD-NAME REPLAY-OPTIONS...
  local -n command=$1
  shift
  "${command[@]}" "$@" | tr -d '\r'
}
scripts=("$here"/scripts/*.keys)

echo "Synctest, 8 frames wound back at every frame (seconds in brackets):"
printf '| build | %s autopilot frames |' "$frames"
for keys in "${scripts[@]}"; do printf ' %s |' "$(basename "$keys")"; done
printf '\n|---|---|%s\n' "$(printf -- '---|%.0s' "${scripts[@]}")"
for name in "${names[@]}"; do
  n=$frames
  [ "$name" = arm64 ] && n=$((frames / 10))
  printf '| %s |' "$name"
  for run in autopilot "${scripts[@]}"; do
    start=$SECONDS
    if [ "$run" = autopilot ]; then
      said=$(replay "${name,,}" --frames "$n" --autopilot 5 --synctest 8 2>&1)
    else
      said=$(replay "${name,,}" --script "$run" --frames "$((n / 10))" --synctest 8 2>&1)
    fi
    printf ' %s (%d s) |' "${said//$'\n'/ }" $((SECONDS - start))
  done
  echo
done

for keys in "${scripts[@]}"; do
  script=$(basename "$keys")
  replay linux --script "$keys" --frames 3000 --every 50 --hash | awk '$2 > 1000' > "$work/uninterrupted"
  echo
  echo "$script: the snapshot after frame 1,000, and each build's restored in each (rows made, columns run):"
  for from in "${names[@]}"; do
    replay "${from,,}" --script "$keys" --frames 1000 --every 1000 --save-snapshot 1000 "$work/$from.snap" > /dev/null
  done
  printf '| made by | bytes | checksum |'
  for to in "${names[@]}"; do printf ' %s |' "$to"; done
  printf '\n|---|---|---|---|---|---|---|\n'
  for from in "${names[@]}"; do
    printf '| %s | %s | %s |' "$from" "$(stat -c %s "$work/$from.snap" 2> /dev/null || echo none)" \
      "$(cksum < "$work/$from.snap" 2> /dev/null | cut -d' ' -f1)"
    for to in "${names[@]}"; do
      if cmp -s "$work/uninterrupted" <(replay "${to,,}" --script "$keys" --from-snapshot "$work/$from.snap" \
        --frames 3000 --every 50 --hash); then
        printf ' same |'
      else
        printf ' DIFFERENT |'
      fi
    done
    echo
  done
done
