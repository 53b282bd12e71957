#!/usr/bin/env bash
# Builds everything natively, natively with sanitizers, and for 32-bit Windows, and runs every test
# (the Windows ones under Wine).
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
exit $status
