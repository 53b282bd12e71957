#!/bin/bash
# Runs a host-side test script in the environment of a prepared Wine prefix.
# Usage: wine-run-script.sh <script-or-program> [args...]
# ctest sets WINEPREFIX and friends; the X display is only known once Xvfb has started.
set -u

if [[ -n "${QC_WINE_DISPLAY_FILE:-}" ]]; then
  if [[ ! -s "$QC_WINE_DISPLAY_FILE" ]]; then
    echo "wine-run-script.sh: no X display recorded in $QC_WINE_DISPLAY_FILE" >&2
    exit 1
  fi
  DISPLAY=":$(head -n 1 "$QC_WINE_DISPLAY_FILE")"
  export DISPLAY
fi

# A script checked out without its execute bit still runs.
if [[ -f "$1" && ! -x "$1" ]]; then
  exec bash "$@"
fi
exec "$@"
