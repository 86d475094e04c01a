#!/usr/bin/env bash
# Builds libsamemath.a: the C library's float functions whose last bit differs between glibc and
# mingw-w64's runtime, taken from Debian's `musl` source package (its portable C versions, not its
# x87 assembly) and compiled the same way for both targets, so that ODE and the program get the same
# results on Linux and on Windows. The exact functions (sqrtf, floorf, frexpf, ...) have one right
# answer and stay the C library's. A second run with the library in place does nothing.
#
#   scripts/build-samemath.sh TARGET PREFIX
#   TARGET: native | i686-w64-mingw32 | aarch64-linux-gnu | wasm32-emscripten
set -euo pipefail

usage="usage: build-samemath.sh native|i686-w64-mingw32|aarch64-linux-gnu|wasm32-emscripten PREFIX"
target=${1:?$usage}
prefix=${2:?$usage}
mkdir -p "$prefix/lib"
prefix=$(cd "$prefix" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

case "$target" in
  native) cc=(gcc) ar=ar arch=x86_64 ;;
  # As cmake/mingw-i686.cmake compiles: SSE2 arithmetic, never the x87's wider registers.
  i686-w64-mingw32) cc=(i686-w64-mingw32-gcc-posix -msse2 -mfpmath=sse) ar=i686-w64-mingw32-ar arch=i386 ;;
  # As cmake/aarch64-linux-gnu.cmake compiles (the flags below forbid the fused multiply-adds).
  aarch64-linux-gnu) cc=(aarch64-linux-gnu-gcc) ar=aarch64-linux-gnu-ar arch=aarch64 ;;
  # musl has no wasm port; wasm32 has i386's type sizes (ILP32) and, like SSE2, evaluates floats as
  # floats, so i386's types serve.
  wasm32-emscripten) cc=(emcc) ar=emar arch=i386 ;;
  *) echo "build-samemath.sh: unknown target '$target' (native, i686-w64-mingw32, aarch64-linux-gnu or wasm32-emscripten)" >&2; exit 2 ;;
esac
# What ODE and the program call (gcc turns a sine and cosine of one angle into sincosf, or not,
# depending on optimisation), then what those call in turn.
functions=(atan2f sincosf sinf cosf hypotf atanf __sindf __cosdf __rem_pio2f __rem_pio2_large)
lib="$prefix/lib/libsamemath.a"
# The library is made again when this script changes.
stamp="$prefix/lib/libsamemath.stamp"
made_by=$(sha256sum < "$here/build-samemath.sh")
if [ -f "$lib" ] && [ "$(cat "$stamp" 2> /dev/null)" = "$made_by" ]; then
  exit 0
fi
. "$here/lib/deps.sh"
key=$(recipe_key "samemath-$target" "${cc[0]}" "$here/build-samemath.sh" "$here/deb-source.sh")
if restore_build "$key" "$prefix" && [ -f "$lib" ]; then
  exit 0
fi

downloads=${KELVARON_DOWNLOADS:-$(dirname "$prefix")/downloads}
tarball=$("$here/deb-source.sh" musl_1.2 "$downloads")
work="$prefix/src"
rm -rf "$work"
mkdir -p "$work/obj/include/bits"
tar -xzf "$tarball" -C "$work" --strip-components=1
cd "$work"
sed -f tools/mkalltypes.sed "arch/$arch/bits/alltypes.h.in" include/alltypes.h.in > obj/include/bits/alltypes.h

# musl's own flags for its C files (configure's CFLAGS_C99FSE and its math safeguards), with no
# contraction into fused multiply-adds, which one machine has and another not. Its headers only, so
# that the code sees the types and macros it was written for. -w: a foreign source's warnings are
# not ours to fix, and PE objects cannot have the hidden visibility musl gives its internal names.
flags=(-std=c99 -nostdinc -ffreestanding -fexcess-precision=standard -frounding-math -ffp-contract=off
       -O2 -D_XOPEN_SOURCE=700 -w
       -I "arch/$arch" -I arch/generic -I src/include -I src/internal -I obj/include -I include)
objects=()
for f in "${functions[@]}"; do
  "${cc[@]}" "${flags[@]}" -c "src/math/$f.c" -o "obj/$f.o"
  objects+=("obj/$f.o")
done
rm -f "$lib"
"$ar" rcs "$lib" "${objects[@]}"
echo "$made_by" > "$stamp"
keep_build "$key" "$prefix"
