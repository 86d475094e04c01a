# shellcheck shell=bash
# Waiting under a deadline, for a condition or for a process to end, and the cleanup at a script's
# end. Every wait polls for what it waits for, so a loaded machine only makes it take longer. Sourced
# by everything that starts the programs: the end-to-end tests, the package proofs, scripts/run.sh and
# the bench figures.

# Runs COMMAND as the script ends, in the script's own process only. A program started with & is a
# copy of the script until it execs, and a signal in that moment (a kill just after the start) runs
# the EXIT trap there too: a cleanup would end the relay, the display and the rest under the script.
# In that copy `[` is not even found (status 127), so the test is a keyword's and the command runs
# only when it holds.
at_exit() {  # COMMAND
  trap 'if [[ $BASHPID == "$$" ]]; then '"$1"'; fi' EXIT
}

# Runs the command until it succeeds, every tenth of a second, for at most SECONDS.
wait_until() {  # SECONDS COMMAND...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}
# Prints the first line the command prints, running it every tenth of a second until it prints
# one, for at most SECONDS.
first_output() {  # SECONDS COMMAND...
  local deadline=$((SECONDS + $1)) line; shift
  while [ $SECONDS -lt $deadline ]; do
    line=$("$@" | head -n 1)
    [ -n "$line" ] && { echo "$line"; return 0; }
    sleep 0.1
  done
  return 1
}
# Waits for a process to end; false, showing what it is doing, if it does not end in time.
wait_for_exit_of() {  # PID [SECONDS]
  wait_until "${2:-20}" eval "! kill -0 $1 2> /dev/null" && return 0
  ps -o pid=,stat=,etime=,args= -p "$1" >&2
  # A launcher's child (wine's Windows process) is often the one that did not end.
  pgrep -P "$1" | xargs -r ps -o pid=,stat=,etime=,args= -p >&2
  return 1
}
# The same for a child of this shell, leaving its exit status in $status.
wait_for_exit() {  # PID [SECONDS]
  wait_for_exit_of "$@" || return 1
  wait "$1"; status=$?
  return 0
}
