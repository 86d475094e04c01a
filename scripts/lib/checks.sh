# shellcheck shell=bash
# The test scripts' verdicts: each check prints "ok: WHAT" or "FAILED: WHAT", and finish prints
# "N passed, N failed" and fails if any did. Sourced by tests/e2e/*.sh, tests/package/*_test.sh
# and fuzz/run.sh, which may also count a result themselves in passed and failed.

passed=0
failed=0
check() {  # DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"
  else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
# The same for a value read off a program: on failure it says what was read.
check_equal() {  # DESCRIPTION EXPECTED ACTUAL
  check "$1" [ "$2" = "$3" ]
  [ "$2" = "$3" ] || echo "   expected '$2', read '$3'"
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
