#!/bin/bash
# A cache file written by the Windows build is read by the Linux build, and the other way
# round. Each side records a name that only its own registry holds; the other side then
# answers for that name from the cache alone, which it can only do by having read the file.
# Usage: QC_NATIVE_HOST_TOOL=<native wendlow-host> cache_cross_build.sh <wendlow-host.exe>
# Runs in a Wine prefix prepared by the test harness (WINEPREFIX, QC_WINE in the environment).
set -u

windows_host=$1
native_host=${QC_NATIVE_HOST_TOOL:-}
if [[ ! -x "$native_host" ]]; then
  echo "SKIP: no Linux build of wendlow-host: set QC_NATIVE_HOST_TOOL to one (now '${native_host}')"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"; "$QC_WINE" reg delete "$app_paths\\crossbuild-win.exe" /f >/dev/null 2>&1' EXIT
cd "$work" || exit 1
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths'
cache=cross.db
failures=0

expect_line() {  # expect_line <output> <line>
  if ! grep -qxF -- "$2" <<<"$1"; then
    echo "FAIL: expected the line \"$2\" in:"
    echo "$1"
    failures=$((failures + 1))
  fi
}

windows() { "$QC_WINE" "$windows_host" "$@" 2>&1 | tr -d '\r'; }
native() { WINPLAT_MACHINE=x86 "$native_host" --registry "$work/native.reg" "$@" 2>&1; }

# Each side's own registration.
"$QC_WINE" reg add "$app_paths\\crossbuild-win.exe" /v Path /d 'C:\Win' /f >/dev/null || exit 1
cat >native.reg <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\crossbuild-linux.exe]
"Path"="/opt/linux"
REG

# 1. Windows writes a cache recording its name.
out=$(windows --mode 2 --cache "$cache" query crossbuild-win.exe save)
echo "$out"
expect_line "$out" "query crossbuild-win.exe: installed (entries)"
expect_line "$out" "save: saved"

# 2. Linux reads it: its registry differs, so it scans, but the names loaded stay recorded;
#    after its own save, mode 2 answers for the Windows name from the file's names.
out=$(native --mode 2 --cache "$cache" query crossbuild-linux.exe save query crossbuild-win.exe)
echo "$out"
expect_line "$out" "start: scan (mode 3)"
expect_line "$out" "query crossbuild-linux.exe: installed (entries)"
expect_line "$out" "query crossbuild-win.exe: installed (cache)"

# 3. Windows reads the file Linux wrote, and answers for the Linux name the same way.
out=$(windows --mode 2 --cache "$cache" save query crossbuild-linux.exe query crossbuild-win.exe)
echo "$out"
expect_line "$out" "query crossbuild-linux.exe: installed (cache)"
expect_line "$out" "query crossbuild-win.exe: installed (cache)"

# 4. And a Windows start right after its own save finds the cache current.
out=$(windows --mode 2 --cache "$cache" query crossbuild-linux.exe)
echo "$out"
expect_line "$out" "start: cache (mode 2)"
expect_line "$out" "query crossbuild-linux.exe: installed (cache)"

if ((failures > 0)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "cross-build cache exchange: all checks passed"
