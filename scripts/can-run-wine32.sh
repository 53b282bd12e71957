#!/usr/bin/env bash
# Exit status 0 when this machine can run 32-bit Windows programs under Wine. Wine runs them
# through 32-bit x86 Linux code, which some virtual machines cannot execute at all (their
# kernel runs no IA32 code); there nothing 32-bit starts, Wine's own loader included.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  exit 0
fi
echo "this machine cannot execute 32-bit x86 code (IA32 emulation is off): no Windows program can run under Wine here" >&2
exit 1
