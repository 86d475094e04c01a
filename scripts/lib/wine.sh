# shellcheck shell=bash
# Windows programs under Wine, in a prefix of the script's own, and the registry in that prefix.
# Sourced by the Windows end-to-end tests, the installer's proof, scripts/test.sh and the bench
# figures. A script that is handed its runner sets wine_runner before sourcing this.

wine_runner=${wine_runner:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/wine-run.sh}
settings_key='HKCU\Software\ScreenSaverKelvaron'

wine_run() { "$wine_runner" "$@"; }
# Makes PREFIX the prefix of every Windows program run from here on, and makes the prefix now,
# before anything waits on it or is timed.
use_wine_prefix() {  # PREFIX
  export KELVARON_WINEPREFIX=$1
  wine_run cmd /c exit > /dev/null 2>&1
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
