#!/usr/bin/env bash
# Installs the Debian 12 packages that Kelvaron needs, only those that are missing:
#   scripts/install-deps.sh run    building and running it (scripts/run.sh)
#   scripts/install-deps.sh linux-tests  that, and what the build for use's tests call
#   scripts/install-deps.sh [test] that, and what every test and test script calls (scripts/test.sh)
#   scripts/install-deps.sh web    building and running the browser build (scripts/run.sh --web)
#   scripts/install-deps.sh roots  making fresh Debian 12 roots, amd64 and arm64 (scripts/clean-root.sh)
#   scripts/install-deps.sh bench  building it, and drawing the figures' plots (bench/relay-figures.sh)
# As root it installs them; otherwise only the install goes through sudo, or, without sudo, it names
# the packages and the command to run and fails.
set -euo pipefail

run_packages=(
  g++ cmake make pkg-config               # the build
  dpkg-dev                                # dpkg-buildflags: Debian's compiler flags, as the .deb has
  ccache                                  # builds again, of the same sources, from the cache
  clang                                   # ODE compiled by clang: faster, the same results
  ca-certificates                         # apt-get source: the single-precision ODE, musl's float functions
  libsdl2-dev libx11-dev libxinerama-dev  # window, input, previews in a foreign X window, monitors
  libgtk-3-dev                            # settings dialog and message boxes
  libfreetype-dev libfontconfig-dev fonts-liberation  # overlay glyphs: Arial's metric twin
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri  # GL 1.1 and GLU, drawn by Mesa without a GPU
  # The Wayland program: the layer run's surfaces, their EGL windows and GL context, its keys; the
  # protocols' code made from Debian's wayland-protocols and wlroots' source (xz: its tarball).
  libwayland-dev libwayland-bin wayland-protocols libegl-dev libegl-mesa0 libopengl-dev libxkbcommon-dev xz-utils
  # The whole tree configures its tests too: the offscreen context, saved frames and doctest.
  libosmesa6-dev libpng-dev doctest-dev
  libboost-dev                            # kelvaron-relay: Boost.Beast and Asio, headers only
  libhiredis-dev                          # kelvaron-relay --redis: the fleet's room map
  xvfb xfonts-base x11-utils              # the private display; X core fonts for SDL's message box
  xdotool imagemagick                     # driving the cars there and saving screenshots
  librsvg2-bin                            # the icons, drawn from data/kelvaron.svg
)
# What the build for use's own tests need beyond that: few, so that they install first and those
# tests start while the other trees' packages install.
linux_test_packages=(
  xclip                                   # reading the settings dialogs' fields
  xscreensaver                            # the daemon that runs the hack
  xserver-xephyr                          # two monitors inside the test display
  procps                                  # ps: what a process that did not end is doing
  locales                                 # de_DE's source, compiled by the settings tests
  strace                                  # the reliability tests: when a hack's signal arrives
  iproute2                                # ss: which process kept a connection to the test display
  appstream                               # appstreamcli: the metainfo file's check
  sway grim wtype                         # the Wayland test's headless compositor, screenshots and keys
  redis-server                            # the relays' fleet test: the room map they share
)
# What the other trees and their tests need, and the packages' checks.
test_packages=(
  g++-mingw-w64-i686-posix                # kelvaron.scr and the Windows test programs
  libstb-dev                              # stb_image_write, kelvaron.scr's PNG writer
  wine wine32:i386                        # running them here
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386  # Wine's opengl32
  libxcomposite1:i386                     # Wine's GL in a child window (the preview), as on a desktop
  libclang-rt-14-dev                      # the fuzzers: clang's libFuzzer, ASan and UBSan
  file lintian nsis                       # scripts/package.sh: CPack's DEB, lintian, makensis
  icoutils                                # kelvaron.ico for kelvaron.scr and its installer
)
# The arm64 build, cross-compiled and run under qemu-user: Debian's toolchain and the :arm64 libraries
# the whole tree configures against.
arm64_packages=(
  crossbuild-essential-arm64              # aarch64-linux-gnu-g++, its C library and binutils (objdump)
  qemu-user-static                        # qemu-aarch64-static: the programs run without binfmt_misc
  libsdl2-dev:arm64 libx11-dev:arm64 libxinerama-dev:arm64 libgtk-3-dev:arm64
  libfreetype-dev:arm64 libfontconfig-dev:arm64 libgl-dev:arm64 libglu1-mesa-dev:arm64
  libwayland-dev:arm64 libegl-dev:arm64 libopengl-dev:arm64 libxkbcommon-dev:arm64
  libosmesa6-dev:arm64 libpng-dev:arm64   # the replay's offscreen frames and glyphs
)
# The clean roots: new Debian roots, and programs of an arm64 one run under qemu-user.
roots_packages=(
  mmdebstrap                              # the roots, from this machine's apt sources
  arch-test qemu-user-static              # mmdebstrap's check that arm64 programs run here, and how
)
# The figures' plots, drawn into PNG files without a display.
bench_packages=(
  gnuplot-nox                             # bench/relay-figures.sh --plot
)
web_packages=(
  emscripten                              # the browser build: em++, its C library, the legacy-GL emulation
  nodejs npm                              # the wasm replay; playwright-core for the browser tests
  node-ws                                 # the WebSocket that node lacks: the wasm programs' relay socket
  chromium                                # the page in a real browser: headless, WebGL on SwiftShader
  python3                                 # scripts/run.sh --web serves the page
)

case "${1:-}" in
  run) packages=("${run_packages[@]}") ;;
  web) packages=("${run_packages[@]}" "${web_packages[@]}") ;;
  roots) packages=("${roots_packages[@]}") ;;
  bench) packages=("${run_packages[@]}" "${bench_packages[@]}") ;;
  linux-tests) packages=("${run_packages[@]}" "${linux_test_packages[@]}") ;;
  test | "") packages=("${run_packages[@]}" "${linux_test_packages[@]}" "${test_packages[@]}" "${web_packages[@]}" "${arm64_packages[@]}") ;;
  *) echo "usage: install-deps.sh [run|linux-tests|test|web|roots|bench]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  # A nodejs from outside Debian brings its own npm, and conflicts with Debian's.
  [ "$p" = npm ] && command -v npm > /dev/null && continue
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

commands=()
for arch in i386 arm64; do
  case " ${missing[*]}" in
    *:$arch*) dpkg --print-foreign-architectures | grep -qx $arch || commands+=("dpkg --add-architecture $arch") ;;
  esac
done
commands+=("apt-get update -qq"
           "env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ${missing[*]}")

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo > /dev/null; then
    echo "install-deps.sh: these packages are missing: ${missing[*]}" >&2
    echo "Install them as root, then run this again:" >&2
    printf '  %s\n' "${commands[@]}" >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing ${missing[*]}"
# The package indexes apt's sources name that are not on this machine in any form, not even old.
absent_indexes() {
  local f
  apt-get indextargets --format '$(FILENAME)' 'Created-By: Packages' | while read -r f; do
    compgen -G "${f%_Packages*}_Packages*" > /dev/null || echo "$f"
  done
}
for c in "${commands[@]}"; do
  # A mirror in the middle of a sync serves index files that do not match ("Mirror sync in
  # progress?"), and apt keeps the old one. Only an index with no old one to keep is worth waiting
  # for: the update is tried again, three times in all, 10 s apart; should it still be missing, the
  # install says whether what it needs was in the others.
  if [ "$c" = "apt-get update -qq" ]; then
    for try in 1 2 3; do
      "${sudo[@]}" apt-get update -qq > /dev/null && break
      [ -z "$(absent_indexes)" ] && break
      if [ $try -lt 3 ]; then
        echo "install-deps.sh: apt-get update failed; trying again in 10 s" >&2
        sleep 10
      else
        echo "install-deps.sh: apt-get update failed three times; going on with the indexes it has" >&2
      fi
    done
    continue
  fi
  # The list is one word a package: splitting the command line is what is meant.
  # shellcheck disable=SC2086
  "${sudo[@]}" $c > /dev/null
done
