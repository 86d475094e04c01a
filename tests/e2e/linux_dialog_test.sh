#!/usr/bin/env bash
# The Linux settings dialog for real on a private Xvfb display: what it shows, what OK and Cancel
# store in the keyfile, how it refuses a bad width, and how it copes with a broken keyfile.
#   linux_dialog_test.sh KELVARON
set -u
kelvaron=$1
for part in checks wait display screen keys settings; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap stop_display EXIT
start_display 1024x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config"
keyfile="$XDG_CONFIG_HOME/kelvaron/kelvaron.conf"

# The six fields as shown, one a line, read through the clipboard; focus ends on the first field.
read_fields() {
  local i
  for i in 1 2 3 4 5 6; do
    copied_text 20 xdotool key ctrl+a ctrl+c || echo "(nothing copied)"
    xdotool key Tab
  done
  xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
}
type_field() {  # INDEX TEXT: replaces field INDEX (0 = bits per pixel), starting from the first field
  local i
  for ((i = 0; i < $1; i++)); do xdotool key Tab; done
  xdotool key ctrl+a; xdotool type "$2"
  for ((i = 0; i < $1; i++)); do xdotool key shift+Tab; done
}
value() { awk -F= -v k="$1" '$1 == k { print $2 }' "$keyfile"; }

open_dialog "$kelvaron" /c
check "the dialog opens" [ -n "$dialog" ]
corner() { xwininfo -id "$dialog" | awk '/Absolute upper-left/ { printf "%s ", $4 }'; }
check "... at the top-left corner" [ "$(corner)" = "0 0 " ]
check_equal "... showing the defaults" "16 640 480 30 -10.50000 0.02000 " "$(read_fields | tr '\n' ' ')"
shot "$work/dialog.png"
keep_shot "$work/dialog.png" settings-dialog.png
xdotool key Return
check "OK ends the dialog" wait_for_exit "$pid"
check "... with status 0" [ "${status:-1}" -eq 0 ]
check "OK stores the six values in their stored form" \
  [ "$(value bitsPP) $(value screenWidth) $(value screenHeight) $(value dFps) $(value sGravity) $(value boxMass)" = "16 640 480 30 -1050000 1999" ]

open_dialog "$kelvaron" /c
check_equal "reopened, the box mass shows 0.01999" 0.01999 "$(read_fields | tail -n 1)"
cp "$keyfile" "$work/before.conf"
type_field 1 800
xdotool key Escape
check "Cancel ends the dialog" wait_for_exit "$pid"
check "... and leaves the keyfile byte for byte" cmp -s "$keyfile" "$work/before.conf"

open_dialog "$kelvaron" /c
type_field 1 abc
xdotool key Return
check "a width of abc is refused with a message" wait_until 20 window_count_is "$dialog_title" 2
check "... and nothing is stored" cmp -s "$keyfile" "$work/before.conf"
xdotool key Return  # closes the message
wait_until 20 window_count_is "$dialog_title" 1
type_field 1 800
type_field 5 0.5
xdotool key Return
check "corrected, it is stored" wait_for_exit "$pid"
check "... with the new width and mass" [ "$(value screenWidth) $(value boxMass)" = "800 50000" ]
check "... keeping the rest" [ "$(value screenHeight) $(value sGravity)" = "480 -1050000" ]

write_keyfile screenWidth=12ab screenHeight=99999999999 dFps=45
open_dialog "$kelvaron" /c
check_equal "values that are not whole numbers in range leave their fields" \
  "16 640 480 45 " "$(read_fields | head -n 4 | tr '\n' ' ')"
check "... and are reported" grep -q 'screenWidth' "$work/dialog.log"
xdotool key Escape
wait_for_exit "$pid"

head -c 300 /dev/urandom > "$keyfile"
printf '[[[\0' >> "$keyfile"
open_dialog "$kelvaron" /c
check_equal "a corrupt keyfile leaves the defaults" "16 640 " "$(read_fields | head -n 2 | tr '\n' ' ')"
xdotool key Return
check "... and OK replaces it with a good one" wait_for_exit "$pid"
check "... that reads back" [ "$(value screenWidth)" = 640 ]

rm -rf "$XDG_CONFIG_HOME/kelvaron"
printf 'not a folder' > "$XDG_CONFIG_HOME/kelvaron"
open_dialog "$kelvaron" /c
xdotool key Return
check "a failed save says why" wait_until 20 window_count_is "$dialog_title" 2
xdotool key Return
wait_until 20 window_count_is "$dialog_title" 1
xdotool key Escape
check "... and the dialog can still be left" wait_for_exit "$pid"
check "... leaving what was there" [ "$(cat "$XDG_CONFIG_HOME/kelvaron")" = "not a folder" ]

DISPLAY=:999 "$kelvaron" /c > /dev/null 2> "$work/err.log"
check "with no display the dialog ends with status 1" [ $? -eq 1 ]
check "... saying why" grep -q 'display' "$work/err.log"
finish
