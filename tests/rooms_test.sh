#!/usr/bin/env bash
# Every wrong-way include of cmake/WrongWay.cmake must fail to compile, for want of its header: the
# rooms' include roots let nothing else through.
#   rooms_test.sh BUILD_DIR TARGET:HEADER...
set -uo pipefail
build=$1; shift
passed=0 failed=0
for pair in "$@"; do
  target=${pair%%:*} header=${pair#*:}
  output=$(cmake --build "$build" --target "$target" 2>&1)
  if [ $? -ne 0 ] && grep -q "$header: No such file" <<< "$output"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); echo "FAILED: $target reached $header"; tail -n 5 <<< "$output"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
