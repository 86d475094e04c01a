#!/usr/bin/env bash
# Installs what is missing, builds Kelvaron and runs every test: the Linux build once as built for
# use and once under AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows build under Wine,
# the browser build, the fuzzers and the arm64 build under qemu-user.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVARON_BUILD_DIR:-$root/build}
jobs=$(nproc)
mkdir -p "$build"
for part in log wine; do . "$root/scripts/lib/$part.sh"; done
# Each stage's seconds, printed at the end; CI passes a table of its own to add them to.
if [ -z "${KELVARON_STAGES:-}" ]; then
  export KELVARON_STAGES="$build/stages.tsv"
  : > "$KELVARON_STAGES"
fi

stage "packages"
"$root/scripts/install-deps.sh" test
use_compiler_cache
# Both builds share one single-precision ODE, built once.
ode="$build/deps/ode-native"

for variant in release asan; do
  sanitize=OFF
  [ "$variant" = asan ] && sanitize=ON
  stage "$variant: configure"
  configure "$root" "$build/$variant" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARON_ODE_PREFIX="$ode" \
    -DKELVARON_SANITIZE=$sanitize
  stage "$variant: build"
  cmake --build "$build/$variant" -j "$jobs"
  stage "$variant: tests"
  ctest --test-dir "$build/$variant" --output-on-failure -j "$jobs"
done

stage "windows: configure"
configure "$root" "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARON_ODE_PREFIX="$build/deps/ode-i686-w64-mingw32" \
  -DKELVARON_LINUX_REPLAY="$build/release/tools/kelvaron-replay"
stage "windows: build"
cmake --build "$build/windows" -j "$jobs"
stage "windows: tests"
use_wine_prefix "$build/wineprefix"  # made once, before the tests share it
ctest --test-dir "$build/windows" --output-on-failure -j "$jobs"

# The wasm replay under node against the Linux traces, and the page in Chromium.
stage "web: configure"
logged "$build/web.configure.log" emcmake cmake -S "$root" -B "$build/web" -DCMAKE_BUILD_TYPE=Release \
  -DKELVARON_ODE_PREFIX="$build/deps/ode-wasm32-emscripten" -DKELVARON_LINUX_REPLAY="$build/release/tools/kelvaron-replay" \
  -DKELVARON_WINDOWS_REPLAY="$build/windows/tools/kelvaron-replay.exe"
stage "web: build"
cmake --build "$build/web" -j "$jobs"
stage "web: tests"
ctest --test-dir "$build/web" --output-on-failure -j "$jobs"

stage "fuzz"  # every reader of outside input under ASan and UBSan: its corpus, then 8 s of new inputs
bash "$root/fuzz/run.sh" "$build/fuzz" 8

stage "arm64: configure"  # the programs cross-built for aarch64; under qemu-user, the replay against the release build's traces
configure "$root" "$build/arm64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARON_ODE_PREFIX="$build/deps/ode-aarch64-linux-gnu" \
  -DKELVARON_LINUX_REPLAY="$build/release/tools/kelvaron-replay"
stage "arm64: build"
cmake --build "$build/arm64" -j "$jobs" --target kelvaron-replay kelvaron render_tests
stage "arm64: tests"
ctest --test-dir "$build/arm64" --output-on-failure -j "$jobs" -L arm64

stage "packages: build and prove"  # the .debs' proofs on new systems need clean roots of their own: .ci/run
"$root/scripts/package.sh"
"$root/tests/package/windows_installer_test.sh" "$build/packages/kelvaron-setup.exe"
"$root/tests/package/versions_test.sh" "$build/packages"/kelvaron_*_amd64.deb "$build/packages/kelvaron-setup.exe" \
  "$build/windows/packaging/kelvaron.scr"
# The arm64 package's proof in an arm64 root runs outside any chroot (.ci/run): what it needs of the
# builds, the arm64 replay and the x86_64 replay's trace, goes beside it.
"$root/tests/package/deb_arm64_root_test.sh" --prepare "$build/arm64-replay" "$build/arm64/tools/kelvaron-replay" \
  "$build/release/tools/kelvaron-replay"
stage
print_stages "$KELVARON_STAGES"
