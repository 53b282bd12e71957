#!/bin/bash
# Runs a cross-built Windows program under Wine: the emulator of the win32 build.
# Usage: wine-exec.sh <program.exe> [args...]
# The prefix comes from the environment (WINEPREFIX, WINEARCH, set by the ctest entries).
# Wine's console writes CR LF; stdout leaves here with LF so output can be matched by line.
# The program's exit code is passed through.
set -u

if [[ -n "${QC_WINE_DISPLAY_FILE:-}" && -s "${QC_WINE_DISPLAY_FILE}" ]]; then
  DISPLAY=":$(head -n 1 "${QC_WINE_DISPLAY_FILE}")"
  export DISPLAY
fi

# Without a booted prefix Wine would quietly build a new one, outside the run's session.
if [[ -n "${WINEPREFIX:-}" && ! -d "$WINEPREFIX/drive_c" ]]; then
  echo "wine-exec.sh: no Wine prefix at $WINEPREFIX (run the test through ctest so its fixture boots one)" >&2
  exit 125
fi

"${QC_WINE:-wine}" "$@" | sed 's/\r$//'
exit "${PIPESTATUS[0]}"
