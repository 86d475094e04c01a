#!/usr/bin/env bash
# Where the start of a full run goes: launches the program RUNS times on a private 640 x 480 Xvfb
# display, each with KELVARON_STARTUP_TIMES holding the launch time, so that it writes the time of
# each step of its start (see NoteStartupStep in src/platform/Platform.h), ends it with SIGTERM once
# its first frame is presented, and prints the median of every step. With a second program the
# launches alternate between the two, and a column gives the second's median over the first's.
#   bench/startup-figures.sh [--wine] RUNS PROGRAM [OTHER-PROGRAM]
# --wine: the programs are kelvaron.scr builds, started through scripts/wine-run.sh; "main" then
# includes Wine's own start.
set -u
export LC_ALL=C  # the figures are read and written with a decimal point
for part in wait display settings wine stats; do . "$(dirname "$0")/../scripts/lib/$part.sh"; done
wine=""
if [ "${1:-}" = --wine ]; then wine=$wine_runner; shift; fi
runs=${1:?usage: startup-figures.sh [--wine] RUNS PROGRAM [OTHER-PROGRAM]}
programs=("${@:2}")
[ ${#programs[@]} -ge 1 ] || { echo "no program given" >&2; exit 2; }
trap stop_display EXIT
start_display 640x480x24 || exit 1
# The run's size is the display's, so that it opens fullscreen as the default settings ask.
export XDG_CONFIG_HOME="$work/config" KELVARON_WINEPREFIX="$work/wine"
write_keyfile screenWidth=640 screenHeight=480
steps="main video window world font frame"
if [ -n "$wine" ]; then
  # The prefix is made and Wine's server started before anything is timed; 32 bits as Windows
  # counts the display's depth.
  reg_set bitsPP REG_DWORD 32
fi

launch() {  # PROGRAM LOG: one run, ended once its first frame is out
  local pid
  : > "$2"
  if [ -n "$wine" ]; then
    ( export KELVARON_STARTUP_TIMES=$EPOCHREALTIME; exec "$wine" "$1" /s ) > /dev/null 2> "$2" &
  else
    ( export KELVARON_STARTUP_TIMES=$EPOCHREALTIME; exec "$1" /s ) > /dev/null 2> "$2" &
  fi
  pid=$!
  wait_until 60 grep -q 'start-up frame' "$2" || echo "no first frame from $1" >&2
  kill -TERM "$pid" 2> /dev/null
  wait_for_exit "$pid" 30
}

for ((run = 0; run < runs; ++run)); do
  for i in "${!programs[@]}"; do
    launch "${programs[$i]}" "$work/run-$i-$run.log"
  done
done

# Per run and step: the milliseconds from the launch, and the step's own (from the step before).
# Lines from a Windows build end in CR LF.
step_times() {  # LOG...
  awk 'FNR == 1 { last = 0 } { sub(/\r$/, "") } $2 == "start-up" { print $3, $4, $4 - last; last = $4 }' "$@"
}
step_median() {  # COLUMN STEP, the step times on standard input
  awk -v step="$2" -v c="$1" '$1 == step { print $c }' | median -
}
echo "medians over $runs launches: ms from the launch (the step's own ms)"
header="step"
for i in "${!programs[@]}"; do header="$header | ${programs[$i]}"; done
[ ${#programs[@]} -eq 2 ] && header="$header | second / first"
echo "$header"
for step in $steps; do
  line=$step
  values=()
  for i in "${!programs[@]}"; do
    step_times "$work"/run-$i-*.log > "$work/times"
    value=$(step_median 2 "$step" < "$work/times")
    values+=("$value")
    if [ "$value" = - ]; then line="$line | -"; continue; fi
    line="$line | $(printf '%.1f (%.1f)' "$value" "$(step_median 3 "$step" < "$work/times")")"
  done
  if [ ${#programs[@]} -eq 2 ] && [ "${values[0]}" != - ] && [ "${values[1]}" != - ]; then
    line="$line | $(awk -v a="${values[0]}" -v b="${values[1]}" 'BEGIN { printf "%.2f", b / a }')"
  fi
  echo "$line"
done
