#!/usr/bin/env bash
# Makes what is shipped, in OUTDIR (default dist/):
#   quorvel-utilities-14-components-<version>-win32.zip   the three Windows components, the
#                                                         host SDK for Wendlow and its guide
#   wendlow-host_<version>_amd64.deb                      the Linux host tool
#   SHA256SUMS                                            of the two
# Builds only what the packages hold, in the presets' build folders (build/win32, build/native),
# and packs it with CPack. Time stamps come from SOURCE_DATE_EPOCH (default: the commit's time).
#   package.sh [OUTDIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-dist}
scripts/setup.sh package

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
export TZ=UTC  # a zip keeps local times: the same everywhere only in one zone

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target HXTray HXReg Wendlow wendlow_import_libraries
cmake --preset native >/dev/null
cmake --build --preset native --target wendlow-host Wendlow winplatform wendlow_host_docs

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd build/win32 && cpack -B "$work/win32" >/dev/null)
(cd build/native && cpack -B "$work/native" >/dev/null)

zip=$(cd "$work/win32" && ls quorvel-utilities-14-components-*-win32.zip)
deb=$(cd "$work/native" && ls wendlow-host_*_amd64.deb)
cp "$work/win32/$zip" "$work/native/$deb" "$out/"
(cd "$out" && sha256sum -- "$zip" "$deb" >SHA256SUMS)
echo "Written to $out: $zip, $deb, SHA256SUMS"
