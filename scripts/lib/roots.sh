# shellcheck shell=bash
# Minimal Debian 12 roots made by mmdebstrap from this machine's apt sources, kept as tarballs for a
# day under the clean roots' cache. Sourced by scripts/clean-root.sh and
# tests/package/deb_arm64_root_test.sh; needs root.
root_cache=/var/cache/kelvaron-clean-root

# Prints the tarball of a minimal Debian 12 root for ARCH, made first if it is missing or a day old.
# A foreign ARCH's programs must run here (through binfmt_misc) for its packages to be set up.
base_root() {  # ARCH
  local arch=$1 base=$root_cache/bookworm-minbase
  [ "$arch" = "$(dpkg --print-architecture)" ] || base+=-$arch
  base+=.tar
  mkdir -p "$root_cache"
  if [ ! -s "$base" ] || [ -n "$(find "$base" -mmin +1440)" ]; then
    local sources=() f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
      [ -s "$f" ] && sources+=("$f")
    done
    [ ${#sources[@]} -gt 0 ] || { echo "base_root: this machine has no apt sources" >&2; return 2; }
    echo "base_root: making a minimal Debian 12 root for $arch" >&2
    rm -f "$base.making"
    mmdebstrap --quiet --variant=minbase --arch="$arch" --format=tar bookworm "$base.making" "${sources[@]}" >&2 ||
      return 1
    mv "$base.making" "$base"
  fi
  echo "$base"
}
