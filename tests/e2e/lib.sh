# Helpers for the end-to-end tests and the headless run: a private Xvfb display, waiting for windows
# and for conditions under a deadline, screenshots. Sourced by the test scripts; each test script
# prints "N passed, N failed" and exits non-zero on failure.
# Every wait polls for what it waits for, so a loaded machine only makes it take longer.

passed=0
failed=0
work=$(mktemp -d)
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"
  else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
# The same for a value read off a program: on failure it says what was read.
check_equal() {  # DESCRIPTION EXPECTED ACTUAL
  check "$1" [ "$2" = "$3" ]
  [ "$2" = "$3" ] || echo "   expected '$2', read '$3'"
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# Runs the command until it succeeds, every tenth of a second, for at most SECONDS.
wait_until() {  # SECONDS COMMAND...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

# Starts Xvfb on a display number it picks itself, at the given screen size, and waits until it
# answers.
start_display() {  # [WxHxD [XVFB-OPTION...]]
  local size=${1:-1024x768x24} n=""
  shift $(($# > 0 ? 1 : 0))
  : > "$work/display"
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset "$@" 3> "$work/display" > "$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  # Xvfb writes the number once it listens.
  display_named() { n=$(cat "$work/display"); [ -n "$n" ] || ! kill -0 "$xvfb_pid" 2> /dev/null; }
  wait_until 60 display_named
  if [ -z "$n" ]; then
    echo "could not start Xvfb:" >&2; cat "$work/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$n"
  wait_until 30 xdpyinfo > /dev/null 2>&1
}
end_display() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2> /dev/null && wait "$xvfb_pid" 2> /dev/null
}
stop_display() {
  end_display
  rm -rf "$work"
}

# The ids of the windows with exactly this name (xdotool cannot read names stored as UTF-8).
find_windows() {  # NAME
  xwininfo -root -tree 2> /dev/null | awk -v name="\"$1\":" 'index($0, name) { print $1 }'
}
window_count_is() {  # NAME COUNT
  [ "$(find_windows "$1" | wc -l)" -eq "$2" ]
}
# Prints the id of the first window with this name, waiting up to the given seconds.
wait_for_window() {  # NAME [SECONDS]
  local deadline=$((SECONDS + ${2:-30})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(find_windows "$1" | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Waits for a process to end; false, showing what it is doing, if it does not end in time.
wait_for_exit_of() {  # PID [SECONDS]
  wait_until "${2:-20}" eval "! kill -0 $1 2> /dev/null" && return 0
  ps -o pid=,stat=,etime=,args= -p "$1" >&2
  return 1
}
# The same for a child of this shell, leaving its exit status in $status.
wait_for_exit() {  # PID [SECONDS]
  wait_for_exit_of "$@" || return 1
  wait "$1"; status=$?
  return 0
}

# Screenshots and their colours: counts pixels of a colour class in a region of a PNG.
shot() { import -window root "$1"; }
count_colour() {  # FILE WxH+X+Y red|green|blue|yellow|lit
  local expr
  case $3 in
    red) expr='r>0.6&&g<0.25&&b<0.25' ;; green) expr='g>0.8&&r<0.25&&b<0.4' ;;
    blue) expr='b>0.6&&r<0.25&&g<0.25' ;; yellow) expr='r>0.6&&g>0.6&&b<0.25' ;;
    lit) expr='r+g+b>0' ;;
  esac
  convert "$1" -crop "$2" +repage -fx "($expr)?1:0" -format '%[fx:int(mean*w*h+0.5)]' info:
}
# Takes screenshots into FILE until the region holds more than MIN pixels of the colour, for at
# most SECONDS: a window is mapped before its first frame is drawn.
wait_for_colour() {  # FILE WxH+X+Y COLOUR MIN [SECONDS]
  shot_has_colour() { shot "$1" && [ "$(count_colour "$1" "$2" "$3")" -gt "$4" ]; }
  wait_until "${5:-30}" shot_has_colour "$1" "$2" "$3" "$4"
}
# How many pixels of a region differ between two screenshots.
count_changed() {  # FILE1 FILE2 WxH+X+Y
  convert "$1" -crop "$3" +repage "$work/a.png"
  convert "$2" -crop "$3" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
# Takes screenshots into FILE until the region differs from BEFORE in more than MIN pixels, for at
# most SECONDS.
wait_for_change() {  # BEFORE FILE WxH+X+Y MIN [SECONDS]
  shot_changed() { shot "$2" && [ "$(count_changed "$1" "$2" "$3")" -gt "$4" ]; }
  wait_until "${5:-30}" shot_changed "$1" "$2" "$3" "$4"
}
# Holds the keys down until the region has changed by more than MIN pixels from BEFORE (left in
# FILE), for at most SECONDS, then lets them go.
hold_until_changed() {  # BEFORE FILE WxH+X+Y MIN SECONDS KEYS...
  local before=$1 file=$2 region=$3 min=$4 seconds=$5 result=0; shift 5
  xdotool keydown "$@"
  wait_for_change "$before" "$file" "$region" "$min" "$seconds" || result=1
  xdotool keyup "$@"
  return $result
}
# Gives the window the keyboard once it is mapped (Wine names its windows before it maps them).
focus_window() {  # WINDOW
  wait_until 60 eval "xwininfo -id $1 2> /dev/null | grep -q IsViewable" && xdotool windowfocus --sync "$1" 2> /dev/null
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
# SECONDS), then gives the focus to another window, which gets the key-ups.
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
# True once REGION has changed by fewer than CALM pixels in half a second twice running, for at
# most SECONDS: what it shows has come to a stand.
comes_to_a_stand() {  # REGION CALM SECONDS
  local calm=0 deadline=$((SECONDS + $3))
  while [ $SECONDS -lt $deadline ]; do
    shot "$work/a.png"; sleep 0.5; shot "$work/b.png"
    if [ "$(count_changed "$work/a.png" "$work/b.png" "$1")" -lt "$2" ]; then calm=$((calm + 1)); else calm=0; fi
    [ $calm -ge 2 ] && return 0
  done
  return 1
}
