#!/usr/bin/env bash
# Puts the protocol files of wlroots that Kelvaron speaks into PREFIX: wlr-layer-shell-unstable-v1.xml
# (the layer run's surfaces), idle.xml (org_kde_kwin_idle, which Debian 12's sway offers in place of
# ext-idle-notify-v1) and wlr-virtual-pointer-unstable-v1.xml (the tests' pointer). Debian packages
# none of them; they come from its wlroots source package, whose tarball is kept with the other
# downloads. A second run with the files in place does nothing.
#
#   scripts/wlr-protocols.sh PREFIX
set -euo pipefail

prefix=${1:?usage: wlr-protocols.sh PREFIX}
here=$(cd "$(dirname "$0")" && pwd)
files=(wlr-layer-shell-unstable-v1.xml idle.xml wlr-virtual-pointer-unstable-v1.xml)

all_there() {
  local f
  for f in "${files[@]}"; do [ -s "$prefix/$f" ] || return 1; done
}
all_there && exit 0
downloads=${KELVARON_DOWNLOADS:-$(dirname "$prefix")/downloads}
tarball=$("$here/deb-source.sh" wlroots_0.15 "$downloads")
mkdir -p "$prefix"
tar -xJf "$tarball" -C "$prefix" --strip-components=2 --wildcards "${files[@]/#/*/protocol/}"
all_there || { echo "wlr-protocols.sh: $tarball lacks some of ${files[*]}" >&2; exit 1; }
