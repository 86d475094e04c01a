#!/bin/bash
# One build's relay socket against a real relay on 127.0.0.1: relay-socket-test's steps, run by
# whatever runs that build (the program itself, wine, node).
#   relay_socket_test.sh RELAY RUNNER...   the runner's last word is the test program
set -u
here=$(dirname "$0")
. "$here/../../scripts/lib/wait.sh"
. "$here/../../scripts/lib/relay.sh"
relay=$1; shift
log=$(mktemp)
trap 'stop_relay; rm -f "$log"' EXIT
start_relay "$relay" "$log" || { echo "FAILED: the relay did not start"; exit 1; }
timeout 90 "$@" 127.0.0.1 "$relay_port"
status=$?
[ $status -eq 0 ] || { echo "the relay said:"; cat "$log"; }
exit $status
