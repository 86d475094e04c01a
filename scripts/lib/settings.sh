# shellcheck shell=bash
# Kelvaron's stored settings as the scripts set them: the Linux program's keyfile, and OK in the
# settings dialog of either program. dialog_ok needs wait.sh and display.sh. Sourced by the
# end-to-end tests, the package proofs and the bench figures.

# Writes the keyfile in XDG_CONFIG_HOME with these values and nothing else.
write_keyfile() {  # NAME=VALUE...
  mkdir -p "$XDG_CONFIG_HOME/kelvaron"
  { echo '[ScreenSaverKelvaron]'; printf '%s\n' "$@"; } > "$XDG_CONFIG_HOME/kelvaron/kelvaron.conf"
}
# Opens the settings dialog with COMMAND..., presses KEYS there (from the control that has the
# focus first), then Return for OK, and waits for the dialog to end, leaving its status in $status.
dialog_ok() {  # COMMAND... [-- KEYS...]
  local command=() dialog_pid
  while [ $# -gt 0 ] && [ "$1" != -- ]; do command+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  "${command[@]}" > "$work/dialog.log" 2>&1 &
  dialog_pid=$!
  focus_window "$(wait_for_window "Screen Saver Config." 60)"
  [ $# -gt 0 ] && xdotool key "$@"
  xdotool key Return
  wait_for_exit "$dialog_pid" 60
}
