#!/usr/bin/env bash
# Builds everything for 32-bit Windows, natively, and natively with sanitizers, and runs every
# test (the Windows ones under Wine); checks the release packages (scripts/check-release.sh);
# then fuzzes every input surface for 15 seconds (scripts/fuzz.sh).
# The Windows build comes first, so its tests show that they need no native build.
#
# The Windows tests need 32-bit x86 code to run (natively, or through qemu-i386 where the kernel
# runs none; scripts/setup.sh sets that up). When it cannot run, this fails. Who knowingly wants
# the rest anyway sets QC_SKIP_WINDOWS_TESTS=1: the Windows tests that need Wine are then left out.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
skip_windows=${QC_SKIP_WINDOWS_TESTS:-0}
if ! scripts/setup.sh all; then
  if [[ $skip_windows != 1 ]]; then
    echo "ERROR: the set-up failed (see above); no test was run" >&2
    exit 1
  fi
  echo "WARNING: the set-up failed; going on because QC_SKIP_WINDOWS_TESTS=1" >&2
fi
if ia32=$(scripts/ia32-probe.sh); then
  wine=1
  [[ $ia32 == emulated* ]] && ia32="emulated by $("${ia32#emulated }" --version | head -n 1)"
elif [[ $skip_windows == 1 ]]; then
  wine=0
  ia32="none: QC_SKIP_WINDOWS_TESTS=1, the Windows tests that need Wine were left out"
  echo "WARNING: 32-bit x86 code cannot run here; $ia32" >&2
else
  echo "ERROR: 32-bit x86 code cannot run on this machine, natively or through qemu-i386, so no Windows" >&2
  echo "program can run under Wine and the Windows tests cannot run. scripts/setup.sh all says why." >&2
  echo "To run everything else knowingly, set QC_SKIP_WINDOWS_TESTS=1." >&2
  exit 1
fi

status=0
summaries=()
results=$(mktemp -d)
trap 'rm -rf -- "$results"' EXIT

# ctest's JUnit report counts what ran, failed and was skipped.
summarize() {
  local name=$1 file=$2 extra=${3:-}
  summaries+=("$(python3 scripts/ctest-summary.py "$name" "$file")${extra:+; $extra}")
}

timing=()
for preset in win32 native native-asan; do
  echo "=== $preset"
  t0=$SECONDS
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  t1=$SECONDS
  args=()
  if [[ $preset == win32 ]]; then
    # Wine tests of different prefixes run side by side (each prefix and the display are
    # locked); the cache shared with Linux waits for the native build, below.
    args=(--parallel 2 -E '^wendlow_cache_cross_build$')
    ((wine)) || args+=(-LE wine)
  fi
  ctest --preset "$preset" "${args[@]}" --output-junit "$results/$preset.xml" || status=1
  extra=""
  [[ $preset == win32 ]] && extra="32-bit x86 code: $ia32"
  summarize "$preset" "$results/$preset.xml" "$extra"
  timing+=("$preset: build $((t1 - t0)) s, tests $((SECONDS - t1)) s")
done
if ((wine)); then
  echo "=== win32: a cache shared with the Linux build"
  t0=$SECONDS
  QC_NATIVE_HOST_TOOL=$PWD/build/native/tools/wendlow-host \
    ctest --preset win32 -R wendlow_cache_cross_build --output-junit "$results/cross.xml" || status=1
  summarize "win32 cache shared with Linux" "$results/cross.xml"
  timing+=("shared cache: $((SECONDS - t0)) s")
fi
echo "=== release"
t0=$SECONDS
scripts/check-release.sh || status=1
timing+=("release checks: $((SECONDS - t0)) s")
echo "=== fuzz"
t0=$SECONDS
scripts/fuzz.sh 15 || status=1
timing+=("fuzzing: $((SECONDS - t0)) s")

echo "=== summary: $((SECONDS - started)) s in all"
printf '  %s\n' "${timing[@]}"
printf '%s\n' "${summaries[@]}"
exit $status
