# shellcheck shell=bash
# A private headless sway (wlroots' headless backend drawn by pixman, no XWayland) with outputs of the
# given sizes side by side, HEADLESS-1 on the left; grim's screenshots of its outputs; a keyboard and
# the tests' virtual pointer. sway refuses to run as root: as root it runs as nobody in a runtime
# folder of its own, whose socket root's clients reach all the same. Needs wait.sh, display.sh
# ($work) and screen.sh. Sourced by the Wayland end-to-end test and bench/wayland-figures.sh.

# Starts sway and waits until it has every output at its size, exporting WAYLAND_DISPLAY and
# XDG_RUNTIME_DIR for the clients and leaving its process in $sway_pid.
start_sway() {  # WIDTHxHEIGHT...
  local x=0 n=0 size as=()
  sway_dir=$(mktemp -d)
  {
    echo "xwayland disable"
    for size in "$@"; do
      n=$((n + 1))
      echo "output HEADLESS-$n mode $size position $x 0"
      x=$((x + ${size%x*}))
    done
  } > "$sway_dir/config"
  if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$sway_dir"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$sway_dir" HOME="$sway_dir" WLR_BACKENDS=headless \
    WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=$n WLR_LIBINPUT_NO_DEVICES=1 "${as[@]}" \
    sway -c "$sway_dir/config" > "$work/sway.log" 2>&1 &
  sway_pid=$!
  export XDG_RUNTIME_DIR=$sway_dir
  sway_socket() { WAYLAND_DISPLAY=$(cd "$sway_dir" && ls wayland-? 2> /dev/null | head -n 1); [ -n "$WAYLAND_DISPLAY" ]; }
  outputs_ready() {
    [ "$(SWAYSOCK=$(ls "$sway_dir"/sway-ipc.*.sock) swaymsg -t get_outputs -r 2> /dev/null |
         grep -c '"current_mode"')" -eq "$n" ]
  }
  if ! wait_until 30 sway_socket || ! wait_until 30 outputs_ready; then
    echo "could not start sway:" >&2; cat "$work/sway.log" >&2
    return 1
  fi
  export WAYLAND_DISPLAY
}
stop_sway() {
  [ -n "${keyboard_pid:-}" ] && kill "$keyboard_pid" 2> /dev/null
  [ -n "${sway_pid:-}" ] && kill "$sway_pid" 2> /dev/null && wait "$sway_pid" 2> /dev/null
  [ -n "${sway_dir:-}" ] && rm -rf "$sway_dir"
}

# A keyboard plugged in for as long as the compositor runs, as a desktop has one: each wtype that
# types adds a keyboard of its own, and a seat with none until then would gain one only as its first
# key went down.
plug_in_keyboard() {
  wtype -k Shift_L -s 86400000 &
  keyboard_pid=$!
}

# grim's screenshot of one output.
output_shot() {  # OUTPUT FILE
  grim -o "$1" "$2"
}
# Takes screenshots of the output into FILE until the region holds more than MIN pixels of the
# colour, for at most SECONDS.
wait_for_output_colour() {  # OUTPUT FILE WxH+X+Y COLOUR MIN [SECONDS]
  output_has_colour() { output_shot "$1" "$2" && [ "$(count_colour "$2" "$3" "$4")" -gt "$5" ]; }
  wait_until "${6:-30}" output_has_colour "$1" "$2" "$3" "$4" "$5"
}
# The same until the region holds none of the colour.
wait_for_output_without() {  # OUTPUT FILE WxH+X+Y COLOUR [SECONDS]
  output_without() { output_shot "$1" "$2" && [ "$(count_colour "$2" "$3" "$4")" -eq 0 ]; }
  wait_until "${5:-30}" output_without "$1" "$2" "$3" "$4"
}

# The tests' virtual pointer (tests/e2e/VirtualPointer.cpp) over a space of WIDTH x HEIGHT, as a
# coprocess that stays plugged in until stop_pointer.
start_pointer() {  # PROGRAM WIDTH HEIGHT
  local line
  coproc pointer_process { "$1" "$2" "$3"; }
  read -r -t 10 -u "${pointer_process[0]}" line && [ "$line" = ready ]
}
# Moves it and waits until the compositor has taken the motion.
move_pointer() {  # X Y
  local line
  echo "$1 $2" >&"${pointer_process[1]}"
  read -r -t 10 -u "${pointer_process[0]}" line && [ "$line" = "at $1 $2" ]
}
stop_pointer() {
  [ -n "${pointer_process_PID:-}" ] || return 0
  local pid=$pointer_process_PID
  eval "exec ${pointer_process[1]}>&-"
  wait "$pid" 2> /dev/null
}
