#!/usr/bin/env bash
# Builds the fuzz harnesses with clang (ASan and UBSan) and runs each for a bounded time from its seed
# corpus in fuzz/corpus, printing executions and coverage. An input that crashes a harness is saved
# under BUILD_DIR/crashes and fails the run: fix the fault, then keep the input in the harness's
# corpus as a regression case.
#
#   fuzz/run.sh BUILD_DIR [SECONDS_EACH]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS_EACH]}
seconds=${2:-20}
for part in log checks; do . "$root/scripts/lib/$part.sh"; done

configure "$root/fuzz" "$build" -DCMAKE_CXX_COMPILER=clang++
logged "$build.build.log" cmake --build "$build" -j "$(nproc)"

mkdir -p "$build/crashes"
for corpus in "$root"/fuzz/corpus/*/; do
  name=$(basename "$corpus")
  work="$build/corpus/$name"  # grows from run to run; the seeds stay as they are
  mkdir -p "$work"
  log="$build/$name.log"
  if "$build/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" \
       "$work" "$corpus" > "$log" 2>&1; then
    result=ok
    passed=$((passed + 1))
  else
    result=FAILED
    failed=$((failed + 1))
  fi
  runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  printf '%-16s %s: %s executions in %s s, coverage %s edges, %s features, corpus %s inputs\n' \
    "$name" "$result" "${runs:-?}" "$seconds" "${cov:-?}" "${features:-?}" "$(ls "$work" | wc -l)"
  [ "$result" = ok ] || tail -n 30 "$log"
done
finish
