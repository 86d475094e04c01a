#!/usr/bin/env bash
# The replay's snapshots: --synctest winds every frame back 8 frames and runs them again without a
# difference, over each key script and with the autopilot; a run saved after frame 1,000 and
# started again from there traces what the uninterrupted run traces, and the same snapshot twice
# is the same bytes; a snapshot cut short, damaged, of another format or not one at all is refused
# with why and status 2. About 4 s of one core, most of it the synctests' 20,700 frames.
#   snapshot_replay_test.sh REPLAY SCRIPT-FOLDER
set -u
. "$(dirname "$0")/../scripts/lib/checks.sh"
replay=$1 folder=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
synctest() {  # FRAMES REPLAY-OPTIONS...
  local frames=$1
  shift
  check_equal "the synctest over $frames frames of $*" \
    "synctest: $frames frames, rolled back 8 at every frame, no difference" \
    "$("$replay" "$@" --frames "$frames" --synctest 8)"
}
for keys in "$folder"/*.keys; do
  synctest 800 --script "$keys"
done
synctest 700 --script "$keys" --autopilot 5  # the autopilot drives from frame 300

"$replay" --script "$keys" --frames 1500 --every 50 --hash | awk '$2 > 1000' > "$work/uninterrupted"
"$replay" --script "$keys" --frames 1000 --every 1000 --save-snapshot 1000 "$work/a.snap" > /dev/null
"$replay" --script "$keys" --frames 1200 --every 1000 --save-snapshot 1000 "$work/b.snap" > /dev/null
check "a snapshot of the same frame is the same bytes from two runs" cmp -s "$work/a.snap" "$work/b.snap"
check "a run from the snapshot traces what the uninterrupted run traces after its frame" \
  cmp -s "$work/uninterrupted" <("$replay" --script "$keys" --from-snapshot "$work/a.snap" --frames 1500 --every 50 --hash)

refused() {  # WHAT FILE REASON [OPTIONS...]: refused with status 2 and the reason
  local what=$1 file=$2 reason=$3 said
  shift 3
  said=$("$replay" --script "$keys" --from-snapshot "$file" "$@" 2>&1 > /dev/null)
  check "$what is refused with status 2" [ $? -eq 2 ]
  check "$what is refused: $reason" grep -q "$reason" <<< "$said"
  grep -q "$reason" <<< "$said" || echo "   said: $said"
}
head -c 5000 "$work/a.snap" > "$work/short.snap"
refused "a snapshot cut short" "$work/short.snap" "cut short: 5000 of its"
cp "$work/a.snap" "$work/damaged.snap"
printf '\x7f' | dd of="$work/damaged.snap" bs=1 seek=9000 conv=notrunc status=none
refused "a damaged snapshot" "$work/damaged.snap" "damaged: its checksum does not match"
cp "$work/a.snap" "$work/format.snap"
printf '\x09' | dd of="$work/format.snap" bs=1 seek=8 conv=notrunc status=none
refused "a snapshot of another format" "$work/format.snap" "a snapshot of format 9, and this build reads format 1"
refused "a key script given as a snapshot" "$keys" "not a Kelvaron snapshot"
refused "a snapshot that is not there" "$work/none.snap" "No such file"
refused "a snapshot of frame 1000 with --frames 900" "$work/a.snap" "nothing to run after it" --frames 900
finish
