#!/usr/bin/env bash
# A script's cleanup (scripts/lib/wait.sh's at_exit) runs once, in the script, however soon a program
# it started is killed: a kill that lands before the program's exec must not run the cleanup in that
# copy of the script, as it did when bench/join-figures.sh ended its own relay between two joins.
set -u
marks=$(mktemp)
bash -c '
  . "$1/scripts/lib/wait.sh"
  at_exit "echo cleanup >> $2"
  for _ in $(seq 50); do
    sleep 5 2> /dev/null &
    kill $!
    wait $! 2> /dev/null
  done
  (exit 0)  # a subshell of the script ends without it too
' script "$(dirname "$0")/.." "$marks" 2> /dev/null
count=$(wc -l < "$marks")
rm -f "$marks"
[ "$count" -eq 1 ] || { echo "the cleanup ran $count times, not once"; exit 1; }
