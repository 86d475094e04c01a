#!/usr/bin/env bash
# A clip of a minute of hard driving: the Linux program in a window on a private Xvfb display,
# paced at 30 frames a second, the three cars driven with real key presses (xdotool: each car's
# forward key held, its steering keys changed every 0.4 s, the cars set upright now and then) for
# SECONDS, then Shift+F12. Prints the clip's bytes, its parts and its #run= link's length, and has the
# page play the link, which must end at the state hash the run said as it kept the clip.
#   bench/clip-figures.sh LINUX-BUILD WEB-BUILD [SECONDS]
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: clip-figures.sh LINUX-BUILD WEB-BUILD [SECONDS]}
web=${2:?usage: clip-figures.sh LINUX-BUILD WEB-BUILD [SECONDS]}
seconds=${3:-75}
for part in checks wait display keys settings; do . "$here/../scripts/lib/$part.sh"; done
trap stop_display EXIT
start_display 1024x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
mkdir -p "$HOME/Pictures" "$XDG_CONFIG_HOME"
echo 'XDG_PICTURES_DIR="$HOME/Pictures"' > "$XDG_CONFIG_HOME/user-dirs.dirs"
write_keyfile screenWidth=800 screenHeight=600 dFps=30 steadyPace=1

"$build/kelvaron" /s > "$work/run.out" 2> "$work/run.err" &
pid=$!
wait_for_window GL > /dev/null && answer_box GL Return
win=$(wait_for_window Start)
[ -n "$win" ] || { echo "no window" >&2; exit 1; }
focus_window "$win"
xdotool keydown Up keydown w keydown i
steer=(Left Right a d j l)
RANDOM=7
end=$((SECONDS + seconds))
while [ $SECONDS -lt $end ]; do
  key=${steer[RANDOM % 6]}
  xdotool keydown "$key"; sleep 0.4; xdotool keyup "$key"
  [ $((RANDOM % 40)) -eq 0 ] && xdotool key r
done
xdotool keyup Up keyup w keyup i key shift+F12
sleep 2
press_escape "$win"
wait_for_exit "$pid"
said=$(grep "^kelvaron: kept" "$work/run.err")
pattern="^kelvaron: kept .*\(([0-9]+) frames\) as (.*), state hash ([0-9a-f]{16})$"
[[ $said =~ $pattern ]] || { echo "the run kept no clip: $said" >&2; exit 1; }
frames=${BASH_REMATCH[1]} clip=${BASH_REMATCH[2]} hash=${BASH_REMATCH[3]}
echo "$said"
printf 'clip: %d frames, %d bytes: %d of snapshot lines (a %d-byte snapshot), %d commands in %d bytes\n' "$frames" \
  "$(stat -c %s "$clip")" "$(grep '^snapshot ' "$clip" | wc -c)" \
  "$(grep '^snapshot ' "$clip" | cut -d ' ' -f 2 | tr -d '\n' | base64 -d | wc -c)" \
  "$(grep -c '^[0-9]' "$clip")" "$(grep '^[0-9]' "$clip" | wc -c)"
"$here/../tests/web/install-driver.sh" "$web/driver" > /dev/null
NODE_PATH="$web/driver/node_modules" node "$here/clip-figures.js" "$web" "$clip" "$hash"
