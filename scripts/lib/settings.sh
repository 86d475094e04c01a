# shellcheck shell=bash
# Kelvaron's stored settings as the scripts set them: the Linux program's keyfile, and the settings
# dialog of either program. The dialog's helpers need wait.sh and display.sh. Sourced by the
# end-to-end tests, the package proofs and the bench figures.

# Writes the keyfile in XDG_CONFIG_HOME with these values and nothing else.
write_keyfile() {  # NAME=VALUE...
  mkdir -p "$XDG_CONFIG_HOME/kelvaron"
  { echo '[ScreenSaverKelvaron]'; printf '%s\n' "$@"; } > "$XDG_CONFIG_HOME/kelvaron/kelvaron.conf"
}
dialog_title="Screen Saver Config."
# Opens the settings dialog with COMMAND... and gives it the keyboard: its window in $dialog, its
# process in $pid, its output in $work/dialog.log.
open_dialog() {  # COMMAND...
  "$@" > "$work/dialog.log" 2>&1 &
  pid=$!
  dialog=$(wait_for_window "$dialog_title" 60) || return 1
  focus_window "$dialog"
}
# Opens the dialog, presses KEYS there (from the control that has the focus first), then Return for
# OK, and waits for the dialog to end, leaving its status in $status.
dialog_ok() {  # COMMAND... [-- KEYS...]
  local command=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do command+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  open_dialog "${command[@]}" || return 1
  [ $# -gt 0 ] && xdotool key "$@"
  xdotool key Return
  wait_for_exit "$pid" 60
}
