# shellcheck shell=bash
# The page, built into a web build's tree: what scripts/run-web.sh serves and scripts/package.sh
# installs beside the relay. Needs log.sh.
build_page() {  # SOURCE DIR ODE-PREFIX
  logged "$2.configure.log" emcmake cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DKELVARON_ODE_PREFIX="$3"
  logged "$2.build.log" cmake --build "$2" -j "$(nproc)" --target kelvaron_page
}
