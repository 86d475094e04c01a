#!/usr/bin/env bash
# Puts the upstream tarball of one of Debian's source packages into DOWNLOADS and prints its path.
# A tarball already there is used again while it matches the hash of its .dsc; otherwise apt-get
# fetches the package through a private, temporary deb-src list made from the machine's own binary
# entries, so the machine's apt configuration is left as it was.
#
#   scripts/deb-source.sh PACKAGE_VERSION DOWNLOADS    e.g. ode_0.16, musl_1.2
set -euo pipefail

name=${1:?usage: deb-source.sh PACKAGE_VERSION DOWNLOADS}
downloads=${2:?usage: deb-source.sh PACKAGE_VERSION DOWNLOADS}

# The orig tarball named in the .dsc, if it is there and whole.
checked_tarball() {
  local dsc line
  dsc=$(find "$downloads" -maxdepth 1 -name "$name*.dsc" 2> /dev/null | head -n 1)
  [ -n "$dsc" ] || return 1
  line=$(awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on && $3 ~ /\.orig\.tar\.[a-z0-9]+$/ { print $1 "  " $3 }' "$dsc")
  [ -n "$line" ] && (cd "$downloads" && printf '%s\n' "$line" | sha256sum --quiet -c - > /dev/null 2>&1) || return 1
  echo "$downloads/${line##* }"
}

if ! checked_tarball; then
  apt_dir=$(mktemp -d)
  trap 'rm -rf "$apt_dir"' EXIT
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$downloads"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/parts/$(basename "$f")"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -nE 's/^deb (.*)/deb-src \1/p' /etc/apt/sources.list > "$apt_dir/parts/main.list"
  fi
  apt_opts=(-o APT::Sandbox::User=root -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/parts"
            -o "Dir::State::Lists=$apt_dir/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
  apt-get -qq "${apt_opts[@]}" update
  (cd "$downloads" && apt-get -qq "${apt_opts[@]}" source --download-only "${name%%_*}" > /dev/null)
  checked_tarball || { echo "deb-source.sh: no whole orig tarball of $name in $downloads" >&2; exit 1; }
fi
