#!/usr/bin/env bash
# Whole machines, each figure the median wall time over the runs:
#   a fresh 64-bit Wine prefix: `wendlow-host --registry PREFIX list` against Wine's own listing
#     of the same prefix (`wine reg query` of the Uninstall keys with /s, each run from a cold
#     wineserver, as a user meets it; `wine uninstaller --list` prints nothing here);
#   40 such prefixes in one run;
#   the 215 MB SOFTWARE hive of make_large_hive.sh: the listing against its peers, Debian's
#     reglookup, RegRipper's uninstall plugin, libregf's regfexport of the Uninstall key, and
#     libhivex alone reading what the listing reads (bench/hivex_read_bench).
# Needs Wine, reglookup, regripper and libregf-utils (Debian packages).
# Usage: bench/machines_bench.sh [BUILD_DIR [WORK_DIR [RUNS]]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/native}
work=${2:-/tmp/wendlow-machines}
runs=${3:-7}
host=$build/tools/wendlow-host
wine64=/usr/lib/wine/wine64
mkdir -p "$work"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Median wall seconds of a command; its output is discarded. BEFORE, when set, runs first
# each time, untimed.
seconds() {
  local times=()
  for _ in $(seq "$runs"); do
    [ -n "${BEFORE:-}" ] && eval "$BEFORE"
    /usr/bin/time -f "%e" -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
    times+=("$(cat "$work/time.txt")")
  done
  printf '%s\n' "${times[@]}" | median
}

# The same for a quick command, timed over 20 runs at a time: the clock counts hundredths.
quick_seconds() {
  local times=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e" -o "$work/time.txt" bash -c 'for _ in $(seq 20); do "$@" >/dev/null 2>&1; done' -- "$@" || true
    times+=("$(awk '{ printf "%.4f", $1 / 20 }' "$work/time.txt")")
  done
  printf '%s\n' "${times[@]}" | median
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f", (b > 0 ? a / b : 0) }'; }

# --- a Wine prefix ------------------------------------------------------------------------
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine64" wineboot -i >/dev/null 2>&1
  for i in 1 2 3; do
    "$wine64" reg add "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench $i" /v DisplayName \
      /d "Bench $i" /f /reg:64 >/dev/null 2>&1
  done
fi
wineserver -k >/dev/null 2>&1 || true
wineserver -w
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
ours=$(quick_seconds "$host" --quiet --registry "$WINEPREFIX" list)
theirs=$(BEFORE='wineserver -k >/dev/null 2>&1; wineserver -w' seconds "$wine64" reg query "$uninstall" /s)
wineserver -w
echo "prefix | wendlow-host list: $ours s | wine reg query /s (cold): $theirs s | $(ratio "$theirs" "$ours") times faster"

# --- 40 prefixes in one run ---------------------------------------------------------------
machines=()
for i in $(seq 40); do
  mkdir -p "$work/fleet/$i"
  cp "$WINEPREFIX/system.reg" "$work/fleet/$i/"
  machines+=(--registry "$work/fleet/$i")
done
echo "40 prefixes | wendlow-host list: $(seconds "$host" --quiet "${machines[@]}" list) s"

# --- the large hive and its peers ---------------------------------------------------------
hive=$("$here/make_large_hive.sh" "$build" "$work")
size=$(($(stat -c %s "$hive") / 1000000))
echo "hive, $size MB:"
echo "tool | median s"
echo "wendlow-host list | $(seconds "$host" --registry "$hive" list)"
echo "libhivex alone (hivex_read_bench) | $(seconds "$build/bench/hivex_read_bench" "$hive")"
echo "reglookup -p .../Uninstall | $(seconds reglookup -p /Microsoft/Windows/CurrentVersion/Uninstall "$hive")"
echo "regripper -p uninstall | $(seconds regripper -r "$hive" -p uninstall)"
echo "regfexport -K ...\\Uninstall | $(seconds regfexport -K 'Microsoft\Windows\CurrentVersion\Uninstall' "$hive")"
