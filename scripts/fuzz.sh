#!/usr/bin/env bash
# Builds the fuzz targets (preset `fuzz`: clang, libFuzzer, ASan + UBSan) and runs each for
# SECONDS seconds from its seed corpus in tests/fuzz/corpus/<target>/. Prints the executions
# per target and exits non-zero when any target found something: a crash, a sanitizer report,
# a broken property, a leak, a hang or a run out of memory. The input that found it is kept in
# build/fuzz/findings/<target>/; add it to the target's corpus as a regression-* file.
#   fuzz.sh SECONDS [TARGET...]      (all targets when none is named)
# FUZZ_RUNS=N stops each target after N executions instead; SECONDS 0 then sets no time limit.
#   FUZZ_RUNS=1000000 scripts/fuzz.sh 0 cache_file      (a soak: docs/fuzzing.md)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift

scripts/setup.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
# The cache targets write a file per input: a memory-backed folder keeps that quick.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export UBSAN_OPTIONS=print_stacktrace=1

status=0
for target in "${targets[@]}"; do
  program=build/fuzz/tests/fuzz/fuzz_$target
  corpus=build/fuzz/corpus/$target      # what the fuzzer adds; the seeds stay as they are
  findings=build/fuzz/findings/$target
  log=build/fuzz/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  limits=(-max_total_time="$seconds")
  [ -n "${FUZZ_RUNS:-}" ] && limits+=(-runs="$FUZZ_RUNS")
  result=clean
  started=$SECONDS
  "$program" "$corpus" "tests/fuzz/corpus/$target" "${limits[@]}" -print_final_stats=1 \
    -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$findings/" >"$log" 2>&1 || result=FINDING
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  printf '%-16s %12s executions in %6ss  %s\n' "$target" "${executions:-?}" "$((SECONDS - started))" "$result"
  if [ "$result" != clean ]; then
    status=1
    tail -n 40 "$log"
    echo "(full log: $log; the input: $findings/)"
  fi
done
exit $status
