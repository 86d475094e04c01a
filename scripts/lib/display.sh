# shellcheck shell=bash
# A private Xvfb display and the windows on it, and the script's scratch folder $work, which
# stop_display removes. Needs wait.sh. Sourced by the end-to-end tests, the package proofs,
# scripts/run.sh's headless run and the bench figures, each starting its own display.

work=$(mktemp -d)

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
  # A Wayland desktop's programs would draw there instead, as kelvaron's full run does.
  unset WAYLAND_DISPLAY
  wait_until 30 xdpyinfo > /dev/null 2>&1
}
end_display() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2> /dev/null && wait "$xvfb_pid" 2> /dev/null
}
stop_display() {
  end_display
  rm -rf "$work"
}

# The ids of the windows whose line in xwininfo's tree holds TEXT (xdotool cannot read names
# stored as UTF-8).
windows_with() {  # TEXT
  xwininfo -root -tree 2> /dev/null | awk -v text="$1" 'index($0, text) { print $1 }'
}
# The ids of the windows with exactly this name.
find_windows() {  # NAME
  windows_with "\"$1\":"
}
window_count_is() {  # NAME COUNT
  [ "$(find_windows "$1" | wc -l)" -eq "$2" ]
}
# Prints the id of the first window with this name, waiting up to the given seconds.
wait_for_window() {  # NAME [SECONDS]
  first_output "${2:-30}" find_windows "$1"
}
# The same for the first window whose name starts with the text.
wait_for_window_prefix() {  # TEXT [SECONDS]
  first_output "${2:-30}" windows_with "\"$1"
}
# The frame rate the program writes into its window's title, quoted, as "FPS: 29.9".
fps_titles() {
  xwininfo -root -tree | grep -o '"FPS: [0-9.]*"'
}
# The private display's open descriptors: its listening sockets and one per client.
x_connections() { ls "/proc/$xvfb_pid/fd" | wc -l; }
# Checks (checks.sh) that the display's connections were as many AFTER as BEFORE; if not, says who
# kept one.
check_x_connections() {  # BEFORE AFTER
  check "the X server has as many connections as before" [ "$2" -eq "$1" ]
  [ "$2" -eq "$1" ] || x_clients | sed "s/^/   still connected: /"
}
# The processes at the other end of the display's connections, one line each, to say who kept one,
# and the server's descriptors that are not sockets.
x_clients() {
  ss -xpH | awk -v server="pid=$xvfb_pid," '
    index($0, server) { ours[$8] = 1; next }
    { who[$6] = $NF }
    END { for (peer in ours) if (peer != 0) print (peer in who ? who[peer] : "no process holds " peer) }'
  find "/proc/$xvfb_pid/fd" -mindepth 1 -printf '%l\n' | grep -v '^socket:'
}
# Starts the tests' host window (tests/e2e/HostWindow.cpp) of the given size, leaving its id in
# $host and its process in $host_pid.
start_host_window() {  # PROGRAM WIDTH HEIGHT
  rm -f "$work/host.id"  # not the last host's id, before this one has written its own
  "$1" "$2" "$3" > "$work/host.id" &
  host_pid=$!
  wait_until 30 [ -s "$work/host.id" ]
  host=$(cat "$work/host.id")
}
# Gives the window the keyboard once it is mapped (Wine names its windows before it maps them).
focus_window() {  # WINDOW
  wait_until 60 eval "xwininfo -id $1 2> /dev/null | grep -q IsViewable" && xdotool windowfocus --sync "$1" 2> /dev/null
}
