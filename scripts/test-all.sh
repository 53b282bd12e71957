#!/usr/bin/env bash
# Builds everything natively, natively with sanitizers, and for 32-bit Windows, and runs every test
# (the Windows ones under Wine); then fuzzes every input surface for 15 seconds (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh all
status=0
for preset in native native-asan win32; do
  echo "=== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
done
echo "=== fuzz"
scripts/fuzz.sh 15 || status=1
exit $status
