#!/usr/bin/env bash
# kelvaron-setup.exe in a fresh 32-bit Wine prefix on a private Xvfb display: a silent install puts
# kelvaron.scr in the system folder with its version, icon and name, the licence and the notices
# beside it, and an uninstall entry showing that icon, leaves the current
# screensaver alone unless /ACTIVATE is given, and the settings dialog opens from there; the silent
# uninstall takes all of it away again but the user's settings and a screensaver not its own.
#   tests/package/windows_installer_test.sh KELVARON-SETUP.EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
for part in checks wait display settings wine versions; do . "$here/../../scripts/lib/$part.sh"; done
set +e  # the checks count failures themselves
export KELVARON_WINEPREFIX="$work/wine"  # named before the trap that ends its server
# Waits until every program of the prefix has ended: the uninstaller goes on in a copy of itself.
settle() { WINEPREFIX="$KELVARON_WINEPREFIX" wineserver -w; }
# The prefix's server goes before the prefix does.
trap 'WINEPREFIX="$KELVARON_WINEPREFIX" wineserver -k 2> /dev/null; stop_display' EXIT
start_display 1024x768x24 || exit 1
use_wine_prefix "$KELVARON_WINEPREFIX"  # made new
has_key() { wine_run reg query "$1" > /dev/null 2>&1; }
drive=$KELVARON_WINEPREFIX/drive_c
scr=$drive/windows/system32/kelvaron.scr
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvaron'
desktop_key='HKCU\Control Panel\Desktop'
other='C:\windows\system32\other.scr'

reg_set dFps REG_DWORD 25
reg_set SCRNSAVE.EXE REG_SZ "$other" "$desktop_key"

wine_run "$setup" /S > "$work/setup.log" 2>&1
check "/S installs with status 0" [ $? -eq 0 ]
settle
check "kelvaron.scr is in the 32-bit system folder" [ -s "$scr" ]
check "... with the project's version as its file and product version" \
  [ "$(version_string "$scr" FileVersion) $(version_string "$scr" ProductVersion)" = "$project_version $project_version" ]
check "... and a description" [ -n "$(version_string "$scr" FileDescription)" ]
# The sizes of a program's icon group (Explorer shows the first), taken out as an .ico of its own.
icon_sizes() {  # FILE
  wrestool -x -t 14 "$1" 2> /dev/null > "$work/group.ico"
  icotool -l "$work/group.ico" 2> /dev/null | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | tr '\n' ' '
}
check_equal "... with the icon at 16, 32, 48 and 256 pixels" "16 32 48 256 " "$(icon_sizes "$scr")"
# String 1: the name in Windows' screensaver list.
check "... and \"Kelvaron\" as string 1" [ "$(wrestool -x --raw -t 6 --name=1 "$scr" 2> /dev/null | strings -el)" = Kelvaron ]
notices=(kelvaron-LICENSE.txt kelvaron-THIRD-PARTY-NOTICES.txt)
check "the licence and the third-party notices are beside it" eval \
  'grep -q "MIT License" "$drive/windows/system32/${notices[0]}" &&
   grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$drive/windows/system32/${notices[1]}"'
check_equal "the installer shows Kelvaron's icon" "16 32 48 256 " "$(icon_sizes "$setup")"
# Its manifest, kept in KELVARON_SHOT_DIR: sharp at the desktop's scale, run as the system it is on.
manifest_file=${KELVARON_SHOT_DIR:-$work}/kelvaron-setup.exe.manifest
wrestool -x --raw -t 24 "$setup" 2> /dev/null | tr -d '\r' > "$manifest_file"
check "its manifest declares it DPI aware, per monitor from Windows 10 on" \
  eval 'grep -q "<dpiAware[^>]*>true</dpiAware>" "$manifest_file" && grep -q "<dpiAwareness[^>]*>PerMonitorV2,System</dpiAwareness>" "$manifest_file"'
# NSIS's "all": Vista, 7, 8, 8.1, and 10 with 11.
check "... and the systems from Vista to 10 and 11 as supported" eval \
  '[ "$(grep -o "<supportedOS Id=\"{[-0-9a-fA-F]*}\"" "$manifest_file" | sort -u | wc -l)" -ge 5 ] &&
   grep -qi "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" "$manifest_file"'
check "Add or Remove Programs lists it" [ "$(reg_value DisplayName "$uninstall_key")" = "Kelvaron screensaver" ]
check "... at the project's version" [ "$(reg_value DisplayVersion "$uninstall_key")" = "$project_version" ]
uninstaller=$(reg_value QuietUninstallString "$uninstall_key")
check "... with a silent uninstaller that is there" \
  [ "$uninstaller" = '"C:\Program Files\Kelvaron\uninstall.exe" /S' -a -s "$drive/Program Files/Kelvaron/uninstall.exe" ]
check "... pointing at the screensaver for its icon" [ "$(reg_value DisplayIcon "$uninstall_key")" = 'C:\windows\system32\kelvaron.scr' ]
check "without /ACTIVATE the current screensaver stays" [ "$(reg_value SCRNSAVE.EXE "$desktop_key")" = "$other" ]

wine_run 'C:\windows\system32\kelvaron.scr' /c > "$work/scr.log" 2>&1 &
pid=$!
dialog=$(wait_for_window "$dialog_title" 90)
check "kelvaron.scr /c opens the settings dialog from there" [ -n "$dialog" ]
[ -n "$dialog" ] && focus_window "$dialog" && xdotool key Escape
check "... which closes with status 0" eval 'wait_for_exit "$pid" 60 && [ "$status" -eq 0 ]'

uninstall() { wine_run 'C:\Program Files\Kelvaron\uninstall.exe' /S > "$work/uninstall.log" 2>&1; settle; }
uninstall
check "the silent uninstall removes kelvaron.scr" [ ! -e "$scr" ]
check "... the licence and the notices" eval '[ ! -e "$drive/windows/system32/${notices[0]}" ] && [ ! -e "$drive/windows/system32/${notices[1]}" ]'
check "... the uninstaller and its folder" [ ! -e "$drive/Program Files/Kelvaron" ]
check "... and the uninstall entry" eval '! has_key "$uninstall_key"'
check "... but keeps the user's settings" [ "$(reg_value dFps)" = 0x19 ]
check "... and a current screensaver that is not Kelvaron" [ "$(reg_value SCRNSAVE.EXE "$desktop_key")" = "$other" ]

wine_run "$setup" /S /ACTIVATE > "$work/setup.log" 2>&1
settle
check "/S /ACTIVATE makes Kelvaron the current screensaver" \
  [ "$(reg_value SCRNSAVE.EXE "$desktop_key")" = 'C:\windows\system32\kelvaron.scr' -a -s "$scr" ]
uninstall
check "uninstalling clears the current screensaver that is still Kelvaron" \
  eval '[ -z "$(reg_value SCRNSAVE.EXE "$desktop_key")" ] && [ ! -e "$scr" ]'
check "... and still keeps the user's settings" [ "$(reg_value dFps)" = 0x19 ]
finish
