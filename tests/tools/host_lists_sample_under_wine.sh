#!/bin/bash
# wendlow-host.exe under Wine lists the sample machine exactly as the Linux build does:
# the sample is imported into the prefix's registry, listed, and removed again. Listed
# through a console, every non-ASCII name shows as written.
# Usage: host_lists_sample_under_wine.sh <wendlow-host.exe> <sample.reg> <expected.json>
# WINEPREFIX and QC_WINE come from the test harness (a 64-bit prefix: the sample holds
# both registry views).
set -u
exe=$1
sample=$2
expected=$3
wine=${QC_WINE:-wine}
work=$(mktemp -d)

# Every program and App Paths key the sample adds. They are deleted one by one with the
# explicit view: Wine's `reg import` of "[-key]" lines leaves the 64-bit view's keys alone.
sample_keys() {
  iconv -f UTF-16LE -t UTF-8 "$sample" | tr -d '\r' |
    sed -n 's/^\[\(HKEY_LOCAL_MACHINE\\.*\\\(Uninstall\|App Paths\)\\.*\)\]$/\1/p'
}

# Wine's 64-bit reg.exe where there is one: it runs natively, where the 32-bit one may run
# under emulation at a second a key.
reg64=("$wine" reg)
[[ -x /usr/lib/wine/wine64 ]] && reg64=(/usr/lib/wine/wine64 reg)
removed=0
remove_sample() {
  ((removed)) && return 0
  sample_keys | while IFS= read -r key; do
    "${reg64[@]}" delete "$key" /f /reg:64 >/dev/null 2>&1
  done
  removed=1
}
trap 'remove_sample; rm -rf "$work"' EXIT

if ! "$wine" reg import "Z:$(echo "$sample" | tr / '\\')" /reg:64 >"$work/import.log" 2>&1; then
  echo "FAIL: reg import of the sample: $(tr -d '\r' <"$work/import.log")"
  exit 1
fi

"$wine" "$exe" list --json 2>"$work/stderr" | tr -d '\r' >"$work/list.json"
status=${PIPESTATUS[0]}
if [ "$status" != 0 ]; then
  echo "FAIL: wendlow-host.exe exited with $status: $(tr -d '\r' <"$work/stderr")"
  exit 1
fi
if ! diff -u "$expected" "$work/list.json"; then
  echo "FAIL: the listing differs from the Linux build's"
  exit 1
fi

# Through a console: under Wine a program started from a terminal gets one, here a
# pseudo-terminal wide enough that no row wraps. Its cursor sequences are dropped.
script -qec "stty cols 400 rows 100; \"$wine\" \"$exe\" list" /dev/null </dev/null 2>&1 |
  sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' >"$work/console.txt"
for name in 'Ärger Editor' '墨香笔记 (Moxiang Notes)' '桜フォトビューア (Sakura Photo Viewer)' 'Ørsted Sound Recorder'; do
  if ! grep -qF "$name" "$work/console.txt"; then
    echo "FAIL: the console does not show \"$name\": $(grep -i 'rger\|rsted' "$work/console.txt")"
    exit 1
  fi
done

# A name outside every ANSI code page reaches the library whole, and is found.
"$wine" "$exe" query '墨香笔记_is1' >"$work/query.txt" 2>&1
status=$?
answer=$(tr -d '\r' <"$work/query.txt")
if [ "$status" != 0 ] || [ "$answer" != "$(printf 'start: scan (mode 1)\nquery 墨香笔记_is1: installed (entries)')" ]; then
  echo "FAIL: the query of a Chinese name exited with $status and said: $answer"
  exit 1
fi

# The prefix is shared with other tests: the sample must leave nothing behind.
remove_sample
"$wine" "$exe" list --json 2>/dev/null | tr -d '\r' >"$work/after.json"
left=$(grep -F -x -f "$work/after.json" "$expected" | grep -c '"Key"')
if [ "$left" != 0 ]; then
  echo "FAIL: $left of the sample's entries are still listed after their removal"
  exit 1
fi
echo "PASS: $(grep -c '"Key"' "$work/list.json") entries listed as on Linux, and through a console, and removed again"
