#!/usr/bin/env bash
# Every wrong-way include of cmake/WrongWay.cmake must fail to compile, for want of its header: the
# layers' include roots let nothing else through.
#   layers_test.sh BUILD_DIR TARGET:HEADER...
set -uo pipefail
build=$1; shift
passed=0 failed=0
for pair in "$@"; do
  target=${pair%%:*} header=${pair#*:}
  output=$(cmake --build "$build" --target "$target" 2>&1)
  # GCC's words, or clang's (the web build's em++).
  if [ $? -ne 0 ] && grep -qE "$header: No such file|'$header' file not found" <<< "$output"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); echo "FAILED: $target reached $header"; tail -n 5 <<< "$output"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
