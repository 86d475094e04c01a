#!/usr/bin/env bash
# The page in Chromium as the third seat of a room that rolls back, at the real tick rate, beside the
# Linux replay typing drive.keys live and, behind a link of 150 ms and 2 % loss each way, the Windows
# replay under Wine (the room of the test shared_world_bad-link): the gaps between the page's frames
# while it rolls back (median, 99th percentile, longest), each client's rollbacks, and whether the
# page's state hashes are the Linux client's. Printed, never asserted.
#   bench/rollback-page-figures.sh RELAY LINUX-REPLAY WINDOWS-REPLAY WEB-BUILD [TICKS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: rollback-page-figures.sh RELAY LINUX-REPLAY WINDOWS-REPLAY WEB-BUILD [TICKS]"
relay=${1:?$usage} linux=${2:?$usage} windows=${3:?$usage} web=${4:?$usage} ticks=${5:-2000}
for part in wait relay wine; do . "$here/../scripts/lib/$part.sh"; done
work=$(mktemp -d)
cleanup() {
  for pid in $(jobs -p); do kill "$pid" 2> /dev/null || true; done
  stop_relay
  WINEPREFIX=$work/wine wineserver -k 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
scripts=$here/scripts

use_wine_prefix "$work/wine"
"$here/../tests/web/install-driver.sh" "$web/driver" > /dev/null
start_relay "$relay" "$work/relay.log" --page "$web"
python3 "$here/../tests/relay/slow_link.py" "$relay_port" 150 2 7 > "$work/proxy.port" &
wait_until 10 test -s "$work/proxy.port"
"$linux" --join "http://127.0.0.1:$relay_port/" --script "$scripts/drive.keys" --live --frames "$ticks" \
  --every 30 --hash > "$work/linux.out" 2> "$work/linux.err" &
wait_until 20 grep -q '^room ' "$work/linux.out"
link=$(sed -n 's/^room //p' "$work/linux.out")
wine_run "$windows" --join "${link/:$relay_port\//:$(cat "$work/proxy.port")/}" --script "$scripts/weave.keys" \
  --whole-log --frames "$ticks" --every 30 --hash > "$work/windows.out" 2> "$work/windows.err" &
NODE_PATH="$web/driver/node_modules" node "$here/rollback-page-figures.js" "$link" "$ticks" > "$work/page.out" 2>&1 &
page=$!
wait_until $((ticks / 30 + 180)) grep -q '^page: done' "$work/page.out" ||
  { echo "rollback-page-figures.sh: the page did not reach tick $ticks:" >&2; tail -n 5 "$work/page.out" >&2; exit 1; }
wait_until 60 grep -q ' rollbacks in ' "$work/linux.err" || true
wait_until 60 grep -q ' rollbacks in ' "$work/windows.err" || true
stop_relay  # the page says its rollbacks as its room ends
wait "$page" || true

hashes() { grep '^hash ' "$1" | tr -d '\r' | sort; }
same=$(join <(hashes "$work/page.out" | cut -d' ' -f2-) <(hashes "$work/linux.out" | cut -d' ' -f2-) | awk '$2 == $3' | wc -l)
both=$(join <(hashes "$work/page.out" | cut -d' ' -f2-) <(hashes "$work/linux.out" | cut -d' ' -f2-) | wc -l)
echo "a room of $ticks ticks at 30 a second: the Linux replay typing live, the Windows replay behind 150 ms and 2 % loss, the page"
grep '^page frames' "$work/page.out"
echo "state hashes the page and the Linux client both reported: $both, equal: $same"
for client in linux windows page; do
  file=$work/$client.err
  [ "$client" = page ] && file=$work/page.out
  echo "$client: $(grep -o '[0-9]* rollbacks in .*' "$file" | tr -d '\r' | head -n 1)"
done
