#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks. Idempotent: installs nothing when all is there.
#   setup.sh native   the native build (portable backend) only
#   setup.sh fuzz     the native build and clang with libFuzzer and the sanitizer runtimes
#   setup.sh package  the native and the Windows build, and what packs and checks the packages
#   setup.sh all      all of these, Wine (with its 32-bit part) and Xvfb for the Windows tests, and
#                     a way to run 32-bit x86 code: the kernel's own, or qemu-i386 through
#                     binfmt_misc where the kernel runs none (QC_IA32=emulate asks for qemu anyway)
# Runs as root or through sudo. Ends with one line saying how 32-bit code runs (scope all).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scope=${1:-all}

native=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev libsqlite3-dev sqlite3 python3
        libhivex-dev libhivex-bin)
fuzz=(clang clang-14 libclang-rt-14-dev)
cross=(g++-mingw-w64-i686-win32 llvm)
packaging=(dpkg-dev lintian man-db python3-pefile unzip)
tools=(xvfb xauth xdotool x11-utils x11-apps imagemagick)
# One transaction: wine64 and the i386 libraries must agree on every shared library's version.
# The preloader keeps emulated 32-bit Wine from spending a minute reserving its address space.
wine=(wine wine64 wine32:i386 wine32-preloader:i386)

wanted=("${native[@]}")
[[ $scope == fuzz || $scope == all ]] && wanted+=("${fuzz[@]}")
[[ $scope == package || $scope == all ]] && wanted+=("${cross[@]}" "${packaging[@]}")
[[ $scope == all ]] && wanted+=("${tools[@]}")
command -v npm >/dev/null 2>&1 || wanted+=(npm)

sudo=""
[[ $(id -u) -ne 0 ]] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || echo "$p"
  done
}

updated=0
apt_update() {
  ((updated)) && return 0
  updated=1
  # One broken index (seen: a mirror mid-sync failing a size check) must not end the set-up:
  # retry once, then let the install say whether what is needed can be had.
  $sudo apt-get update -qq && return 0
  echo "setup: apt-get update failed; retrying once" >&2
  sleep 5
  $sudo apt-get update -qq && return 0
  echo "setup: apt-get update failed again; going on with the indices that did download" >&2
}

# --no-remove: never let apt trade an installed package for a requested one.
apt_install() {
  $sudo apt-get install -y -qq --no-install-recommends --no-remove "$@"
}

install_wine() {
  local missing
  mapfile -t missing < <(missing_of "${wine[@]}")
  ((${#missing[@]})) || return 0
  $sudo dpkg --add-architecture i386
  updated=0
  apt_update
  echo "Installing: ${missing[*]}"
  apt_install "${missing[@]}" && return 0
  # The i386 and amd64 indices disagree (one of them broken or behind): hold the security suite
  # down for this install and every shared library at one version in both architectures.
  echo "setup: the plain install failed; again with the shared libraries pinned to one version" >&2
  local tmp
  tmp=$(mktemp -d)
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$tmp/base.pref"
  python3 "$here/setup/multiarch-pins.py" "$tmp/base.pref" "$tmp/pins.pref" wine32:i386 wine32-preloader:i386
  local rc=0
  $sudo apt-get -o "Dir::Etc::preferences=$tmp/pins.pref" install -y -qq --no-install-recommends \
    --allow-downgrades --no-remove "${missing[@]}" || rc=$?
  rm -rf -- "$tmp"
  return $rc
}

mapfile -t missing < <(missing_of "${wanted[@]}")
if ((${#missing[@]})); then
  apt_update
  echo "Installing: ${missing[*]}"
  apt_install "${missing[@]}" || true
fi
[[ $scope == all ]] && { install_wine || true; wanted+=("${wine[@]}"); }

mapfile -t missing < <(missing_of "${wanted[@]}")
if ((${#missing[@]})); then
  echo "setup: these packages could not be installed: ${missing[*]}" >&2
  exit 1
fi

[[ $scope == all ]] && exec bash "$here/setup/ia32.sh"
exit 0
