#!/usr/bin/env bash
# Says how this machine runs 32-bit x86 Linux code, by running some: a 120-byte static i386
# program that writes "ia32" through int 0x80. Prints one word and exits 0:
#   native      the kernel runs it itself
#   emulated    a binfmt_misc handler runs it (qemu-i386); the handler's path follows on the line
# Exits 1 with the reason on stderr when it does not run at all.
set -u
dir=$(mktemp -d) || exit 1
trap 'rm -rf -- "$dir"' EXIT
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x78\x00\x00\x00\x78\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x04\x00\x00\x00\xbb\x01\x00\x00\x00\xb9\x73\x80\x04\x08\xba\x05\x00\x00\x00\xcd\x80\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80\x69\x61\x33\x32\x0a' >"$dir/probe"
chmod +x "$dir/probe"
out=$("$dir/probe" 2>&1)
rc=$?
if [[ $rc -ne 0 || $out != ia32 ]]; then
  echo "32-bit x86 code does not run here (exit $rc: ${out:-no output})" >&2
  exit 1
fi
# binfmt_misc handlers are tried before the kernel's own ELF loader: an enabled handler whose
# magic is the i386 ELF header is the one that ran the probe.
handler=$(bash "$(dirname "$0")/setup/binfmt-i386.sh" active 2>/dev/null)
if [[ -n $handler ]]; then
  echo "emulated $handler"
else
  echo native
fi
