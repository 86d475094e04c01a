#!/usr/bin/env bash
# Installs what is missing, builds Kelvaron and runs every test: once as built for use, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVARON_BUILD_DIR:-$root/build}
jobs=$(nproc)
mkdir -p "$build"

"$root/scripts/install-deps.sh"
# Both builds share one single-precision ODE, built once.
ode="$build/deps/ode-native"

for variant in release asan; do
  sanitize=OFF
  [ "$variant" = asan ] && sanitize=ON
  echo "== $variant build"
  cmake -S "$root" -B "$build/$variant" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKELVARON_ODE_PREFIX="$ode" -DKELVARON_SANITIZE=$sanitize > "$build/$variant.configure.log" 2>&1 ||
    { cat "$build/$variant.configure.log" >&2; exit 1; }
  cmake --build "$build/$variant" -j "$jobs"
  ctest --test-dir "$build/$variant" --output-on-failure -j "$jobs"
done
