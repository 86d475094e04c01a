# shellcheck shell=bash
# Screenshots of the private display and what they show: pixels of a colour, pixels changed, and
# waits for either. Needs wait.sh and display.sh. Sourced by the end-to-end tests, the package
# proofs, scripts/run.sh's headless run and bench/pace-figures.sh.

shot() { import -window root "$1"; }
# Keeps a copy of the screenshot as NAME in KELVARON_SHOT_DIR, where the build keeps the pictures
# the tests took.
keep_shot() {  # FILE NAME
  cp "$1" "${KELVARON_SHOT_DIR:-$work}/$2" 2> /dev/null
}
# Counts pixels of a colour class in a region of a PNG: red is r > 0.6, g < 0.25, b < 0.25; green
# g > 0.8, r < 0.25, b < 0.4; blue b > 0.6, r < 0.25, g < 0.25; yellow r > 0.6, g > 0.6, b < 0.25;
# lit r + g + b > 0. Each channel is thresholded on its own and the three combined, which takes a
# thirtieth of the time an -fx expression of the same takes per pixel (a threshold keeps what is
# above it; 39.99 % keeps 0.4 itself out, as 8-bit values fall exactly on it).
count_colour() {  # FILE WxH+X+Y red|green|blue|yellow|lit
  local r g b below25='-threshold 25% -negate'
  case $3 in
    red) r='-threshold 60%' g=$below25 b=$below25 ;;
    green) r=$below25 g='-threshold 80%' b='-threshold 39.99% -negate' ;;
    blue) r=$below25 g=$below25 b='-threshold 60%' ;;
    yellow) r='-threshold 60%' g='-threshold 60%' b=$below25 ;;
    lit)
      convert "$1" -crop "$2" +repage -separate -evaluate-sequence max -threshold 0 \
        -format '%[fx:int(mean*w*h+0.5)]' info:
      return ;;
  esac
  # The options are words: splitting them is what is meant.
  # shellcheck disable=SC2086
  convert "$1" -crop "$2" +repage -separate \( -clone 0 $r \) \( -clone 1 $g \) \( -clone 2 $b \) -delete 0-2 \
    -evaluate-sequence min -format '%[fx:int(mean*w*h+0.5)]' info:
}
# Takes screenshots into FILE until the region holds more than MIN pixels of the colour, for at
# most SECONDS: a window is mapped before its first frame is drawn.
wait_for_colour() {  # FILE WxH+X+Y COLOUR MIN [SECONDS]
  shot_has_colour() { shot "$1" && [ "$(count_colour "$1" "$2" "$3")" -gt "$4" ]; }
  wait_until "${5:-30}" shot_has_colour "$1" "$2" "$3" "$4"
}
# How many pixels of a region differ between two screenshots.
count_changed() {  # FILE1 FILE2 WxH+X+Y
  convert "$1" -crop "$3" +repage "$work/a.png"
  convert "$2" -crop "$3" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
# Takes screenshots into FILE until the region differs from BEFORE in more than MIN pixels, for at
# most SECONDS.
wait_for_change() {  # BEFORE FILE WxH+X+Y MIN [SECONDS]
  shot_changed() { shot "$2" && [ "$(count_changed "$1" "$2" "$3")" -gt "$4" ]; }
  wait_until "${5:-30}" shot_changed "$1" "$2" "$3" "$4"
}
# True once REGION has changed by fewer than CALM pixels in half a second twice running, for at
# most SECONDS: what it shows has come to a stand.
comes_to_a_stand() {  # REGION CALM SECONDS
  local calm=0 deadline=$((SECONDS + $3))
  while [ $SECONDS -lt $deadline ]; do
    shot "$work/a.png"; sleep 0.5; shot "$work/b.png"
    if [ "$(count_changed "$work/a.png" "$work/b.png" "$1")" -lt "$2" ]; then calm=$((calm + 1)); else calm=0; fi
    [ $calm -ge 2 ] && return 0
  done
  return 1
}
