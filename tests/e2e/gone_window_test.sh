#!/usr/bin/env bash
# A window gone with its host: the program answers for its size itself, with nothing, where Xlib
# would leave the asker's memory as it was, and Mesa would draw at that size.
#   gone_window_test.sh KELVARON GONE-WINDOW-SIZE
set -u
for part in checks wait display; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap stop_display EXIT
start_display 320x240x24 || exit 1
check "the program's own XGetGeometry is the one libraries find" eval "nm -D '$1' | grep -q ' T XGetGeometry$'"
check "... and a gone window's size is nothing" "$2"
finish
