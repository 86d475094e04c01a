#!/usr/bin/env bash
# Makes the packages people install, into PACKAGES (build/packages), and prints their paths:
#   scripts/package.sh [deb [amd64|arm64]|windows]...     (all three when none is named)
#   deb      kelvaron_<version>_<arch>.deb: the program built with Debian's build flags (hardening)
#            for the architecture (amd64 unless named; arm64 cross-built, as scripts/test.sh builds
#            it) in deb/ or deb-arm64/, CPack's DEB generator (dependencies from dpkg-shlibdeps),
#            then lintian. The amd64 one has the relay too, and the page it serves from the web
#            build in web/ (built there first, as scripts/run-web.sh does, if it is not).
#   windows  kelvaron-setup.exe: kelvaron.scr cross-built in windows/, the tree scripts/test.sh
#            tests, and NSIS's makensis (the kelvaron_setup target)
# KELVARON_BUILD_DIR (build/) holds the builds; ODE is built once into KELVARON_DEPS_DIR
# (build/deps), as scripts/test.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVARON_BUILD_DIR:-$root/build}
deps=${KELVARON_DEPS_DIR:-$build/deps}
out=$build/packages
mkdir -p "$out"
for part in log page; do . "$root/scripts/lib/$part.sh"; done
use_compiler_cache

deb() {  # ARCH
  local arch=$1 dir=$build/deb target=native options=() programs=(kelvaron kelvaron-wayland kelvaron-replay kelvaron_docs)
  if [ "$arch" = arm64 ]; then
    dir=$build/deb-arm64 target=aarch64-linux-gnu
    options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake")
  else
    # The cross build has no relay (cmake/Linux.cmake), and so no page to serve.
    build_page "$root" "$build/web" "$deps/ode-wasm32-emscripten"
    options=(-DKELVARON_WEB_BUILD="$build/web")
    programs+=(kelvaron-relay)
  fi
  # The flags, and the library paths dpkg-shlibdeps searches, are the package's architecture's.
  local debian
  mapfile -t debian < <(debian_build_options "$root" "$arch")
  # The man page's and the changelog's date: the last commit's, so that the same tree makes the same files.
  SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2> /dev/null || date +%s)}
  export SOURCE_DATE_EPOCH
  # Only what is installed is built: CPack's install step then builds nothing more (no tests).
  configure "$root" "$dir" "${options[@]}" "${debian[@]}" \
    -DKELVARON_ODE_PREFIX="$deps/ode-$target" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
  logged "$dir.build.log" cmake --build "$dir" -j "$(nproc)" --target "${programs[@]}"
  rm -f "$out"/kelvaron_*_"$arch".deb
  (cd "$dir" && DEB_HOST_ARCH=$arch logged "$dir.cpack.log" cpack -G DEB -B "$out")
  rm -rf "$out/_CPack_Packages"
  local package
  package=$(ls "$out"/kelvaron_*_"$arch".deb)
  lintian --pedantic --fail-on error,warning --info "$package" >&2
  echo "$package"
}

windows() {
  local dir=$build/windows
  configure "$root" "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARON_ODE_PREFIX="$deps/ode-i686-w64-mingw32"
  logged "$dir.setup.log" cmake --build "$dir" -j "$(nproc)" --target kelvaron_setup
  cp "$dir/kelvaron-setup.exe" "$out/"
  echo "$out/kelvaron-setup.exe"
}

[ $# -gt 0 ] || set -- deb amd64 deb arm64 windows
while [ $# -gt 0 ]; do
  case $1 in
    deb)
      case ${2:-} in
        amd64 | arm64) deb "$2"; shift ;;
        *) deb amd64 ;;
      esac ;;
    windows) windows ;;
    *) echo "usage: package.sh [deb [amd64|arm64]|windows]..." >&2; exit 2 ;;
  esac
  shift
done
