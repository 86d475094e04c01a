#!/usr/bin/env bash
# How often the float functions' results differ between the Linux and the Windows build (under
# Wine), for the C libraries alone and as the programs link them (libsamemath first):
#   bench/math-figures.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
linux=${1:?usage: math-figures.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR}
windows=${2:?usage: math-figures.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR}

for variant in -clib ""; do
  if [ -n "$variant" ]; then echo "== glibc against mingw-w64's runtime"; else echo "== as linked: libsamemath on both"; fi
  paste -d ' ' <("$linux/bench/kelvaron-math-results$variant") \
               <("$here/../scripts/wine-run.sh" "$windows/bench/kelvaron-math-results$variant.exe" | tr -d '\r') |
    awk '{ n[$1]++; if ($4 != $9 || $5 != $10) differ[$1]++; if (!($1 in order)) { order[$1] = ++functions; name[functions] = $1 } }
         END { for (i = 1; i <= functions; i++) printf "%-11s %7d of %d differ\n", name[i], differ[name[i]], n[name[i]] }'
done
