#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly, in Kelvaron's own 32-bit prefix
# (KELVARON_WINEPREFIX, or one under ~/.local/share), made on first use.
set -eu
export WINEPREFIX=${KELVARON_WINEPREFIX:-$HOME/.local/share/kelvaron-wine}
export WINEARCH=win32 WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i > /dev/null 2>&1
  wineserver -w
fi
exec wine "$@"
