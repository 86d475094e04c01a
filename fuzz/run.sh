#!/usr/bin/env bash
# Builds the fuzz harnesses with clang (ASan and UBSan) and runs each, two at a time: first every
# input of its corpus (the seeds in fuzz/corpus and what earlier runs found), then new inputs for a
# bounded time, printing executions and coverage. An input that crashes a harness is saved under
# BUILD_DIR/crashes and fails the run: fix the fault, then keep the input in the harness's corpus as
# a regression case.
#
#   fuzz/run.sh BUILD_DIR [SECONDS_EACH]
#   fuzz/run.sh --build-only BUILD_DIR      the harnesses, built ahead (scripts/test.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: fuzz/run.sh BUILD_DIR [SECONDS_EACH] | --build-only BUILD_DIR"
build_only=
[ "${1:-}" = --build-only ] && { build_only=1; shift; }
build=${1:?$usage}
seconds=${2:-20}
for part in log checks; do . "$root/scripts/lib/$part.sh"; done

configure "$root/fuzz" "$build" -DCMAKE_CXX_COMPILER=clang++
logged "$build.build.log" cmake --build "$build" -j "$(nproc)"
[ -z "$build_only" ] || exit 0

# One harness: its log in BUILD_DIR/NAME.log, its verdict line in BUILD_DIR/NAME.result.
fuzz_one() {  # CORPUS
  local corpus=$1 name work log result=ok runs cov features
  name=$(basename "$corpus")
  work="$build/corpus/$name"  # grows from run to run; the seeds stay as they are
  mkdir -p "$work"
  log="$build/$name.log"
  "$build/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" \
    "$work" "$corpus" > "$log" 2>&1 || result=FAILED
  runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  printf '%-16s %s: %s executions in %s s, coverage %s edges, %s features, corpus %s inputs\n' \
    "$name" "$result" "${runs:-?}" "$seconds" "${cov:-?}" "${features:-?}" "$(ls "$work" | wc -l)" > "$build/$name.result"
}

mkdir -p "$build/crashes"
rm -f "$build"/*.result
for corpus in "$root"/fuzz/corpus/*/; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  fuzz_one "$corpus" &
done
wait
for corpus in "$root"/fuzz/corpus/*/; do
  name=$(basename "$corpus")
  cat "$build/$name.result"
  if grep -q ' ok: ' "$build/$name.result"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    tail -n 30 "$build/$name.log"
  fi
done
finish
