#!/usr/bin/env bash
# Runs a command in a clean clone of this checkout's committed tree, inside a brand-new minimal
# Debian 12 root, as root, the way a new machine sees the project: whatever it needs, the project's
# own scripts must install.
#
#   scripts/clean-root.sh [--copy-out PATH]... COMMAND...
#
# PATH (relative to the clone) is copied back into this checkout after the command, whatever its
# status. The base root is made with mmdebstrap from this machine's apt sources and kept as a
# tarball for a day; downloaded .deb files and source tarballs are kept beside it, as caches only.
# Needs root. Exits with the command's status.
set -euo pipefail

usage="usage: clean-root.sh [--copy-out PATH]... COMMAND..."
copy_out=()
while [ $# -gt 0 ]; do
  case $1 in
    --copy-out) copy_out+=("${2:?$usage}"); shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "clean-root.sh: needs root (it mounts and chroots)" >&2; exit 2; }

checkout=$(cd "$(dirname "$0")/.." && pwd)
name=$(basename "$checkout")
shared=$(dirname "$checkout")/shared
. "$checkout/scripts/lib/roots.sh"
. "$checkout/scripts/lib/log.sh"
stage "clean root: made and cloned"
cache=$root_cache
mkdir -p "$cache/archives" "$cache/downloads" "$cache/ccache" "$cache/deps"
"$checkout/scripts/install-deps.sh" roots
base=$(base_root "$(dpkg --print-architecture)")

root=$(mktemp -d /var/tmp/kelvaron-clean-root.XXXXXX)
cleanup() {
  # The .deb files it downloaded join the cache, whatever happened.
  find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -ln -t "$cache/archives" {} + 2> /dev/null || true
  # The mounts belong to the root's own mount namespace and went with it; anything still mounted
  # under the root (a namespace that outlived its command) is taken down before the root goes.
  local m
  for m in $(findmnt -rno TARGET | grep -F "$root/" | sort -r); do umount -l "$m" || true; done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
tar -xf "$base" -C "$root"
# The root lives for one command: dpkg need not sync each file it unpacks to the disk.
echo force-unsafe-io > "$root/etc/dpkg/dpkg.cfg.d/kelvaron-clean-root"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2> /dev/null || true
# The machine's own certificate authorities (a network that inspects TLS has one): the root's
# ca-certificates takes them in when it is installed, as this machine's did, so that npm reaches its
# registry from the root as it does from here.
if compgen -G "/usr/local/share/ca-certificates/*.crt" > /dev/null; then
  mkdir -p "$root/usr/local/share/ca-certificates"
  cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
fi
mkdir -p "$root/work" "$root/var/cache/kelvaron-downloads" "$root/var/cache/kelvaron-ccache" "$root/var/cache/kelvaron-deps"
# apt's cache is the root's own (roots may run at once, and apt locks its cache), filled with links
# to the cached files.
find "$cache/archives" -maxdepth 1 -name '*.deb' -exec cp -l -t "$root/var/cache/apt/archives" {} +
# So are its package indexes, this machine's as apt last fetched them: apt in the room fetches only
# what changed since, and keeps one of these where a mirror in the middle of a sync serves a file
# that does not match its Release (apt's "old ones used instead").
find /var/lib/apt/lists -maxdepth 1 -type f -name '*_*' -exec cp -t "$root/var/lib/apt/lists" {} + 2> /dev/null || true
# The root knows this machine's other architectures from the start: apt's update deletes the indexes
# of an architecture it does not know, and an i386 index the mirror fails to serve must still be
# there when the Windows tree's packages add i386.
for arch in $(dpkg --print-foreign-architectures); do chroot "$root" dpkg --add-architecture "$arch"; done
git clone -q "$checkout" "$root/work/$name"
if [ -d "$shared" ]; then
  cp -a "$shared" "$root/work/shared"
  chmod -R a-w "$root/work/shared"
fi

# In a mount and PID namespace of its own: /dev, /sys and the source cache are bound in, /proc
# shows only the root's processes, and when the command ends every process it left and every mount
# go with it.
setup='
set -e
fresh=$1 caches=$2
shift 2
mount --rbind /dev "$fresh/dev"
mount --rbind /sys "$fresh/sys"
for c in downloads ccache deps; do mount --bind "$caches/$c" "$fresh/var/cache/kelvaron-$c"; done
exec chroot "$fresh" "$@"'
stage
start=$(date +%s)
status=0
unshare --mount --propagation private --pid --fork --kill-child --mount-proc="$root/proc" \
  bash -c "$setup" setup "$root" "$cache" /usr/bin/env -i HOME=/root \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin CI="${CI:-}" LANG=C.UTF-8 TERM=dumb \
  KELVARON_DOWNLOADS=/var/cache/kelvaron-downloads KELVARON_DEPS_CACHE=/var/cache/kelvaron-deps \
  CCACHE_DIR=/var/cache/kelvaron-ccache CCACHE_BASEDIR="/work/$name" CCACHE_NOHASHDIR=true \
  bash -c 'cd "/work/$0" && exec "$@"' "$name" "$@" \
  < /dev/null &
namespace_pid=$!
# Stopped from outside: the namespace goes first, then the root. unshare ignores TERM while it waits, so
# it is killed, and its death kills the namespace (--kill-child).
trap 'kill -KILL "$namespace_pid" 2> /dev/null; wait "$namespace_pid"; exit 143' TERM INT HUP
wait "$namespace_pid" || status=$?
for p in "${copy_out[@]}"; do
  if [ -e "$root/work/$name/$p" ]; then
    mkdir -p "$(dirname "$checkout/$p")"
    rm -rf "${checkout:?}/$p"
    cp -a "$root/work/$name/$p" "$checkout/$p"
  fi
done
echo "clean-root.sh: '$*' exited $status after $(($(date +%s) - start)) s in a fresh Debian 12 root"
exit $status
