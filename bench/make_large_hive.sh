#!/usr/bin/env bash
# The large SOFTWARE hive of the benchmarks (at least 200 MB): an export made by
# make_large_export.py with 450,000 other keys, 10,000 Uninstall entries per view and 1,000
# App Paths, turned into a hive by make-hive. Made once; prints its path.
# Usage: bench/make_large_hive.sh BUILD_DIR WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
work=$2
mkdir -p "$work"
[ -f "$work/hive-source.reg" ] || python3 "$here/make_large_export.py" "$work/hive-source.reg" --other-keys 450000 \
  --uninstall 10000 --app-paths 1000 >/dev/null
[ -f "$work/software.hive" ] || "$build/tools/make-hive" "$work/hive-source.reg" "$work/software.hive"
echo "$work/software.hive"
