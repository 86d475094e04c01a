#!/usr/bin/env bash
# No fused multiply-add instruction in the FILEs (ODE, libsamemath, the program): aarch64 has them
# and GCC uses them unless told not to, and they round differently from a multiply and an add. The
# count is first shown to find the one CXX makes of a * b + c when allowed.
#   arm64_fused_test.sh OBJDUMP CXX FILE...
set -u
. "$(dirname "$0")/../scripts/lib/checks.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints how many fused multiply-add instructions FILE holds (armv8-a's scalar and vector forms).
CountFused() {  # FILE
  "$objdump" -d --no-show-raw-insn "$1" | grep -cE '^ *[0-9a-f]+:\s+(fmadd|fmsub|fnmadd|fnmsub|fmla|fmls)\s'
}

objdump=$1 cxx=$2
shift 2
printf 'float MultiplyAdd(float a, float b, float c) { return a * b + c; }\n' > "$work/probe.cpp"
"$cxx" -O2 -c "$work/probe.cpp" -o "$work/probe.o"
check "the count finds the fused multiply-add of a * b + c" [ "$(CountFused "$work/probe.o")" -gt 0 ]
for file in "$@"; do
  count=$(CountFused "$file")
  check_equal "no fused multiply-add in $(basename "$file")" 0 "$count"
  [ "$count" -eq 0 ] || "$objdump" -d "$file" |
    awk '/^[0-9a-f]+ <.*>:$/ { f = $2 } /\t(fmadd|fmsub|fnmadd|fnmsub|fmla|fmls)\t/ { print "   in " f }' | sort | uniq -c | head
done
finish
