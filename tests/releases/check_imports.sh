#!/bin/bash
# Fails when a Windows binary imports a function that is not on the allow-list of its oldest
# release, or carries other PE OS and subsystem versions than that release's.
# Usage: check_imports.sh <objdump> <binary> <allow-list> <major.minor>
set -u
objdump=$1 binary=$2 list=$3 version=$4

dump=$("$objdump" -p "$binary") || { echo "cannot read $binary" >&2; exit 2; }

# "dll function" for every import, the DLL name in lower case.
imports=$(printf '%s\n' "$dump" | tr -d '\r' | awk '
  /^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
  /^$/ { next }
  dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' | sort -u)
allowed=$(awk '
  /^[[:space:]]*(#|$)/ { next }
  /^\[/ { gsub(/[][]/, ""); dll = tolower($0); next }
  { for (i = 1; i <= NF; i++) print dll, $i }' "$list" | sort -u)

[[ -n "$imports" ]] || { echo "no imports found in $binary" >&2; exit 2; }
status=0
unlisted=$(comm -23 <(printf '%s\n' "$imports") <(printf '%s\n' "$allowed"))
if [[ -n "$unlisted" ]]; then
  echo "imports not on $(basename "$list"):"
  printf '  %s\n' "$unlisted"
  status=1
fi

field() { printf '%s\n' "$dump" | awk -v f="$1" '$1 == f { print $2 }'; }
actual="$(field MajorOSystemVersion).$(field MinorOSystemVersion) / $(field MajorSubsystemVersion).$(field MinorSubsystemVersion)"
if [[ "$actual" != "$version / $version" ]]; then
  echo "PE OS / subsystem version $actual, expected $version / $version"
  status=1
fi
((status == 0)) && echo "$(printf '%s\n' "$imports" | wc -l) imports, all on $(basename "$list"); PE version $version"
exit $status
