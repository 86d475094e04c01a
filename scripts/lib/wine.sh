# shellcheck shell=bash
# Windows programs under Wine, in a prefix of the script's own, and the registry in that prefix.
# Sourced by the Windows end-to-end tests, the installer's proof, scripts/test.sh and the bench
# figures. A script that is handed its runner sets wine_runner before sourcing this.

wine_runner=${wine_runner:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/wine-run.sh}
settings_key='HKCU\Software\ScreenSaverKelvaron'

wine_run() { "$wine_runner" "$@"; }
# Makes PREFIX the prefix of every Windows program run from here on, and makes the prefix now,
# before anything waits on it or is timed: a copy of KELVARON_WINE_TEMPLATE when there is one.
use_wine_prefix() {  # PREFIX
  export KELVARON_WINEPREFIX=$1
  [ -z "${KELVARON_WINE_TEMPLATE:-}" ] || [ -e "$1" ] || copy_wine_template "$1"
  wine_run cmd /c exit > /dev/null 2>&1
}
# Wine takes 10 to 30 s to make a prefix, which each Windows test wants new; copying one takes a
# second. TEMPLATE is made once, with a home of its own, and never run in again.
make_wine_template() {  # TEMPLATE
  rm -rf "$1" "$1.home"
  mkdir -p "$1.home"
  HOME=$1.home KELVARON_WINEPREFIX=$1 wine_run cmd /c exit > /dev/null 2>&1 && WINEPREFIX=$1 wineserver -w
}
# The template's files are hard-linked where the file system allows, but for those Wine rewrites in
# place (the registry, the .ini files), which each prefix keeps to itself. The folders Wine linked
# to the template's home (Desktop, Pictures...) link to this one's, as in a prefix made here.
copy_wine_template() {  # PREFIX
  local template=$KELVARON_WINE_TEMPLATE file
  cp -al "$template" "$1" 2> /dev/null || { rm -rf "$1"; cp -a "$template" "$1"; }
  while IFS= read -r -d '' file; do
    cp -p "$file" "$file.own" && mv "$file.own" "$file"
  done < <(find "$1" -type f \( -name '*.reg' -o -iname '*.ini' \) -print0)
  while IFS= read -r -d '' file; do
    [ "$(readlink "$file")" != "$template.home" ] || ln -sfn "$HOME" "$file"
  done < <(find "$1/drive_c/users" -maxdepth 2 -type l -print0)
}
# The data of value NAME under KEY (Kelvaron's settings unless named) as reg prints it, a DWORD as
# 0x..., nothing when it is not there.
reg_value() {  # NAME [KEY]
  wine_run reg query "${2:-$settings_key}" /v "$1" 2> /dev/null | tr -d '\r' |
    awk -v n="$1" '$1 == n { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }'
}
# A stored DWORD as the program reads it: a signed decimal, nothing when it is not there.
reg_signed() {  # NAME [KEY]
  local v
  v=$(reg_value "$@")
  [ -n "$v" ] || return 0
  v=$((v))
  [ "$v" -ge 2147483648 ] && v=$((v - 4294967296))
  echo "$v"
}
reg_set() {  # NAME TYPE DATA [KEY]
  wine_run reg add "${4:-$settings_key}" /v "$1" /t "$2" /d "$3" /f > /dev/null 2>&1
}
