#!/usr/bin/env bash
# Proves the Debian package on a system that has never seen Kelvaron: runs deb_install_test.sh with
# the package in a brand-new minimal Debian 12 root made by scripts/clean-root.sh. The root holds
# only committed files, so the package goes in through a throwaway clone of this checkout's
# committed tree in which it is committed too; that clone's clean-root.sh makes the root.
#   tests/package/deb_clean_root_test.sh KELVARON.DEB     (as root)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
[ -s "$deb" ] || { echo "deb_clean_root_test.sh: no package at $1" >&2; exit 2; }

tmp=$(mktemp -d /var/tmp/kelvaron-deb-test.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
git clone -q "$root" "$tmp/main"
cp "$deb" "$tmp/main/"
git -C "$tmp/main" add -f "$(basename "$deb")"
git -C "$tmp/main" -c user.name=test -c user.email=test@localhost commit -q -m "The package under test"
bash "$tmp/main/scripts/clean-root.sh" bash tests/package/deb_install_test.sh "./$(basename "$deb")"
