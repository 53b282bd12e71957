#!/usr/bin/env bash
# The binfmt_misc handler that runs i386 ELF programs through an emulator. Debian registers none
# on amd64 (it takes the CPU to run i386 code), so on machines whose kernel runs no 32-bit code
# the set-up registers qemu-i386 itself.
#   binfmt-i386.sh active            prints the interpreter of an enabled i386 handler, if any
#   binfmt-i386.sh register <path>   (root) registers <path> as the i386 handler, replacing ours
set -euo pipefail
fs=/proc/sys/fs/binfmt_misc
name=qemu-i386
magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

active() {
  [[ -r $fs/status && $(<"$fs/status") == enabled ]] || return 0
  local entry
  for entry in "$fs"/*; do
    case ${entry##*/} in register|status) continue ;; esac
    [[ -r $entry ]] || continue
    grep -qx enabled "$entry" || continue
    # An i386 ELF: class 32-bit, machine 3 (the kernel shows the magic with its mask applied).
    grep -Eq '^magic 7f454c4601[0-9a-f]{26}0300' "$entry" || continue
    sed -n 's/^interpreter //p' "$entry"
    return 0
  done
}

case ${1:-} in
  active)
    active
    ;;
  register)
    interpreter=${2:?interpreter path}
    [[ -x $interpreter ]] || { echo "binfmt-i386.sh: no emulator at $interpreter" >&2; exit 1; }
    [[ -e $fs/register ]] || mount -t binfmt_misc binfmt_misc "$fs"
    # F opens the interpreter now, so a handler left from an earlier registration keeps the
    # binary it opened then: replace it.
    [[ -e $fs/$name ]] && echo -1 >"$fs/$name"
    printf ':%s:M::%s:%s:%s:POCF\n' "$name" "$magic" "$mask" "$interpreter" >"$fs/register"
    ;;
  *)
    echo "usage: binfmt-i386.sh active | register <interpreter>" >&2
    exit 64
    ;;
esac
