#!/usr/bin/env bash
# The layer run's figures in a private headless sway of two 800 x 600 outputs (pixman; Mesa's
# llvmpipe draws): the frames each output shows a second over SECONDS, as the run counts them and says
# as it ends, with each output's screenshot; and the time from the compositor's idle event to each
# step of the start of the run that kelvaron --saver 1 starts, up to its first frame (the run's
# start-up times, which the saver counts from that event), the median of RUNS.
#   bench/wayland-figures.sh BUILD_DIR [SECONDS] [RUNS]
set -u
export LC_ALL=C  # the figures are read and written with a decimal point
for part in wait display screen stats sway; do . "$(dirname "$0")/../scripts/lib/$part.sh"; done
trap 'stop_sway; stop_display' EXIT
build=${1:?usage: wayland-figures.sh BUILD_DIR [SECONDS] [RUNS]}
seconds=${2:-20}
runs=${3:-5}
shots=${KELVARON_SHOT_DIR:-$work}
start_sway 800x600 800x600 || exit 1
export XDG_CONFIG_HOME="$work/config"

"$build/kelvaron" -layer 2> "$work/layer.log" &
pid=$!
wait_for_output_colour HEADLESS-2 "$work/2.png" 400x300+400+0 red 1000 60 || { cat "$work/layer.log" >&2; exit 1; }
sleep "$seconds"
for output in HEADLESS-1 HEADLESS-2; do output_shot $output "$shots/wayland-$output.png"; done
kill -TERM "$pid"
wait_for_exit "$pid" 10
echo "layer run on two 800 x 600 outputs, llvmpipe, about $seconds s:"
sed -n 's/^kelvaron: /  /p' "$work/layer.log" | grep ' frames of '
echo "screenshots: $shots/wayland-HEADLESS-1.png, $shots/wayland-HEADLESS-2.png"

for ((run = 0; run < runs; ++run)); do
  : > "$work/saver-$run.log"
  KELVARON_STARTUP_TIMES=1 "$build/kelvaron" --saver 1 2> "$work/saver-$run.log" &
  pid=$!
  wait_until 60 grep -q 'start-up frame' "$work/saver-$run.log" || echo "no first frame in run $run" >&2
  kill -TERM "$pid"
  wait_for_exit "$pid" 10
done
# Each log holds the saver's own "main" first (kelvaron's, then kelvaron-wayland's, from the launch),
# then the layer run's steps.
echo "from the idle event, medians over $runs runs (ms):"
for step in main video window world font frame; do
  printf '  %-6s %s\n' $step "$(awk -v step=$step '$2 == "start-up" && $3 == step { last[FILENAME] = $4 }
                                  END { for (f in last) print last[f] }' "$work"/saver-*.log | median -)"
done
