#!/usr/bin/env bash
# Proves the arm64 package on an arm64 Debian 12 system, emulated: a brand-new minimal arm64 root
# made by mmdebstrap, the package installed there by apt-get with what it depends on, then
# `kelvaron --version`, and the arm64 replay on the root's own libraries, whose trace and state
# hashes must be the x86_64 replay's byte for byte.
#   tests/package/deb_arm64_root_test.sh KELVARON_ARM64.DEB DIR     (as root)
#   tests/package/deb_arm64_root_test.sh --prepare DIR ARM64-REPLAY X86_64-REPLAY
#   tests/package/deb_arm64_root_test.sh --base-root                 (as root)
# DIR holds the arm64 replay and the x86_64 replay's trace; --prepare puts them there (scripts/test.sh
# does, for .ci/run). --base-root only makes the minimal arm64 root the test starts from, which takes
# minutes under qemu, so that .ci/run has it made while the builds run.
#
# The machine has no binfmt_misc entry for arm64, and none is made: the root's programs, apt's and
# dpkg's maintainer scripts among them, run under qemu-aarch64-static through an entry in a user
# namespace of the test's own (Linux 6.7 or later), which goes when the test ends. Not in a chroot:
# a chrooted process may not make a user namespace (so .ci/run runs this outside its clean root).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# The frames the replay runs in the root: the autopilot drives, so that the cars and the world move.
replay_args=(--frames 600 --autopilot 7 --hash)

if [ "${1:-}" = --prepare ]; then
  dir=$2 arm64=$3 x86_64=$4
  mkdir -p "$dir"
  cp "$arm64" "$dir/kelvaron-replay"
  "$x86_64" "${replay_args[@]}" > "$dir/x86_64.trace"
  exit 0
fi

# Runs COMMAND as root of a new user namespace in which users and groups 0 to 65535 are the
# machine's own (a package's files keep their owners), with mount and PID namespaces of its own.
# Root writes the maps itself, as no /etc/subuid range is needed for that.
in_user_namespace() {  # COMMAND...
  local go pid self ns tries
  go=$(mktemp -u /tmp/kelvaron-userns.XXXXXX)
  mkfifo "$go"
  unshare --user --mount --pid --fork --kill-child bash -c 'read -r _ < "$0"; rm -f "$0"; exec "$@"' "$go" "$@" &
  pid=$!
  self=$(readlink /proc/self/ns/user)
  for tries in $(seq 200); do
    ns=$(readlink "/proc/$pid/ns/user" 2> /dev/null) || break
    [ "$ns" != "$self" ] && break
    sleep 0.05
  done
  echo '0 0 65536' > "/proc/$pid/uid_map"
  echo '0 0 65536' > "/proc/$pid/gid_map"
  echo go > "$go"
  wait "$pid"
}

if [ "${1:-}" = --base-root ]; then
  [ "$(id -u)" -eq 0 ] || { echo "deb_arm64_root_test.sh: needs root" >&2; exit 2; }
  "$here/../../scripts/install-deps.sh" roots
  in_user_namespace bash "$0" --inside-base
  exit
fi
if [ "${1:-}" != --inside ] && [ "${1:-}" != --inside-base ]; then
  [ $# -eq 2 ] || { echo "usage: deb_arm64_root_test.sh KELVARON_ARM64.DEB DIR | --prepare DIR ARM64-REPLAY X86_64-REPLAY | --base-root" >&2; exit 2; }
  [ "$(id -u)" -eq 0 ] || { echo "deb_arm64_root_test.sh: needs root" >&2; exit 2; }
  deb=$(realpath "$1") dir=$(realpath "$2")
  [ -s "$deb" ] && [ -x "$dir/kelvaron-replay" ] && [ -s "$dir/x86_64.trace" ] ||
    { echo "deb_arm64_root_test.sh: no package at $1, or no replay and trace in $2" >&2; exit 2; }
  "$here/../../scripts/install-deps.sh" roots
  root=$(mktemp -d /var/tmp/kelvaron-arm64-root.XXXXXX)
  # The namespace's mounts went with it; the root's files belong to the machine's users.
  trap 'rm -rf --one-file-system "$root"' EXIT
  start=$(date +%s)
  status=0
  in_user_namespace bash "$0" --inside "$deb" "$dir" "$root" || status=$?
  echo "deb_arm64_root_test.sh: exited $status after $(($(date +%s) - start)) s"
  exit $status
fi

# Inside the namespace, as its root.
deb=${2:-} dir=${3:-} root=${4:-}  # none for --inside-base
for part in checks roots versions; do . "$here/../../scripts/lib/$part.sh"; done
set +e  # the checks count failures themselves
binfmt=$(mktemp -d)
trap 'umount "$binfmt"; rmdir "$binfmt"' EXIT
mount -t binfmt_misc binfmt_misc "$binfmt" || exit 1
# Debian's qemu-aarch64 entry, F: the emulator is opened now, so that it runs inside a root without it.
printf '%s' ':qemu-aarch64:M::\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00:\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-aarch64-static:F' \
  > "$binfmt/register" || exit 1

base=$(base_root arm64) || exit 1
[ "$1" = --inside-base ] && exit 0
tar -xf "$base" -C "$root" --exclude='./dev/*'  # /dev is the machine's, bound in
echo force-unsafe-io > "$root/etc/dpkg/dpkg.cfg.d/kelvaron-test"  # a root for one test: no syncing each file
cp /etc/resolv.conf "$root/etc/resolv.conf" 2> /dev/null
cp "$deb" "$dir/kelvaron-replay" "$root/tmp/"
mount -t proc proc "$root/proc" && mount --rbind /dev "$root/dev" || exit 1
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

check_equal "the root is Debian's arm64" arm64 "$(in_root dpkg --print-architecture)"
# The replay draws nothing but links the offscreen context and the PNG writer, which the package does not need.
in_root sh -c "apt-get update -qq && apt-get install -y -qq --no-install-recommends /tmp/$(basename "$deb") libosmesa6 libpng16-16" \
  > "$dir/apt.log" 2>&1
check "apt-get installs the package with what it depends on" [ $? -eq 0 ] || tail -n 30 "$dir/apt.log"
check_equal "kelvaron --version prints the package's version" "kelvaron $(dpkg-deb -f "$deb" Version)" \
  "$(in_root kelvaron --version)"
check_equal "... which is the project's" "$project_version" "$(dpkg-deb -f "$deb" Version)"
in_root /tmp/kelvaron-replay "${replay_args[@]}" > "$dir/arm64.trace"
check "the arm64 replay's trace and hashes there are the x86_64 replay's ($(grep -c '^hash' "$dir/x86_64.trace") hashes)" \
  cmp "$dir/x86_64.trace" "$dir/arm64.trace"
finish
