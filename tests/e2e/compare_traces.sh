#!/usr/bin/env bash
# Another build's replay (the Windows build's under Wine, the wasm one under node, the arm64 one under
# qemu-user) against the Linux build's: every key script in the folders as typed and with the
# autopilot driving over 2,000 frames, every recording as it was recorded to its last frame, and the
# autopilot alone over 20,000 frames for each seed given. The
# traces and the whole state's hash after each traced frame must be byte for byte the same, and
# finite: a NaN prints as "nan" on one machine and "-nan" on another, and two NaNs prove nothing.
# The physics calls the C library's float functions, so this also proves both builds link
# libsamemath's.
# For each key script, too: the snapshot after frame 1,000 must be the Linux one's bytes; the Linux
# snapshot, restored here, must run on to frame 1,100 with the Linux traces; and the synctest (8
# frames wound back at every frame) over SYNC-FRAMES frames, the autopilot driving from frame 300,
# must find no difference. That adds 100 frames and SYNC-FRAMES x 9 to each key script's.
#   compare_traces.sh NAME LINUX-REPLAY 'SCRIPT-FOLDER...' 'SEED...' SYNC-FRAMES REPLAY-COMMAND...
set -u
. "$(dirname "$0")/../../scripts/lib/checks.sh"
name=$1 linux=$2 scripts=$3 seeds=$4 sync_frames=$5
shift 5
other=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# With SNAPSHOT-FILE each build saves the world after frame 1,000 too, the Linux one into that file.
compare() {  # WHAT [--snapshot SNAPSHOT-FILE] REPLAY-OPTIONS...
  local what=$1 ours theirs save_ours=() save_theirs=()
  shift
  if [ "$1" = --snapshot ]; then
    save_ours=(--save-snapshot 1000 "$2.$name") save_theirs=(--save-snapshot 1000 "$2")
    shift 2
  fi
  ours=$("${other[@]}" "$@" "${save_ours[@]}" --hash | tr -d '\r')
  theirs=$("$linux" "$@" "${save_theirs[@]}" --hash)
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
# A key script's snapshot after frame 1,000 in both builds, the Linux one restored here, and the
# synctest here.
compare_snapshots() {  # KEYS
  local keys=$1 snapshot ours expected
  snapshot=$work/$(basename "$keys" .keys).snap
  touch "$snapshot.$name"  # a save goes over a file already there (Windows' rename would not)
  compare "$(basename "$keys") as typed" --snapshot "$snapshot" --script "$keys" --frames 2000 --every 50
  check "$(basename "$keys"): the $name snapshot after frame 1000 is the Linux one's bytes" \
    cmp -s "$snapshot.$name" "$snapshot"
  compare "$(basename "$keys") from the Linux snapshot" --script "$keys" --from-snapshot "$snapshot" --frames 1100 --every 25
  expected="synctest: $sync_frames frames, rolled back 8 at every frame, no difference"
  ours=$("${other[@]}" --script "$keys" --frames "$sync_frames" --autopilot 5 --synctest 8 | tr -d '\r')
  check_equal "$(basename "$keys"): the $name synctest" "$expected" "$ours"
}
# The comparisons run as jobs, as many at once as there are processors, the longest first; each
# job's verdicts and counts go to files of its own, printed in order at the end.
job_count=0
job() {  # COMMAND...
  while [ "$(jobs -pr | wc -l)" -ge "$(nproc)" ]; do wait -n; done
  job_count=$((job_count + 1))
  (passed=0 failed=0; "$@"; echo "$passed $failed" > "$work/job.$job_count.counts") > "$work/job.$job_count.out" 2>&1 &
}
for seed in $seeds; do
  job compare "the autopilot alone, seed $seed" --autopilot "$seed" --frames 20000 --every 500
done
for folder in $scripts; do
  found=0
  for keys in "$folder"/*.keys; do
    [ -f "$keys" ] || continue
    found=1
    if grep -q '^kelvaron-recording ' "$keys"; then
      job compare "$(basename "$keys") as recorded" --script "$keys" --every 50
    else
      job compare_snapshots "$keys"
      job compare "$(basename "$keys") with the autopilot" --script "$keys" --frames 2000 --every 50 --autopilot 5
    fi
  done
  [ $found -eq 1 ] || { echo "no key scripts or recordings in $folder"; failed=$((failed + 1)); }
done
wait
for ((i = 1; i <= job_count; ++i)); do
  cat "$work/job.$i.out"
  read -r job_passed job_failed < "$work/job.$i.counts" 2> /dev/null || { job_passed=0 job_failed=1; }
  passed=$((passed + job_passed)) failed=$((failed + job_failed))
done
finish
