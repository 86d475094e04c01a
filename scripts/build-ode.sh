#!/usr/bin/env bash
# Builds ODE 0.16.2 in single precision as a static library from Debian's `ode` source package
# and installs it under PREFIX. A second run with the library in place does nothing.
#
#   scripts/build-ode.sh TARGET PREFIX
#   TARGET: native | i686-w64-mingw32
set -euo pipefail

target=${1:?usage: build-ode.sh native|i686-w64-mingw32 PREFIX}
prefix=${2:?usage: build-ode.sh native|i686-w64-mingw32 PREFIX}
here=$(cd "$(dirname "$0")" && pwd)

case "$target" in
  native) lib="$prefix/lib/libode.a" ;;
  i686-w64-mingw32) lib="$prefix/lib/libode_singles.a" ;;
  *) echo "build-ode.sh: unknown target '$target' (native or i686-w64-mingw32)" >&2; exit 2 ;;
esac
if [ -f "$lib" ] && grep -qs dSINGLE "$prefix/include/ode/precision.h"; then
  exit 0
fi

work="$prefix/src"
mkdir -p "$work"
src=$(find "$work" -maxdepth 1 -type d -name 'ode-0.16*' | head -n 1)
# Downloaded source files are kept here and used again while they match the hashes of their .dsc.
downloads=${KELVARON_DOWNLOADS:-$(dirname "$prefix")/downloads}
if [ -z "$src" ]; then
  tarball=$("$here/deb-source.sh" ode_0.16 "$downloads")
  tar -xzf "$tarball" -C "$work"
  src=$(find "$work" -maxdepth 1 -type d -name 'ode-0.16*' | head -n 1)
fi

cmake_args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
            -DBUILD_SHARED_LIBS=OFF -DODE_DOUBLE_PRECISION=OFF
            -DODE_WITH_DEMOS=OFF -DODE_WITH_TESTS=OFF -DODE_WITH_OPCODE=OFF)
if [ "$target" = i686-w64-mingw32 ]; then
  # ODE's source spells the header <Windows.h>; mingw's is <windows.h>, and Linux file names are
  # case sensitive.
  sed -i 's/<Windows.h>/<windows.h>/' "$src"/ode/src/*.cpp
  cmake_args+=(-DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-i686.cmake")
fi

build="$work/build-$target"
cmake -S "$src" -B "$build" "${cmake_args[@]}" > "$build.log" 2>&1 ||
  { cat "$build.log" >&2; exit 1; }
cmake --build "$build" -j "$(nproc)" >> "$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; exit 1; }
cmake --install "$build" >> "$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; exit 1; }
test -f "$lib" || { echo "build-ode.sh: $lib was not installed" >&2; exit 1; }
