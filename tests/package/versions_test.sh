#!/usr/bin/env bash
# The one version, project() in CMakeLists.txt, everywhere it is shown: the .deb, the program's
# --version, its man page, changelog and metainfo inside the .deb; the installer's and kelvaron.scr's
# version resources.
#   tests/package/versions_test.sh KELVARON.DEB KELVARON-SETUP.EXE KELVARON.SCR
set -u
here=$(cd "$(dirname "$0")" && pwd)
deb=$1 setup=$2 scr=$3
for part in checks versions; do . "$here/../../scripts/lib/$part.sh"; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$project_version
check "CMakeLists.txt names a version" [ -n "$version" ]

dpkg-deb -x "$deb" "$work/root"
check_equal "the .deb's version" "$version" "$(dpkg-deb -f "$deb" Version)"
check_equal "kelvaron --version" "kelvaron $version" "$("$work/root/usr/bin/kelvaron" --version)"
check_equal "the man page's header" "\"Kelvaron $version\"" \
  "$(zcat "$work/root/usr/share/man/man6/kelvaron.6.gz" | sed -n 's/^\.TH .*\("Kelvaron [^"]*"\).*/\1/p')"
check_equal "the changelog's last entry" "kelvaron ($version)" \
  "$(zcat "$work/root/usr/share/doc/kelvaron/changelog.gz" | sed -n '1s/^\(kelvaron ([^)]*)\).*/\1/p')"
check_equal "the metainfo's release" "$version" \
  "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$work/root/usr/share/metainfo/"*.metainfo.xml)"
check_equal "the installer's product version" "$version" "$(version_string "$setup" ProductVersion)"
check_equal "kelvaron.scr's file version" "$version" "$(version_string "$scr" FileVersion)"
check_equal "kelvaron.scr's product version" "$version" "$(version_string "$scr" ProductVersion)"
finish
