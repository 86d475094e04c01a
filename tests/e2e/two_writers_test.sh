#!/usr/bin/env bash
# Two writers and a reader at the settings store at once, each its own process through the
# platform's store (the Linux keyfile, or the registry when a Wine runner is given): every read must
# be one whole set that a writer saved. Prints each process's figures and the time taken.
#   two_writers_test.sh WRITERS-PROGRAM COUNT [WINE-RUN]
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
count=$2
runner=()
[ $# -ge 3 ] && { wine_runner=$3; runner=("$3"); }
for part in checks wait display; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'rm -rf "$work"' EXIT
if [ ${#runner[@]} -gt 0 ]; then
  . "$(dirname "$0")/../../scripts/lib/wine.sh"
  use_wine_prefix "$work/wine"
fi
export XDG_CONFIG_HOME="$work/config"
cd "$work" || exit 1

# A first whole set, so that the reader never meets an empty store.
: > go
"${runner[@]}" "$program" write 9 1 > /dev/null
rm -f go ready-*
"${runner[@]}" "$program" read stop > reader.log 2>&1 &
reader=$!
"${runner[@]}" "$program" write 1 "$count" > writer1.log 2>&1 &
writer1=$!
"${runner[@]}" "$program" write 2 "$count" > writer2.log 2>&1 &
writer2=$!
wait_until 60 eval '[ -e ready-reader ] && [ -e ready-1 ] && [ -e ready-2 ]'
started=$(date +%s%N)
: > go
wait "$writer1"; status1=$?
wait "$writer2"; status2=$?
: > stop
wait "$reader"; reader_status=$?
cat writer1.log writer2.log reader.log | tr -d '\r'
echo "   $count saves each in $(( ($(date +%s%N) - started) / 1000000 )) ms"
check "the first writer's $count saves all succeeded" [ "$status1" -eq 0 ]
check "the second writer's $count saves all succeeded" [ "$status2" -eq 0 ]
check "every read was one whole set" [ "$reader_status" -eq 0 ]
"${runner[@]}" "$program" read stop > last.log 2>&1
check "... and so is what is left" eval "grep -q ' 0 mixed' last.log"
finish
