#!/bin/bash
# Tests that need a display get a virtual X server and a prefix whose desktop draws on it.
set -u

[[ -n "${DISPLAY:-}" ]] || { echo "FAILED: DISPLAY is not set"; exit 1; }
geometry=$(xdotool getdisplaygeometry) || { echo "FAILED: no X server on $DISPLAY"; exit 1; }
[[ "$geometry" == "1024 768" ]] || { echo "FAILED: display is $geometry, expected 1024 768"; exit 1; }
echo "ok: X server on $DISPLAY, $geometry"

"$QC_WINE" notepad </dev/null >/dev/null 2>&1 &
window=""
for _ in $(seq 120); do  # Wine may take a while to show its first window
  window=$(xdotool search --name "Notepad" 2>/dev/null | head -n 1)
  [[ -n "$window" ]] && break
  sleep 0.5
done
"$QC_WINE" taskkill /f /im notepad.exe </dev/null >/dev/null 2>&1
if [[ -z "$window" ]]; then
  echo "FAILED: no Wine window appeared on $DISPLAY"
  exit 1
fi
echo "ok: Wine window $window appeared on $DISPLAY"
