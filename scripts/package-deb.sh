#!/usr/bin/env bash
# Makes the Debian package PACKAGES/kelvaron_<version>_amd64.deb from this tree and checks it with
# lintian: the program built with Debian's build flags (dpkg-buildflags: hardening), then CPack's DEB
# generator, whose dependencies dpkg-shlibdeps reads from the binary. Prints the package's path.
#   scripts/package-deb.sh
# KELVARON_BUILD_DIR (build/) holds the build in deb/ and the package in packages/; ODE is built
# once into KELVARON_DEPS_DIR (build/deps), as scripts/test.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVARON_BUILD_DIR:-$root/build}
deps=${KELVARON_DEPS_DIR:-$build/deps}
dir=$build/deb
out=$build/packages
mkdir -p "$dir" "$out"

flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
# Only what is installed is built: CPack's install step then builds nothing more (the tests stay out).
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=None -DKELVARON_ODE_PREFIX="$deps/ode-native" \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
      -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
      > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log" >&2; exit 1; }
cmake --build "$dir" -j "$(nproc)" --target kelvaron kelvaron_docs > "$dir.build.log" 2>&1 ||
  { tail -n 40 "$dir.build.log" >&2; exit 1; }
(cd "$dir" && cpack -G DEB -B "$out") > "$dir.cpack.log" 2>&1 ||
  { cat "$dir.cpack.log" >&2; exit 1; }
rm -rf "$out/_CPack_Packages"
deb=$(ls "$out"/kelvaron_*_amd64.deb)
lintian --fail-on error --info "$deb" >&2
echo "$deb"
