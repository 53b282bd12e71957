#!/usr/bin/env bash
# Makes 32-bit x86 code run, which 32-bit Wine needs, and prints one line saying how it runs.
# Where the kernel runs none (some hypervisors execute no IA32 code), qemu-i386 runs it through
# binfmt_misc. It must be qemu 10 or later: older versions leave out the trap number of the
# signal frame, and 32-bit Wine prefixes die on their first exception.
# QC_IA32=emulate asks for qemu even where the kernel runs 32-bit code itself.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
probe="$here/../ia32-probe.sh"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive
min_qemu=10

qemu_major() { "$1" --version 2>/dev/null | sed -nE '1s/.*version ([0-9]+)\..*/\1/p'; }

say() {
  local how=$1 interpreter=${2:-}
  if [[ $how == native ]]; then
    echo "32-bit x86 code runs natively"
  else
    echo "32-bit x86 code runs under emulation: $("$interpreter" --version | head -n 1) through binfmt_misc"
  fi
}

how=$("$probe" 2>/dev/null || true)
case $how in
  native)
    [[ ${QC_IA32:-} != emulate ]] && { say native; exit 0; } ;;
  emulated\ *)
    interpreter=${how#emulated }
    if [[ $(qemu_major "$interpreter") -ge $min_qemu ]] 2>/dev/null; then
      say emulated "$interpreter"
      exit 0
    fi ;;
esac

# A qemu-i386 of version 10 or later: the release's own, or its backports'.
qemu=/usr/bin/qemu-i386
if [[ ! -x $qemu || $(qemu_major "$qemu") -lt $min_qemu ]]; then
  . /etc/os-release
  if [[ ${VERSION_CODENAME:-} == bookworm ]]; then
    # Backports from the machine's own mirror, through a private source list and index folder:
    # nothing is written to /etc/apt, and the system's indices stay as they are.
    mirror=$(bash "$here/debian-mirror.sh" "$VERSION_CODENAME")
    [[ -n $mirror ]] || { echo "setup: no Debian mirror for $VERSION_CODENAME in the apt sources" >&2; exit 1; }
    tmp=$(mktemp -d)
    trap 'rm -rf -- "$tmp"' EXIT
    chmod 755 "$tmp"  # apt downloads as its own user
    mkdir -p "$tmp/parts" "$tmp/lists/partial"
    printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$mirror" "$VERSION_CODENAME" >"$tmp/parts/backports.sources"
    apt=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$tmp/parts" -o "Dir::State::Lists=$tmp/lists")
    $sudo apt-get "${apt[@]}" update -qq || $sudo apt-get "${apt[@]}" update -qq
    echo "Installing: qemu-user from $VERSION_CODENAME-backports"
    # It is one package of static binaries, with no dependencies.
    $sudo apt-get "${apt[@]}" install -y -qq --no-install-recommends --no-remove "qemu-user/$VERSION_CODENAME-backports"
  else
    $sudo apt-get update -qq || true
    $sudo apt-get install -y -qq --no-install-recommends --no-remove qemu-user
  fi
fi
if [[ ! -x $qemu || $(qemu_major "$qemu") -lt $min_qemu ]]; then
  echo "setup: no qemu-i386 of version $min_qemu or later could be installed; 32-bit Wine cannot run here" >&2
  exit 1
fi
$sudo bash "$here/binfmt-i386.sh" register "$qemu"

how=$("$probe") || { echo "setup: 32-bit x86 code runs neither natively nor through $qemu" >&2; exit 1; }
say emulated "${how#emulated }"
