# shellcheck shell=bash
# Keys and the clipboard on the private display, through xdotool and xclip: holding keys until
# the screen changes, answering message boxes, Escape, reading a field's text. Needs wait.sh,
# display.sh and screen.sh. Sourced by the end-to-end tests, the package proofs, scripts/run.sh's
# headless run and the bench figures.

# Holds the keys down until the region has changed by more than MIN pixels from BEFORE (left in
# FILE), for at most SECONDS, then lets them go.
hold_until_changed() {  # BEFORE FILE WxH+X+Y MIN SECONDS KEYS...
  local before=$1 file=$2 region=$3 min=$4 seconds=$5 result=0; shift 5
  xdotool keydown "$@"
  wait_for_change "$before" "$file" "$region" "$min" "$seconds" || result=1
  xdotool keyup "$@"
  return $result
}
# Presses KEY in the window named NAME until that window has gone, for at most SECONDS: a box that
# is mapped may not take keys yet.
answer_box() {  # NAME KEY [SECONDS]
  local deadline=$((SECONDS + ${3:-60})) id
  while id=$(find_windows "$1" | head -n 1); [ -n "$id" ]; do
    [ $SECONDS -ge $deadline ] && return 1
    focus_window "$id"
    xdotool key "$2"
    wait_until 5 window_count_is "$1" 0 && return 0
  done
}
# Holds Escape in the window until the window has gone (the programs read a key's state once a
# frame, so a press shorter than a frame of a loaded machine can go unseen), for at most SECONDS.
# The release goes to whatever has the focus then, so the server never keeps Escape held for the
# next program.
press_escape() {  # WINDOW [SECONDS]
  local result=0
  focus_window "$1"
  xdotool keydown Escape
  wait_until "${2:-60}" eval "! xwininfo -id $1 > /dev/null 2>&1" || result=1
  xdotool keyup Escape
  return $result
}
# The clipboard's text after COMMAND... copies into it: the clipboard is first set to a marker (xclip
# serves it until another client takes the clipboard), and the copy is repeated until the text
# differs from it. Fails after SECONDS.
copied_text() {  # SECONDS COMMAND...
  local deadline=$((SECONDS + $1)) marker="kelvaron-test-marker" text; shift
  printf %s "$marker" | xclip -i -selection clipboard > /dev/null 2>&1 &
  wait_until 10 eval '[ "$(timeout 2 xclip -o -selection clipboard 2> /dev/null)" = "$marker" ]' || return 1
  while [ $SECONDS -lt $deadline ]; do
    "$@"
    # Wine hands its clipboard to X seconds later on a loaded machine; copying again before then
    # starts the hand-over anew.
    for _ in $(seq 50); do
      text=$(timeout 5 xclip -o -selection clipboard 2> /dev/null) || text=$marker
      [ "$text" != "$marker" ] && { printf '%s\n' "$text"; return 0; }
      sleep 0.1
    done
  done
  return 1
}
# Holds KEYS in WINDOW until REGION has changed by more than 2000 pixels (false if not within
# SECONDS), then gives the focus to another window, which gets the key-ups. That window's process
# is $note_pid, for the caller to end.
drive_then_lose_focus() {  # WINDOW REGION SECONDS KEYS...
  local win=$1 region=$2 seconds=$3 note result=0; shift 3
  xmessage -geometry 200x100+100+600 elsewhere &
  note_pid=$!
  note=$(wait_for_window xmessage)
  focus_window "$win"
  shot "$work/before.png"
  xdotool keydown "$@"
  wait_for_change "$work/before.png" "$work/driving.png" "$region" 2000 "$seconds" || result=1
  xdotool windowfocus --sync "$note"
  xdotool keyup "$@"
  return $result
}
