#!/usr/bin/env bash
# The browser build: installs what is missing, builds the page into build/web (KELVARON_BUILD_DIR
# respected) and serves it on 127.0.0.1 only, printing its address, until interrupted. With no
# display it drives the page in headless Chromium instead and saves screenshots as web-*.png (into
# KELVARON_SHOTS, build/screenshots by default).
#   scripts/run-web.sh    (scripts/run.sh --web)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVARON_BUILD_DIR:-$root/build}
for part in log page; do . "$root/scripts/lib/$part.sh"; done

"$root/scripts/install-deps.sh" web
mkdir -p "$build"
build_page "$root" "$build/web" "$build/deps/ode-wasm32-emscripten"

# Port 0: the system picks a free one, which the server names on its first line.
log=$(mktemp)
trap 'kill "$server" 2> /dev/null; rm -f "$log"' EXIT
trap 'exit 130' INT TERM  # so that the server goes too
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$build/web" > "$log" 2>&1 &
server=$!
for _ in $(seq 50); do
  port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$log" | head -n 1)
  [ -n "$port" ] && break
  kill -0 "$server" 2> /dev/null || { cat "$log" >&2; exit 1; }
  sleep 0.1
done
[ -n "$port" ] || { echo "run-web.sh: the web server did not start" >&2; exit 1; }
echo "Kelvaron is served at http://127.0.0.1:$port/ (Ctrl-C stops it)"
if [ -n "${DISPLAY:-}" ] && xdpyinfo > /dev/null 2>&1; then
  wait "$server"
  exit
fi

# No display: playwright-core from its lock file (it downloads no browser) drives Debian's Chromium.
shots=${KELVARON_SHOTS:-$build/screenshots}
mkdir -p "$shots"
"$root/tests/web/install-driver.sh" "$build/web/driver"
NODE_PATH="$build/web/driver/node_modules" node "$root/tests/web/drive.js" "http://127.0.0.1:$port/" "$shots"
echo "Kelvaron ran in headless Chromium; screenshots are in $shots"
