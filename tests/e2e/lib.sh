# Helpers for the end-to-end tests: a private Xvfb display, waiting for windows, screenshots.
# Sourced by the test scripts; each test script prints "N passed, N failed" and exits non-zero on failure.

passed=0
failed=0
work=$(mktemp -d)
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"
  else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# Starts Xvfb on the first free display from 90 on, at the given screen size.
start_display() {
  local size=${1:-1024x768x24} n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "$size" -nolisten tcp -noreset > "$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && return 0; sleep 0.1; done
    kill "$xvfb_pid" 2>/dev/null
  done
  echo "could not start Xvfb" >&2
  return 1
}
stop_display() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}

# The ids of the windows with exactly this name (xdotool cannot read names stored as UTF-8).
find_windows() {  # NAME
  xwininfo -root -tree 2>/dev/null | awk -v name="\"$1\":" 'index($0, name) { print $1 }'
}
# Prints the id of the first window with this name, waiting up to the given seconds.
wait_for_window() {  # NAME [SECONDS]
  local deadline=$((SECONDS + ${2:-20})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(find_windows "$1" | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
# Waits for a process to end; false if it does not end in time.
wait_for_exit_of() {  # PID [SECONDS]
  local deadline=$((SECONDS + ${2:-10}))
  while kill -0 "$1" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
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
# How many pixels of a region differ between two screenshots.
count_changed() {  # FILE1 FILE2 WxH+X+Y
  convert "$1" -crop "$3" +repage "$work/a.png"
  convert "$2" -crop "$3" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
# Presses and releases Escape in the focused window. The release goes to whatever has the focus once
# the window has gone, so the server never keeps Escape held for the next program.
press_escape() {  # WINDOW
  xdotool windowfocus --sync "$1" 2> /dev/null
  xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
}
