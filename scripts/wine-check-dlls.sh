#!/bin/bash
# Fails when a Windows binary imports a DLL that Windows itself does not ship.
# Usage: wine-check-dlls.sh <objdump> <file.exe|file.dll>
set -u

objdump=${1:-}
file=${2:-}
[[ -n "$objdump" && -n "$file" ]] || { echo "usage: wine-check-dlls.sh <objdump> <file>" >&2; exit 2; }

allowed='^(kernel32|advapi32|user32|shell32|oleaut32|ole32|gdi32|msvcrt|comctl32|comdlg32|shlwapi|version|ws2_32|ntdll|api-ms-win-[a-z0-9-]+)\.dll$'

dump=$("$objdump" -p "$file") || { echo "cannot read the import table of $file" >&2; exit 2; }
dlls=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')
if [[ -z "$dlls" ]]; then
  echo "no imports found in $file" >&2
  exit 2
fi

status=0
while IFS= read -r dll; do
  if [[ "${dll,,}" =~ $allowed ]]; then
    echo "system DLL: $dll"
  else
    echo "not a system DLL: $dll"
    status=1
  fi
done <<<"$dlls"
exit $status
