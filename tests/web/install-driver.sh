#!/usr/bin/env bash
# playwright-core, as its lock file pins it, into DIR/node_modules: it drives Debian's Chromium and
# downloads no browser.
#   install-driver.sh DIR
set -euo pipefail
dir=${1:?usage: install-driver.sh DIR}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
cp "$here/package.json" "$here/package-lock.json" "$dir/"
# The system's certificate authorities, as apt and curl use them, beside node's own list.
ca=/etc/ssl/certs/ca-certificates.crt
[ -r "$ca" ] && export NODE_EXTRA_CA_CERTS=${NODE_EXTRA_CA_CERTS:-$ca}
cd "$dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error > /dev/null
