#!/usr/bin/env bash
# Builds ODE 0.16.2 in single precision as a static library from Debian's `ode` source package
# and installs it under PREFIX. A second run with the same library in place does nothing.
#
# How it is built, and why (bench/README.md has the figures):
# - no fused multiply-add anywhere (-ffp-contract=off), so every compiler and target rounds alike;
# - natively, for arm64 and for wasm, ODE's threading layer compiled out (the program steps from one
#   thread; under mingw that made a step slower, so the Windows build keeps it);
# - natively with clang, whose vectoriser keeps each sum of the LCP solver in order, and with ThinLTO
#   across ODE's own files, done here into one object so that libode.a stays plain machine code that
#   GCC links.
# - natively and for wasm, ODE's calls of global new and delete go to a free list of its own
#   (cmake/OdeNew.cpp): its hash space makes some 200 small nodes a step. The rest of the process
#   keeps the C library's allocator.
# - for wasm, SIMD, non-trapping float-to-int conversion and bulk memory, which the browsers of the
#   last years have (Chromium 91, Firefox 89, Safari 16.4): 14 % off a step, the same results.
# - for wasm (Debian's emscripten), two changes to the generated config.h: a platform branch for
#   __EMSCRIPTEN__, and no PENTIUM (emscripten calls its processor x86, which pulls in rdtsc assembly).
# - ODE's private headers go to private/ beside include/: a snapshot of the world (src/physics/ alone)
#   reads and writes what ODE keeps to itself. They change nothing built.
#
#   scripts/build-ode.sh TARGET PREFIX
#   TARGET: native | i686-w64-mingw32 | aarch64-linux-gnu | wasm32-emscripten
set -euo pipefail
for part in log deps; do . "$(dirname "$0")/lib/$part.sh"; done

usage="usage: build-ode.sh native|i686-w64-mingw32|aarch64-linux-gnu|wasm32-emscripten PREFIX"
target=${1:?$usage}
prefix=${2:?$usage}
here=$(cd "$(dirname "$0")" && pwd)

case "$target" in
  native | aarch64-linux-gnu | wasm32-emscripten) lib="$prefix/lib/libode.a" ;;
  i686-w64-mingw32) lib="$prefix/lib/libode_singles.a" ;;
  *) echo "build-ode.sh: unknown target '$target' (native, i686-w64-mingw32, aarch64-linux-gnu or wasm32-emscripten)" >&2; exit 2 ;;
esac
case "$target" in
  native) how="clang ThinLTO, threading off, own new" compiler=clang++ toolchain=() ;;
  i686-w64-mingw32) how=gcc compiler=i686-w64-mingw32-g++-posix toolchain=("$here/../cmake/mingw-i686.cmake") ;;
  aarch64-linux-gnu) how="gcc, threading off" compiler=aarch64-linux-gnu-g++ toolchain=("$here/../cmake/aarch64-linux-gnu.cmake") ;;
  wasm32-emscripten) how="emscripten, threading off, own new, SIMD" compiler=em++ toolchain=() ;;
esac
recipe="ode-0.16.2 single, no FMA; $target: $how"
private="$prefix/private"
if [ -f "$lib" ] && grep -qs dSINGLE "$prefix/include/ode/precision.h" && [ -f "$private/ode-private/joints/hinge2.h" ] &&
   [ "$(cat "$prefix/recipe" 2> /dev/null)" = "$recipe" ]; then
  exit 0
fi
key=$(recipe_key "ode-$target" "$compiler" "$here/build-ode.sh" "$here/deb-source.sh" "$here/../cmake/OdeNew.cpp" "${toolchain[@]}")
if restore_build "$key" "$prefix" && [ -f "$lib" ] && [ -f "$private/ode-private/joints/hinge2.h" ]; then
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
flags=-ffp-contract=off
if [ "$target" = wasm32-emscripten ]; then
  flags+=" -msimd128 -mnontrapping-fptoint -mbulk-memory"
fi
if [ "$target" = native ]; then
  flags+=" -flto=thin"
  cmake_args+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
               -DODE_NO_THREADING_INTF=ON -DODE_NO_BUILTIN_THREADING_IMPL=ON)
fi
if [ "$target" = i686-w64-mingw32 ]; then
  # ODE's source spells the header <Windows.h>; mingw's is <windows.h>, and Linux file names are
  # case sensitive.
  sed -i 's/<Windows.h>/<windows.h>/' "$src"/ode/src/*.cpp
  cmake_args+=(-DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-i686.cmake")
fi

if [ "$target" = aarch64-linux-gnu ]; then
  cmake_args+=(-DCMAKE_TOOLCHAIN_FILE="$here/../cmake/aarch64-linux-gnu.cmake")
fi
if [ "$target" = aarch64-linux-gnu ] || [ "$target" = wasm32-emscripten ]; then
  cmake_args+=(-DODE_NO_THREADING_INTF=ON -DODE_NO_BUILTIN_THREADING_IMPL=ON)
fi

build="$work/build-$target"
rm -rf "$build"  # CMake would keep the flags of an earlier recipe in its cache
# Through the environment, so that CMake adds them to the toolchain's own (SSE2 arithmetic on i686).
if [ "$target" = wasm32-emscripten ]; then
  CFLAGS=$flags CXXFLAGS=$flags logged "$build.configure.log" emcmake cmake -S "$src" -B "$build" "${cmake_args[@]}"
  config="$build/ode/src/config.h"
  sed -i -e 's/^#define PENTIUM 1$//' \
         -e 's/^#elif defined(__linux__)$/#elif defined(__EMSCRIPTEN__)\n#define ODE_PLATFORM_EMSCRIPTEN\n&/' "$config"
  grep -q ODE_PLATFORM_EMSCRIPTEN "$config" && ! grep -q '^#define PENTIUM' "$config" ||
    { echo "build-ode.sh: $config is not as expected for wasm" >&2; exit 1; }
else
  CFLAGS=$flags CXXFLAGS=$flags configure "$src" "$build" "${cmake_args[@]}"
fi
logged "$build.build.log" cmake --build "$build" -j "$(nproc)"
logged "$build.install.log" cmake --install "$build"
test -f "$lib" || { echo "build-ode.sh: $lib was not installed" >&2; exit 1; }
rm -rf "$private" && mkdir -p "$private/ode-private/joints"
cp "$src"/ode/src/*.h "$private/ode-private/" && cp "$src"/ode/src/joints/*.h "$private/ode-private/joints/"
cp -r "$src/ou/include/ou" "$private/"
if [ "$target" = native ]; then
  # The archive holds ThinLTO bitcode: optimise it across files into one relocatable object.
  objects="$work/objects-$target"
  rm -rf "$objects" && mkdir -p "$objects"
  prelink() { ar x "$lib" && clang++ -flto=thin -O3 -r -nostdlib -o "$work/ode.o" ./*.o; }
  (cd "$objects" && logged "$build.prelink.log" prelink)
  # ODE's global new and delete become OdeNew.cpp's, in the object alone.
  clang++ -std=c++17 -O2 -fPIC -c "$here/../cmake/OdeNew.cpp" -o "$work/new.o"
  objcopy --redefine-sym _Znwm=_Z9dxPoolNewm --redefine-sym _Znam=_Z14dxPoolNewArraym \
          --redefine-sym _ZdlPv=_Z12dxPoolDeletePv --redefine-sym _ZdaPv=_Z17dxPoolDeleteArrayPv "$work/ode.o"
  # A form of new or delete left to the C++ library would free a block it did not make.
  left=$(nm -u "$work/ode.o" | grep -E ' _Z(nw|na|dl|da)' || true)
  [ -z "$left" ] || { echo "build-ode.sh: ODE calls forms of new or delete not redirected: $left" >&2; exit 1; }
  ld -r "$work/ode.o" "$work/new.o" -o "$work/ode-own-new.o"
  rm -f "$lib" && ar rcs "$lib" "$work/ode-own-new.o"
  rm -rf "$objects" "$work/ode.o" "$work/new.o" "$work/ode-own-new.o"
fi
if [ "$target" = wasm32-emscripten ]; then
  # llvm-objcopy cannot rename symbols in wasm objects; the linker's --wrap does it instead, in one
  # relocatable object of ODE and the free list: ODE's calls of each form go to __wrap_<form>,
  # which OdeNew.cpp defines for wasm. The forms stay undefined in the object, called by nothing.
  objects="$work/objects-$target"
  rm -rf "$objects" && mkdir -p "$objects"
  (cd "$objects" && emar x "$lib")
  em++ -std=c++17 -O2 -c "$here/../cmake/OdeNew.cpp" -o "$work/new.o"
  wraps=(_Znwm _Znam _ZdlPv _ZdaPv)
  left=$(emnm -u "$objects"/*.o 2> /dev/null | grep -E ' _Z(nw|na|dl|da)' | grep -vE " ($(IFS='|'; echo "${wraps[*]}"))\$" || true)
  [ -z "$left" ] || { echo "build-ode.sh: ODE calls forms of new or delete not wrapped: $left" >&2; exit 1; }
  em++ -r "${wraps[@]/#/-Wl,--wrap=}" "$objects"/*.o "$work/new.o" -o "$work/ode-own-new.o"
  rm -f "$lib" && emar rcs "$lib" "$work/ode-own-new.o"
  rm -rf "$objects" "$work/new.o" "$work/ode-own-new.o"
fi
printf '%s\n' "$recipe" > "$prefix/recipe"
keep_build "$key" "$prefix"
