#!/usr/bin/env bash
# The replay and the program play a clip: the replay traces the clip's frames with the state hashes
# the run had at them (the run's whole recording, --record's, gives those), the program drawn on a
# private Xvfb display ends at the run's hash, and a damaged clip is refused with why and status
# 2, by the program before any window. The clip and the run's recording are the keyscript test's
# (clip.keys, clip-run.keys: 1,900 frames, the clip from frame 120). About 5 s, most of it the
# program drawing 300 of the clip's frames.
#   clip_replay_test.sh REPLAY KELVARON FOLDER
set -u
for part in checks wait display settings; do . "$(dirname "$0")/../scripts/lib/$part.sh"; done
replay=$1 kelvaron=$2 folder=$3
trap stop_display EXIT
clip=$folder/clip.keys
check "the keyscript test left a clip and its run's recording" [ -s "$clip" ] && [ -s "$folder/clip-run.keys" ]

"$replay" --script "$folder/clip-run.keys" --every 30 --hash | grep '^hash ' > "$work/run"
"$replay" --script "$clip" --every 30 --hash | grep '^hash ' > "$work/clip"
check_equal "the clip traces its first hash after its world's frame" "hash 150" "$(head -n 1 "$work/clip" | cut -d ' ' -f 1-2)"
check "... and every hash of the clip is the run's at that frame, to its last" \
  cmp -s "$work/clip" <(awk '$2 > 120' "$work/run")

# Cut to end at frame 420, to stay cheap drawn.
awk '$1 == "frames" { $2 = 420 } !($1 ~ /^[0-9]+$/ && $1 > 420)' "$clip" > "$work/cut.keys"
start_display 640x480x24 || exit 1
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
write_keyfile screenWidth=640 screenHeight=480  # the display's own size: no question
check_equal "the program plays the clip drawn to the run's hash" \
  "kelvaron: played frames 121 to 420 of $work/cut.keys, state hash $(awk '$2 == 420 { print $3 }' "$work/run")" \
  "$(timeout 120 "$kelvaron" --play "$work/cut.keys" 2> /dev/null | grep '^kelvaron: played')"
end_display

refused() {  # WHAT FILE REASON: refused by the replay and by the program with status 2 and the reason
  local what=$1 file=$2 reason=$3 said
  said=$("$replay" --script "$file" 2>&1 > /dev/null)
  check "$what is refused by the replay with status 2" [ $? -eq 2 ]
  check "... saying: $reason" grep -q "$reason" <<< "$said"
  grep -q "$reason" <<< "$said" || echo "   said: $said"
  said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$kelvaron" --play "$file" 2>&1 > /dev/null)
  check "... and by the program with status 2" [ $? -eq 2 ]
  check "... saying: $reason" grep -q "$reason" <<< "$said"
  grep -q "$reason" <<< "$said" || echo "   said: $said"
}
# A character of the world's bytes changed, past the snapshot's header.
awk '/^snapshot / && !done { $2 = substr($2, 1, 199) (substr($2, 200, 1) == "A" ? "B" : "A") substr($2, 201); done = 1 } 1' \
  "$clip" > "$work/damaged.keys"
refused "a clip whose world is damaged" "$work/damaged.keys" "the clip's snapshot is damaged: its checksum does not match"
grep -v '^snapshot ' "$clip" > "$work/bare.keys"
refused "a clip without its world" "$work/bare.keys" "the clip's header lacks its snapshot lines"
sed 's/^kelvaron-recording 3$/kelvaron-recording 2/' "$clip" > "$work/old.keys"
refused "a clip claiming an older format" "$work/old.keys" "'from' belongs to a clip, a recording of format 3"
said=$("$replay" --script "$clip" --from-snapshot "$work/none.snap" 2>&1 > /dev/null)
check "a clip with --from-snapshot is refused with status 2" [ $? -eq 2 ]
finish
