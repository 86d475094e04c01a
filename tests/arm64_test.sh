#!/usr/bin/env bash
# The arm64 build computes the x86_64 build's world, proven under qemu-user.
#   arm64_test.sh traces LINUX-REPLAY SCRIPT-FOLDER EMULATOR... ARM64-REPLAY
#     every key script over 2,000 frames, as typed and with the autopilot, and the autopilot alone
#     over 20,000: the traces must be byte for byte the x86_64 build's, and finite (a NaN prints as
#     "nan" on one machine and "-nan" on another, and two NaNs prove nothing).
#   arm64_test.sh fused OBJDUMP CXX FILE...
#     no fused multiply-add instruction in the FILEs (ODE, libsamemath, the program): aarch64 has
#     them and GCC uses them unless told not to, and they round differently from a multiply and an
#     add. The count is first shown to find the one CXX makes of a * b + c when allowed.
set -u
. "$(dirname "$0")/../scripts/lib/checks.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs both replays with ARGUMENTS and holds their traces equal.
CompareTraces() {  # WHAT REPLAY-ARGUMENT...
  local what=$1; shift
  "${arm64[@]}" "$@" > "$work/arm64" 2>&1
  "$linux" "$@" > "$work/linux" 2>&1
  check "$what: the x86_64 build gives a trace" [ -s "$work/linux" ]
  check "$what: only finite numbers" HoldsOnlyFinite "$work/linux" "$work/arm64"
  check "$what: the arm64 trace is the x86_64 trace" cmp -s "$work/arm64" "$work/linux"
  cmp -s "$work/arm64" "$work/linux" || diff "$work/arm64" "$work/linux" | head -n 4
}

# Succeeds when no FILE holds a NaN or an infinity.
HoldsOnlyFinite() {  # FILE...
  ! grep -qiE 'nan|inf' "$@"
}

# Prints how many fused multiply-add instructions FILE holds (armv8-a's scalar and vector forms).
CountFused() {  # FILE
  "$objdump" -d --no-show-raw-insn "$1" | grep -cE '^ *[0-9a-f]+:\s+(fmadd|fmsub|fnmadd|fnmsub|fmla|fmls)\s'
}

case "${1:-}" in
  traces)
    linux=$2 scripts=$3
    shift 3
    arm64=("$@")
    for script in "$scripts"/*.keys; do
      for extra in "" "--autopilot 5"; do
        # The extra options are one word each: splitting them is what is meant.
        # shellcheck disable=SC2086
        CompareTraces "$(basename "$script") ${extra:-as typed}" --script "$script" --frames 2000 --every 50 $extra
      done
    done
    CompareTraces "the autopilot alone" --autopilot 5 --frames 20000 --every 500
    ;;
  fused)
    objdump=$2 cxx=$3
    shift 3
    printf 'float MultiplyAdd(float a, float b, float c) { return a * b + c; }\n' > "$work/probe.cpp"
    "$cxx" -O2 -c "$work/probe.cpp" -o "$work/probe.o"
    check "the count finds the fused multiply-add of a * b + c" [ "$(CountFused "$work/probe.o")" -gt 0 ]
    for file in "$@"; do
      count=$(CountFused "$file")
      check_equal "no fused multiply-add in $(basename "$file")" 0 "$count"
      [ "$count" -eq 0 ] || "$objdump" -d "$file" |
        awk '/^[0-9a-f]+ <.*>:$/ { f = $2 } /\t(fmadd|fmsub|fnmadd|fnmsub|fmla|fmls)\t/ { print "   in " f }' | sort | uniq -c | head
    done
    ;;
  *) echo "usage: arm64_test.sh traces LINUX-REPLAY SCRIPT-FOLDER EMULATOR... ARM64-REPLAY | fused OBJDUMP CXX FILE..." >&2
     exit 2 ;;
esac
finish
