#!/usr/bin/env bash
# The browser build's figures beside the Linux build's: the simulation frame in wasm under node and
# in Chromium against native, the drawn frame (Chromium's page rate against OSMesa's llvmpipe at
# 640 x 480), the time from navigation to the first frame, and what the page downloads, plain and
# gzipped. Printed, never asserted.
#   bench/web-figures.sh WEB-BUILD LINUX-BENCH
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
web=${1:?usage: web-figures.sh WEB-BUILD LINUX-BENCH}
linux=${2:?usage: web-figures.sh WEB-BUILD LINUX-BENCH}
export LC_ALL=C

idle() { awk '/^idle/ { for (i = 1; i <= NF; i++) if ($i == "median") print $(i + 1) }'; }
native=$("$linux" --bench --frames 3000 | idle)
wasm=$(node "$web/kelvaron-bench.js" --bench --frames 3000 | idle)
echo "simulation frame, idle: native $native us, wasm under node $wasm us ($(awk -v a="$wasm" -v b="$native" 'BEGIN { printf "%.2f", a / b }') x)"
"$linux" --render --frames 300 | sed -n 's/^  per frame: \(median [0-9.]* ms\).*/native drawn frame at 640 x 480, OSMesa llvmpipe: \1/p'

"$here/../tests/web/install-driver.sh" "$web/driver"
NODE_PATH="$web/driver/node_modules" node "$here/web-figures.js" "$web"

echo "download (bytes, plain and gzip -9):"
for file in kelvaron.wasm kelvaron.js kelvaron.data index.html page.js sw.js manifest.webmanifest icon.svg; do
  printf '  %-22s %8d %8d\n' "$file" "$(stat -c %s "$web/$file")" "$(gzip -9c "$web/$file" | wc -c)"
done
