#!/bin/bash
# Creates or removes a throwaway Wine prefix that keeps one wineserver for a whole test run.
# Usage: wine-prefix.sh setup|cleanup <prefix-dir>
# Environment: WINEARCH=win32 for a 32-bit prefix; WINEDEBUG, WINEDLLOVERRIDES as for the tests;
# QC_WINE_DISPLAY_FILE (optional) names the file holding the X display number to boot with;
# QC_WINE_KEEP_PREFIXES=1 keeps the prefix after cleanup for inspection.
#
# Why one persistent wineserver: a key's last-write time changed by a subkey lives only in the
# server's memory, and every new server session empties the RunOnce keys. Tests must therefore
# run in one session that was started before them.
set -u

action=${1:-}
prefix=${2:-}
case "$prefix" in
  */wine/*) ;;
  *) echo "wine-prefix.sh: refusing to work on '$prefix' (expected a path under a wine/ folder)" >&2; exit 2 ;;
esac
wine=${QC_WINE:-wine}
wineserver=${QC_WINESERVER:-wineserver}
log="$prefix.log"

if [[ -n "${QC_WINE_DISPLAY_FILE:-}" ]]; then
  if [[ ! -s "$QC_WINE_DISPLAY_FILE" ]]; then
    echo "wine-prefix.sh: no X display recorded in $QC_WINE_DISPLAY_FILE" >&2
    exit 1
  fi
  DISPLAY=":$(head -n 1 "$QC_WINE_DISPLAY_FILE")"
  export DISPLAY
else
  unset DISPLAY
fi

stop_server() {
  [[ -d "$prefix" ]] || return 0
  WINEPREFIX="$prefix" "$wineserver" -k >/dev/null 2>&1
  WINEPREFIX="$prefix" timeout 60 "$wineserver" -w >/dev/null 2>&1
  return 0
}

fail() {
  echo "wine-prefix.sh: $*" >&2
  [[ -f "$log" ]] && tail -n 40 "$log" >&2
  stop_server
  exit 1
}

case "$action" in
  setup)
    started=$SECONDS
    stop_server  # left over from an interrupted run
    rm -rf -- "$prefix"
    mkdir -p -- "$prefix" || fail "cannot create $prefix"
    : >"$log"
    export WINEPREFIX="$prefix"
    # Every background process gets the log as its output: ctest waits until nobody
    # holds the test's output pipe.
    "$wineserver" -p </dev/null >>"$log" 2>&1 || fail "wineserver -p failed"
    timeout 600 "$wine" wineboot -i </dev/null >>"$log" 2>&1 || fail "wineboot -i failed"
    # The session's first start (RunOnce processing and services) is over before any test.
    timeout 120 "$wine" cmd /c exit </dev/null >>"$log" 2>&1 || fail "first program in the prefix failed"
    if [[ "${WINEARCH:-win64}" == win32 ]]; then
      [[ ! -d "$prefix/drive_c/windows/syswow64" ]] || fail "expected a 32-bit prefix, found a 64-bit one"
    else
      [[ -d "$prefix/drive_c/windows/syswow64" ]] || fail "expected a 64-bit prefix, found a 32-bit one"
    fi
    echo "Wine prefix ${WINEARCH:-win64} ready in $((SECONDS - started)) s: $prefix${DISPLAY:+ (DISPLAY=$DISPLAY)}"
    ;;
  cleanup)
    stop_server
    if [[ "${QC_WINE_KEEP_PREFIXES:-0}" != 1 ]]; then
      rm -rf -- "$prefix"
    fi
    echo "Wine prefix stopped: $prefix"
    ;;
  *)
    echo "usage: wine-prefix.sh setup|cleanup <prefix-dir>" >&2
    exit 2
    ;;
esac
