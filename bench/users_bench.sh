#!/usr/bin/env bash
# Users' registrations (--users) against the machine's alone, each the median wall time of
# the whole command over the runs:
#   40 Wine prefixes in one run (copies of one fresh 64-bit prefix's system.reg and user.reg,
#     three entries each added with Wine's reg.exe);
#   a volume holding Windows whose machine lists 50 profiles, each with an NTUSER.DAT of
#     three entries (made with make-hive from .reg text).
# Needs Wine (Debian's wine64).
# Usage: bench/users_bench.sh [BUILD_DIR [WORK_DIR [RUNS]]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/native}
work=${2:-/tmp/wendlow-users}
runs=${3:-9}
host=$build/tools/wendlow-host
make_hive=$build/tools/make-hive
wine64=/usr/lib/wine/wine64
mkdir -p "$work"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Median wall seconds, to the millisecond.
seconds() {
  local times=() start
  for _ in $(seq "$runs"); do
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || true
    times+=("$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | median
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
compare() {  # compare <what> <args...>: the machine alone, then with --users
  local alone users
  alone=$(seconds "$host" --quiet "$@" list)
  users=$(seconds "$host" --quiet --users "$@" list)
  echo "$what | list: $alone s | --users list: $users s | $(ratio "$users" "$alone") times"
}

# --- 40 Wine prefixes -----------------------------------------------------------------------
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
if [ ! -f "$WINEPREFIX/user.reg" ]; then
  "$wine64" wineboot -i >/dev/null 2>&1
  for i in 1 2 3; do
    "$wine64" reg add "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench $i" /v DisplayName \
      /d "Bench $i" /f /reg:64 >/dev/null 2>&1
    "$wine64" reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Own $i" /v DisplayName \
      /d "Own $i" /f >/dev/null 2>&1
  done
  wineserver -w
fi
machines=()
for i in $(seq 40); do
  mkdir -p "$work/fleet/$i/drive_c/users/bench"
  cp "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" "$work/fleet/$i/"
  machines+=(--registry "$work/fleet/$i")
done
what="40 prefixes" compare "${machines[@]}"

# --- a machine with 50 profiles ---------------------------------------------------------------
volume=$work/volume
if [ ! -f "$volume/Windows/System32/config/SOFTWARE" ]; then
  mkdir -p "$volume/Windows/System32/config"
  {
    printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Machine]\n'
    printf '"DisplayName"="Machine"\n'
    for i in $(seq 50); do
      printf '\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-9-%d]\n' $((1000 + i))
      printf '"ProfileImagePath"="C:\\\\Users\\\\user%d"\n' "$i"
    done
  } >"$work/machine.reg"
  "$make_hive" "$work/machine.reg" "$volume/Windows/System32/config/SOFTWARE"
  for i in $(seq 50); do
    mkdir -p "$volume/Users/user$i"
    {
      printf 'REGEDIT4\n'
      for j in 1 2 3; do
        printf '\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App %d-%d]\n' "$i" "$j"
        printf '"DisplayName"="App %d-%d"\n' "$i" "$j"
      done
    } >"$work/user.reg"
    "$make_hive" --user "$work/user.reg" "$volume/Users/user$i/NTUSER.DAT"
  done
fi
what="50 profiles" compare --registry "$volume"
