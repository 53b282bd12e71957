#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks. Idempotent: installs nothing when all is there.
#   setup.sh native   the native build (portable backend) only
#   setup.sh fuzz     the native build and clang with libFuzzer and the sanitizer runtimes
#   setup.sh package  the native and the Windows build, and what packs and checks the packages
#   setup.sh all      all of these, and Wine (with its 32-bit part) and Xvfb for the Windows tests
set -euo pipefail
scope=${1:-all}

native=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev libsqlite3-dev sqlite3 python3
        libhivex-dev libhivex-bin)
fuzz=(clang clang-14 libclang-rt-14-dev)
cross=(g++-mingw-w64-i686-win32 llvm)
packaging=(dpkg-dev lintian man-db python3-pefile unzip)
windows=(wine wine32:i386 wine64 xvfb xauth xdotool x11-utils x11-apps imagemagick)

wanted=("${native[@]}")
[ "$scope" = fuzz ] || [ "$scope" = all ] && wanted+=("${fuzz[@]}")
[ "$scope" = package ] || [ "$scope" = all ] && wanted+=("${cross[@]}" "${packaging[@]}")
[ "$scope" = all ] && wanted+=("${windows[@]}")
command -v npm >/dev/null 2>&1 || wanted+=(npm)

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
