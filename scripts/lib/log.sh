# shellcheck shell=bash
# Build steps whose output goes to a log, shown only when the step fails. Sourced by scripts/run.sh,
# scripts/test.sh, scripts/package.sh, scripts/build-ode.sh and fuzz/run.sh.

# Runs the command with its output in LOG; if it fails, shows the log's end and fails.
logged() {  # LOG COMMAND...
  local log=$1; shift
  "$@" > "$log" 2>&1 || { tail -n 40 "$log" >&2; return 1; }
}
# Configures the CMake build tree DIR from SOURCE, its output in DIR.configure.log.
configure() {  # SOURCE DIR CMAKE-OPTION...
  local source=$1 dir=$2; shift 2
  logged "$dir.configure.log" cmake -S "$source" -B "$dir" "$@"
}
