#!/bin/bash
# The SDK headers' view of an allow-list: every system function on it must be declared when
# compiling for the release (WINVER, _WIN32_WINNT and _WIN32_WINDOWS set to it), as the
# headers hide what is newer. The C runtime's entries have no such gates and are skipped.
# Usage: declared_for_release.sh <cross C compiler> <allow-list> <version, e.g. 0x0400>
set -u
cc=$1 list=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

{
  echo '#include <windows.h>'
  echo '#include <shellapi.h>'
  echo '#include <oleauto.h>'
  echo 'void *qc_references[] = {'
  awk '
    /^[[:space:]]*(#|$)/ { next }
    /^\[/ { dll = tolower($0); next }
    dll != "[msvcrt.dll]" { for (i = 1; i <= NF; i++) printf "  (void *)&%s,\n", $i }' "$list"
  echo '};'
} >"$work/probe.c"

if LC_ALL=C "$cc" -c -o "$work/probe.o" -Werror=implicit-function-declaration -Wno-deprecated-declarations \
    -DWINVER="$version" -D_WIN32_WINNT="$version" -D_WIN32_WINDOWS="$version" "$work/probe.c" 2>"$work/errors"; then
  echo "$(grep -c '&' "$work/probe.c") functions of $(basename "$list") are declared for $version"
  exit 0
fi
echo "functions of $(basename "$list") that the SDK hides for $version:"
grep -o "'[A-Za-z0-9_]*' undeclared" "$work/errors" | sort -u | sed 's/^/  /'
exit 1
