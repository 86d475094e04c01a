#!/usr/bin/env bash
# Installs what is missing, builds Kelvaron and runs every test: the Linux build once as built for
# use (as its .deb is) and once under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows build under Wine, the browser build, the fuzzers and the arm64 build under qemu-user.
#
# The build for use comes first. The other trees then build one after another beside the tests, at
# the lowest priority, in what the tests leave of the machine: many of them wait on windows on a
# single core. Each tree's tests wait for its build.
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
# Both Linux builds share one single-precision ODE, built once.
ode="$build/deps/ode-native"
replay="$build/release/tools/kelvaron-replay"

# The trees built beside the tests, in order. Each is a step list, run with its output in
# BUILD/NAME.beside.log; BUILD/NAME.built or NAME.failed tells the tests how it went.
asan() {
  configure "$root" "$build/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARON_SANITIZE=ON \
    -DKELVARON_ODE_PREFIX="$ode" && cmake --build "$build/asan" -j "$jobs"
}
windows() {
  configure "$root" "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARON_ODE_PREFIX="$build/deps/ode-i686-w64-mingw32" \
    -DKELVARON_LINUX_REPLAY="$replay" && cmake --build "$build/windows" -j "$jobs" &&
    make_wine_template "$build/wine-template"
}
web() {  # the page, and the wasm replay under node against the Linux traces
  emcmake cmake -S "$root" -B "$build/web" -DCMAKE_BUILD_TYPE=Release \
    -DKELVARON_ODE_PREFIX="$build/deps/ode-wasm32-emscripten" -DKELVARON_LINUX_REPLAY="$replay" \
    -DKELVARON_WINDOWS_REPLAY="$build/windows/tools/kelvaron-replay.exe" && cmake --build "$build/web" -j "$jobs"
}
arm64() {  # the programs cross-built for aarch64 as the .deb builds them; the replay runs under qemu-user
  local options
  mapfile -t options < <(debian_build_options "$root" arm64)
  configure "$root" "$build/arm64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" \
    "${options[@]}" -DKELVARON_ODE_PREFIX="$build/deps/ode-aarch64-linux-gnu" -DKELVARON_LINUX_REPLAY="$replay" &&
    cmake --build "$build/arm64" -j "$jobs" --target kelvaron-replay kelvaron render_tests
}
fuzz() { bash "$root/fuzz/run.sh" --build-only "$build/fuzz"; }
trees=(asan windows web arm64 fuzz)

# Waits until the packages of WHICH (linux or all) are in; fails, showing why, if installing failed.
wait_for_packages() {  # WHICH
  until [ -e "$build/packages.$1" ]; do
    if [ -e "$build/packages.failed" ]; then
      echo "Installing the tests' packages failed:" >&2
      cat "$build/packages.log" >&2
      exit 1
    fi
    sleep 1
  done
}

if [ "${1:-}" = --beside ]; then
  wait_for_packages all
  for tree in "${trees[@]}"; do
    start=$SECONDS
    # Its status is asked for, so a failing step does not end it by itself: each step list stops.
    if "$tree" > "$build/$tree.beside.log" 2>&1; then
      printf 'beside: %s build\t%d\n' "$tree" $((SECONDS - start)) >> "$KELVARON_STAGES"
      touch "$build/$tree.built"
    else
      touch "$build/$tree.failed"
      exit 1
    fi
  done
  exit 0
fi

# Waits for TREE's build beside the tests; fails, showing why, if it failed.
wait_for_tree() {  # TREE
  stage "$1: the rest of its build"
  until [ -e "$build/$1.built" ]; do
    [ -e "$build/packages.failed" ] && wait_for_packages all
    if [ -e "$build/$1.failed" ] || { ! kill -0 "$beside" 2> /dev/null && [ ! -e "$build/$1.built" ]; }; then
      echo "The $1 build failed:" >&2
      tail -n 40 "$build/$1.beside.log" >&2
      exit 1
    fi
    sleep 1
  done
}

stage "packages"
# What the build for use needs; while it builds, its tests' few packages install, then the other
# trees' many, while its tests run. Files in BUILD say how far that has come.
"$root/scripts/install-deps.sh" run
rm -f "$build/packages."*
{ "$root/scripts/install-deps.sh" linux-tests && touch "$build/packages.linux" &&
    nice -n 10 "$root/scripts/install-deps.sh" test && touch "$build/packages.all" || touch "$build/packages.failed"
} > "$build/packages.log" 2>&1 &
# Once the packages are in: in a new root ccache comes with them.
use_compiler_cache

stage "release: configure"  # the build for use is the .deb's, with Debian's flags
mapfile -t options < <(debian_build_options "$root" "$(dpkg --print-architecture)")
configure "$root" "$build/release" "${options[@]}" -DKELVARON_ODE_PREFIX="$ode"
stage "release: build"
cmake --build "$build/release" -j "$jobs"
stage "packages: the Linux tests'"
wait_for_packages linux

for tree in "${trees[@]}"; do rm -f "$build/$tree.built" "$build/$tree.failed"; done
# In a session of its own, so that everything it started ends with the tests.
nice -n 19 setsid bash "$0" --beside &
beside=$!
trap 'kill -- -"$beside" 2> /dev/null || true' EXIT

stage "release: tests"
ctest --test-dir "$build/release" --output-on-failure -j "$jobs"

wait_for_tree asan
stage "asan: tests"
ctest --test-dir "$build/asan" --output-on-failure -j "$jobs"

wait_for_tree windows
stage "windows: tests"
export KELVARON_WINE_TEMPLATE="$build/wine-template"  # each test's new prefix a copy of it
use_wine_prefix "$build/wineprefix"  # made once, before the tests share it
ctest --test-dir "$build/windows" --output-on-failure -j "$jobs"

wait_for_tree web
stage "web: tests"  # the wasm replay's traces against the Linux build's, and the page in Chromium
ctest --test-dir "$build/web" --output-on-failure -j "$jobs"

wait_for_tree arm64
stage "arm64: tests"
ctest --test-dir "$build/arm64" --output-on-failure -j "$jobs" -L arm64

wait_for_tree fuzz
stage "fuzz"  # every reader of outside input under ASan and UBSan: its corpus, then 8 s of new inputs
bash "$root/fuzz/run.sh" "$build/fuzz" 8

stage "packages: build and prove"  # the .debs' proofs on new systems need clean roots of their own: .ci/run
"$root/scripts/package.sh"
"$root/tests/package/windows_installer_test.sh" "$build/packages/kelvaron-setup.exe"
"$root/tests/package/versions_test.sh" "$build/packages"/kelvaron_*_amd64.deb "$build/packages/kelvaron-setup.exe" \
  "$build/windows/packaging/kelvaron.scr"
# The arm64 package's proof in an arm64 root runs outside any chroot (.ci/run): what it needs of the
# builds, the arm64 replay and the x86_64 replay's trace, goes beside it.
"$root/tests/package/deb_arm64_root_test.sh" --prepare "$build/arm64-replay" "$build/arm64/tools/kelvaron-replay" "$replay"
stage
print_stages "$KELVARON_STAGES"
