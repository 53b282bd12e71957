#!/usr/bin/env bash
# Builds everything for 32-bit Windows, natively, and natively with sanitizers, and runs every
# test (the Windows ones under Wine); checks the release packages (scripts/check-release.sh);
# then fuzzes every input surface for 15 seconds (scripts/fuzz.sh).
# The Windows build comes first, so its tests show that they need no native build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh all
status=0
wine=1
scripts/can-run-wine32.sh || wine=0
for preset in win32 native native-asan; do
  echo "=== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  if [[ $preset == win32 && $wine == 0 ]]; then
    echo "WARNING: only the Windows tests that need no Wine run on this machine"
    ctest --preset "$preset" -LE wine || status=1
  else
    ctest --preset "$preset" || status=1
  fi
done
if ((wine)); then
  echo "=== win32: a cache shared with the Linux build"
  QC_NATIVE_HOST_TOOL=$PWD/build/native/tools/wendlow-host ctest --preset win32 -R wendlow_cache_cross_build || status=1
fi
echo "=== release"
scripts/check-release.sh || status=1
echo "=== fuzz"
scripts/fuzz.sh 15 || status=1
exit $status
