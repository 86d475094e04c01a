#!/usr/bin/env bash
# The processor time a paced frame costs, two builds side by side: the full run paced to 30 frames
# per second with the autopilot on, on a private Xvfb display at 640 x 480 and at 1920 x 1080, the
# builds' runs interleaved over ROUNDS rounds so that a busy moment of the machine falls on both.
# A run is measured over SECONDS after its first two: the program's processor time (every thread,
# user and system, from /proc) and the X server's, which copies each presented frame. It prints, per
# build and size, the medians of: milliseconds of processor time per frame (the program's, and with
# the X server's), the share of one core, and the frame rate from the title; then B's ratio to A.
# With --wine the builds are Windows builds, their kelvaron.scr run under Wine; Wine's own server
# is counted with the X server. --env-b VAR=VALUE puts VAR in B's environment only: the same build
# given twice then measures what that setting does (under Wine, a Windows program cannot set what
# the host's Mesa reads).
#   bench/paced-cpu.sh [--wine] [--rounds N] [--seconds S] [--sizes 'WxH ...'] [--env-b VAR=VALUE] BUILD_A BUILD_B
set -u
for part in wait display keys settings wine stats; do . "$(dirname "$0")/../scripts/lib/$part.sh"; done
trap 'stop_display; [ -n "${winedir:-}" ] && rm -rf "$winedir"' EXIT
rounds=3 seconds=15 sizes="640x480 1920x1080" wine=0 env_b=()
while [ $# -gt 0 ]; do
  case "$1" in
    --wine) wine=1; shift ;;
    --rounds) rounds=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --sizes) sizes=$2; shift 2 ;;
    --env-b) env_b=("$2"); shift 2 ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || { echo "usage: paced-cpu.sh [--wine] [--rounds N] [--seconds S] [--sizes 'WxH ...'] [--env-b VAR=VALUE] BUILD_A BUILD_B" >&2; exit 2; }
ticks=$(getconf CLK_TCK)
[ $wine = 1 ] && winedir=$(mktemp -d)  # outside the display's scratch folder, which goes with each display

cpu_ticks() {  # PID...: user plus system time so far of the processes, in clock ticks
  local total=0 p
  for p in "$@"; do
    [ -r "/proc/$p/stat" ] && total=$((total + $(awk '{ print $14 + $15 }' "/proc/$p/stat")))
  done
  echo "$total"
}
# The processes named NAME that run in this script's Wine prefix (other prefixes may run beside).
in_prefix() {  # PGREP-OPTION NAME
  local p
  for p in $(pgrep "$1" "$2"); do
    tr '\0' '\n' < "/proc/$p/environ" 2> /dev/null | grep -qx "WINEPREFIX=$KELVARON_WINEPREFIX" && echo "$p"
  done
}
servers() {  # the X server, and under Wine Wine's server
  echo "$xvfb_pid"
  [ $wine = 1 ] && in_prefix -x wineserver
}
measure() {  # BUILD [VAR=VALUE...]: one line "CPU-MS-PER-FRAME WITH-X-MS SHARE% FPS"
  local launcher pid id title fps mine xserv dir=$1; shift
  if [ $wine = 1 ]; then
    env "$@" "$wine_runner" "$dir/kelvaron.scr" /s > "$work/run.log" 2>&1 &
  else
    env "$@" "$dir/kelvaron" /s > /dev/null 2>&1 &
  fi
  launcher=$! pid=$!
  id=$(wait_for_window Start 60) || { echo "no window from $dir:" >&2; cat "$work/run.log" >&2; kill "$launcher"; return 1; }
  [ $wine = 1 ] && pid=$(in_prefix -f 'kelvaron\.scr' | head -n 1)
  sleep 2
  local before serv_before
  before=$(cpu_ticks "$pid") serv_before=$(cpu_ticks $(servers))
  sleep "$seconds"
  mine=$(( $(cpu_ticks "$pid") - before )) xserv=$(( $(cpu_ticks $(servers)) - serv_before ))
  title=$(first_output 10 fps_titles)
  fps=$(printf '%s\n' "$title" | grep -o '[0-9.]*' | head -n 1)
  press_escape "$id"
  wait_for_exit "$launcher" 20
  wait_for_exit_of "$pid" 20
  [ -n "$fps" ] || { echo "no frame rate in the title of $dir's run" >&2; return 1; }
  awk -v m="$mine" -v x="$xserv" -v t="$ticks" -v s="$seconds" -v f="$fps" 'BEGIN {
    frames = f * s
    printf "%.3f %.3f %.1f %.1f\n", 1000 * m / t / frames, 1000 * (m + x) / t / frames, 100 * m / (t * s), f }'
}

results=$(mktemp)
for size in $sizes; do
  end_display
  start_display "${size}x24" || exit 1
  export XDG_CONFIG_HOME="$work/config"
  write_keyfile dFps=30 autopilot=1 steadyPace=1 screenWidth="${size%x*}" screenHeight="${size#*x}"
  if [ $wine = 1 ]; then
    use_wine_prefix "$winedir/$size"  # one a display: Wine keeps the display's modes in its prefix
    for setting in "bitsPP 32" "screenWidth ${size%x*}" "screenHeight ${size#*x}" "dFps 30" "autopilot 1" "steadyPace 1"; do
      reg_set ${setting% *} REG_DWORD ${setting#* }
    done
  fi
  for ((round = 1; round <= rounds; round++)); do
    for build in A B; do
      if [ $build = A ]; then
        # Under Wine the first start after the settings are written can end at once: once more.
        line=$(measure "$1" || measure "$1") && echo "$size A $line" >> "$results"
      else
        line=$(measure "$2" "${env_b[@]}" || measure "$2" "${env_b[@]}") && echo "$size B $line" >> "$results"
      fi
    done
  done
done

printf '%d rounds of %d s, interleaved; medians. ms/frame: processor time per paced frame (the\n' "$rounds" "$seconds"
printf 'program; with the X server%s); share: the program'"'"'s, of one core\n' "$([ $wine = 1 ] && echo ' and wineserver')"
echo "A: $1"
echo "B: ${env_b[*]} $2"
printf '%-10s %-5s %10s %12s %7s %6s\n' size build "ms/frame" "with X" share fps
for size in $sizes; do
  for build in A B; do
    col() { awk -v s="$size" -v b="$build" -v c="$1" '$1 == s && $2 == b { print $c }' "$results" | median; }
    printf '%-10s %-5s %10.3f %12.3f %6.1f%% %6.1f\n' "$size" "$build" "$(col 3)" "$(col 4)" "$(col 5)" "$(col 6)"
  done
  a=$(awk -v s="$size" '$1 == s && $2 == "A" { print $3 }' "$results" | median)
  b=$(awk -v s="$size" '$1 == s && $2 == "B" { print $3 }' "$results" | median)
  ax=$(awk -v s="$size" '$1 == s && $2 == "A" { print $4 }' "$results" | median)
  bx=$(awk -v s="$size" '$1 == s && $2 == "B" { print $4 }' "$results" | median)
  awk -v a="$a" -v b="$b" -v ax="$ax" -v bx="$bx" -v s="$size" \
    'BEGIN { printf "%-10s B/A   %10.3f %12.3f\n", s, (a > 0 ? b / a : 0), (ax > 0 ? bx / ax : 0) }'
done
rm -f "$results"
