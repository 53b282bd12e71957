#!/bin/bash
# The prefix that the harness hands to end-to-end tests: its architecture, its registry views,
# and one Wine session started before the test (so RunOnce values stay as a test sets them).
# Usage: harness_e2e.sh <path of scripts/wine-exec.sh>
set -u
wine_exec=$1

failures=0
check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

reg() { "$QC_WINE" reg "$@" </dev/null 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
found() { reg query "$@" >/dev/null; }
absent() { ! found "$@"; }

[[ -n "${WINEPREFIX:-}" && -n "${QC_WINE:-}" && -n "${QC_WINE_ARCH:-}" ]] || { echo "harness variables missing"; exit 1; }
check "prefix has been booted" test -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
check "no X display for plain tests" test -z "${DISPLAY:-}"

# A failing test program must fail its ctest entry, and its lines must match without CR.
out=$("$wine_exec" cmd /c "echo one& echo two& exit 3" </dev/null)
check "exit code passes through the emulator" test $? -eq 3
check "emulator output has LF line ends" test "$out" == $'one\ntwo'

key='HKLM\Software\QuorvelHarnessProbe'
redirected='HKLM\Software\Wow6432Node\QuorvelHarnessProbe'
reg delete "$key" /f /reg:32 >/dev/null
reg delete "$key" /f /reg:64 >/dev/null

check "value added in the 32-bit view" reg add "$key" /v Probe /d harness /reg:32 /f
check "32-bit program sees it in its default view" found "$key" /v Probe
if [[ "$QC_WINE_ARCH" == win64 ]]; then
  check "64-bit view does not have it" absent "$key" /v Probe /reg:64
  check "64-bit view shows it under Wow6432Node" found "$redirected" /v Probe /reg:64
else
  check "32-bit system has no Wow6432Node" absent "$redirected" /v Probe
fi
reg delete "$key" /f /reg:32 >/dev/null

runonce='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
check "RunOnce value set" reg add "$runonce" /v QuorvelHarnessProbe /d "cmd /c exit" /f
"$QC_WINE" cmd /c exit </dev/null
check "RunOnce value survives another program in the same session" found "$runonce" /v QuorvelHarnessProbe
reg delete "$runonce" /v QuorvelHarnessProbe /f >/dev/null

echo "$failures failed"
exit $((failures > 0))
