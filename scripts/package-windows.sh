#!/usr/bin/env bash
# Makes the Windows installer PACKAGES/kelvaron-setup.exe: kelvaron.scr cross-built for i686 in the
# tree scripts/test.sh tests (windows/), then NSIS's makensis (the kelvaron_setup target). Prints
# the installer's path.
#   scripts/package-windows.sh
# KELVARON_BUILD_DIR (build/) holds the build and packages/; ODE is built once into
# KELVARON_DEPS_DIR (build/deps), as scripts/test.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVARON_BUILD_DIR:-$root/build}
deps=${KELVARON_DEPS_DIR:-$build/deps}
dir=$build/windows
out=$build/packages
mkdir -p "$dir" "$out"

cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKELVARON_ODE_PREFIX="$deps/ode-i686-w64-mingw32" > "$dir.configure.log" 2>&1 ||
  { cat "$dir.configure.log" >&2; exit 1; }
cmake --build "$dir" -j "$(nproc)" --target kelvaron_setup > "$dir.setup.log" 2>&1 ||
  { tail -n 40 "$dir.setup.log" >&2; exit 1; }
cp "$dir/kelvaron-setup.exe" "$out/"
echo "$out/kelvaron-setup.exe"
