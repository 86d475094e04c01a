#!/usr/bin/env bash
# Installs what is missing, builds Kelvaron and runs every test: the Linux build once as built for
# use (as its .deb is) and once under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows build under Wine, the browser build, the fuzzers and the arm64 build under qemu-user.
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
# What the build for use needs; the rest of the tests' packages install while it builds.
"$root/scripts/install-deps.sh" run
"$root/scripts/install-deps.sh" test > "$build/packages.log" 2>&1 &
packages=$!
use_compiler_cache
# Both builds share one single-precision ODE, built once.
ode="$build/deps/ode-native"

# The build for use is the .deb's, with Debian's flags; the sanitizers' has debugging's.
mapfile -t release < <(debian_build_options "$root" "$(dpkg --print-architecture)")
for variant in release asan; do
  options=("${release[@]}")
  [ "$variant" = asan ] && options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARON_SANITIZE=ON)
  stage "$variant: configure"
  configure "$root" "$build/$variant" "${options[@]}" -DKELVARON_ODE_PREFIX="$ode"
  stage "$variant: build"
  cmake --build "$build/$variant" -j "$jobs"
  if [ "$variant" = release ]; then
    stage "packages: the tests' rest"
    wait "$packages" || { cat "$build/packages.log" >&2; exit 1; }
  fi
  stage "$variant: tests"
  ctest --test-dir "$build/$variant" --output-on-failure -j "$jobs"
done

stage "windows: configure"
configure "$root" "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARON_ODE_PREFIX="$build/deps/ode-i686-w64-mingw32" \
  -DKELVARON_LINUX_REPLAY="$build/release/bench/kelvaron-replay"
stage "windows: build"
cmake --build "$build/windows" -j "$jobs"
stage "windows: tests, with the web and arm64 trees built beside"
use_wine_prefix "$build/wineprefix"  # made once, before the tests share it
ctest --test-dir "$build/windows" --output-on-failure -j "$jobs" > "$build/windows.tests.log" 2>&1 &
windows_tests=$!
# Many of Wine's tests run one at a time and wait on windows: the builds take what they leave of the
# machine, at the lowest priority.
builds=0
(
  # Its status is asked for, so errors do not end it by themselves: each step ends it.
  renice -n 19 -p "$BASHPID" > /dev/null
  # The page, and the wasm replay under node against the Linux traces.
  logged "$build/web.configure.log" emcmake cmake -S "$root" -B "$build/web" -DCMAKE_BUILD_TYPE=Release \
    -DKELVARON_ODE_PREFIX="$build/deps/ode-wasm32-emscripten" -DKELVARON_LINUX_REPLAY="$build/release/bench/kelvaron-replay" \
    -DKELVARON_WINDOWS_REPLAY="$build/windows/bench/kelvaron-replay.exe" || exit
  logged "$build/web.build.log" cmake --build "$build/web" -j "$jobs" || exit
  # The programs cross-built for aarch64; under qemu-user, the replay against the release build's traces.
  mapfile -t arm64 < <(debian_build_options "$root" arm64)
  configure "$root" "$build/arm64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" \
    "${arm64[@]}" -DKELVARON_ODE_PREFIX="$build/deps/ode-aarch64-linux-gnu" \
    -DKELVARON_LINUX_REPLAY="$build/release/bench/kelvaron-replay" || exit
  logged "$build/arm64.build.log" cmake --build "$build/arm64" -j "$jobs" --target kelvaron-replay kelvaron render_tests
) || builds=$?
stage "windows: tests, after the builds"
windows=0
wait "$windows_tests" || windows=$?
cat "$build/windows.tests.log"
[ $windows -eq 0 ] || exit $windows
[ $builds -eq 0 ] || exit $builds

stage "web: tests"  # the wasm replay's traces against the Linux build's, and the page in Chromium
ctest --test-dir "$build/web" --output-on-failure -j "$jobs"

stage "fuzz"  # every reader of outside input under ASan and UBSan: its corpus, then 8 s of new inputs
bash "$root/fuzz/run.sh" "$build/fuzz" 8

stage "arm64: tests"
ctest --test-dir "$build/arm64" --output-on-failure -j "$jobs" -L arm64

stage "packages: build and prove"  # the .debs' proofs on new systems need clean rooms of their own: .ci/run
"$root/scripts/package.sh"
"$root/tests/package/windows_installer_test.sh" "$build/packages/kelvaron-setup.exe"
"$root/tests/package/versions_test.sh" "$build/packages"/kelvaron_*_amd64.deb "$build/packages/kelvaron-setup.exe" \
  "$build/windows/packaging/kelvaron.scr"
# The arm64 package's proof in an arm64 root runs outside any chroot (.ci/run): what it needs of the
# builds, the arm64 replay and the x86_64 replay's trace, goes beside it.
"$root/tests/package/deb_arm64_root_test.sh" --prepare "$build/arm64-replay" "$build/arm64/bench/kelvaron-replay" \
  "$build/release/bench/kelvaron-replay"
stage
print_stages "$KELVARON_STAGES"
