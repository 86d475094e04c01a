#!/usr/bin/env bash
# kelvaron.scr on a desktop scaled to 150 % (144 dots per inch), under Wine on a private Xvfb display.
# Its manifest, read back out of the file, declares per-monitor DPI awareness and the systems Vista
# to 10 and 11; with it, a full run at the display's own size fills the screen in real pixels (not a
# scaled-up part of it), and the settings dialog grows with the desktop's font, every control inside
# it. Keeps the manifest and the screenshots in KELVARON_SHOT_DIR.
#   windows_dpi_test.sh WINE-RUN KELVARON.SCR DIALOG-FIELDS.EXE
set -u
wine_runner=$1
scr=$2
fields=$3
for part in checks wait display screen keys settings wine; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'WINEPREFIX=$KELVARON_WINEPREFIX wineserver -k 2> /dev/null; stop_display' EXIT
keep=${KELVARON_SHOT_DIR:-$work}

wrestool -x --raw -t 24 "$scr" > "$keep/kelvaron.scr.manifest" 2> /dev/null
manifest=$(tr -d '\r' < "$keep/kelvaron.scr.manifest")
has() { grep -q "$1" <<< "$manifest"; }
check "kelvaron.scr carries a manifest" has '<assembly xmlns="urn:schemas-microsoft-com:asm.v1"'
check "... per-monitor DPI aware, PerMonitorV2 first" has '<dpiAwareness [^>]*>PerMonitorV2, PerMonitor</dpiAwareness>'
check "... with true/pm for Windows before 10" has '<dpiAware [^>]*>true/pm</dpiAware>'
supported=0
for id in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
  1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  has "<supportedOS Id=\"{$id}\"/>" && supported=$((supported + 1))
done
check "... and Vista, 7, 8, 8.1 and 10/11 as supported (not: $((5 - supported)))" [ "$supported" -eq 5 ]

start_display 1024x768x24 || exit 1
use_wine_prefix "$work/wine"
# The dialog's outer size in pixels, as the display has it.
dialog_size() { xwininfo -id "$dialog" | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w, h }'; }
# Every control of the dialog inside its client area, as the dialog's own process places them.
controls_inside() { wine_run "$fields" "$dialog_title" --layout 2> /dev/null | tr -d '\r' | grep -qx 'all controls inside'; }

open_dialog wine_run "$scr" /c
read -r width96 height96 <<< "$(dialog_size)"
xdotool key Escape; wait_for_exit "$pid" 30

reg_set LogPixels REG_DWORD 144 'HKCU\Control Panel\Desktop'
open_dialog wine_run "$scr" /c
check "at 144 dpi the settings dialog opens" [ -n "$dialog" ]
read -r width144 height144 <<< "$(dialog_size)"
shot "$work/dialog.png"; keep_shot "$work/dialog.png" windows-dialog-144dpi.png
echo "the dialog: ${width96}x$height96 at 96 dpi, ${width144}x$height144 at 144"
# The font is half as big again, and the dialog's units with it.
grown() { [ $(($1 * 100 / $2)) -ge 130 ] && [ $(($1 * 100 / $2)) -le 170 ]; }
check "... half as big again as at 96 dpi" eval 'grown "$width144" "$width96" && grown "$height144" "$height96"'
check "... on the screen whole" eval '[ "$width144" -le 1024 ] && [ "$height144" -le 768 ]'
check_equal "... showing every field" "16 640 480 30 -10.50000 0.02000 " "$(wine_run "$fields" "$dialog_title" 2> /dev/null | tr -d '\r' | tr '\n' ' ')"
check "... each control inside it" controls_inside
xdotool key Escape; wait_for_exit "$pid" 30

# The display's own mode, so no question comes: the run takes the whole screen.
reg_set screenWidth REG_DWORD 1024
reg_set screenHeight REG_DWORD 768
reg_set bitsPP REG_DWORD 32
xdotool mousemove 500 400
wine_run "$scr" /s > "$work/scr.log" 2>&1 &
pid=$!
win=$(wait_for_window Start 60)
check "at 144 dpi a full run at 1024 x 768 opens its window, without the windowed question" \
  eval '[ -n "$win" ] && [ -z "$(find_windows GL)" ]'
check "... and draws" wait_for_colour "$work/run.png" 512x384+512+0 red 4000 60
keep_shot "$work/run.png" windows-run-144dpi.png
geometry=$(xwininfo -id "${win:-0}" 2> /dev/null | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
  /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w "x" h "+" x "+" y }')
check_equal "... its window the whole screen" 1024x768+0+0 "$geometry"
# The three views and the overlay, a quarter of the screen each, as the windowed run's test sees them
# in its window.
check "... the views filling it: car 1 upper left" [ "$(count_colour "$work/run.png" 512x384+0+0 blue)" -gt 4000 ]
check "... car 0 upper right" [ "$(count_colour "$work/run.png" 512x384+512+0 red)" -gt 4000 ]
check "... car 2 lower left" [ "$(count_colour "$work/run.png" 512x384+0+384 green)" -gt 4000 ]
check "... and the overlay lower right" [ "$(count_colour "$work/run.png" 512x384+512+384 lit)" -gt 400 ]
press_escape "${win:-0}"
check "Escape ends it" wait_for_exit "$pid" 60
finish
