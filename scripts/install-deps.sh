#!/usr/bin/env bash
# Installs the Debian packages that building and testing Kelvaron need, only those that are missing.
set -euo pipefail

packages=(
  g++ cmake make pkg-config ca-certificates  # the build, and fetching ODE's source package
  libglu1-mesa-dev libosmesa6-dev            # GL 1.1 and GLU; Mesa's offscreen context for tests
  libfreetype-dev libfontconfig-dev fonts-liberation  # overlay glyphs: Arial or its metric twin
  libpng-dev                                  # frames saved by the tests
  libsdl2-dev libgtk-3-dev libx11-dev libgl-dev  # the Linux program: window, input, dialog
  xvfb xauth x11-utils xdotool xclip imagemagick  # end-to-end tests on a private display
  xscreensaver                                # the XScreenSaver daemon, for the hack's test
  doctest-dev                                 # unit tests
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
echo "Installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
case " ${missing[*]}" in
  *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
esac
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
