#!/bin/bash
# HXTray's icon coming back when a notification area announces itself ("TaskbarCreated"), under
# Wine and Xvfb. Wine's own area cannot end without the desktop and every window on it, so a
# stand-in area (shell_standin.exe) stands above it and passes each notification on: the icon
# shows in Wine's tray, and the stand-in can end and start as a shell does.
#   The shell restarts: the icon is back in the new area, its menu's "Run Scan" still starts the
#   main program, one tray runs, and the reminder is not shown again.
#   The shell comes late: the tray starts while there is no area (its add fails); once one
#   starts and announces itself, the icon appears and the reminder is shown once.
# Mode "default" runs in the prefix's own release; "win98" switches it to Windows 98, where the
# tray takes the ANSI path (its narrow records are seen through the shell spy) and shows no
# balloons at all.
# Usage: icon_return_e2e.sh <HXTray.exe> <qv.exe> <shell_standin.exe> <SHSPY32.dll> default|win98
set -u

tray_exe=$1 qv_exe=$2 standin_exe=$3 spy_dll=$4 mode=$5
: "${QC_WINE:?}" "${WINEPREFIX:?}" "${DISPLAY:?}"
label=$mode
source "$(dirname "$0")/../../wine/script_helpers.sh"

work=$(mktemp -d)
area_log=$work/area.log
spy_log=$work/spy.log
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

initial_version=$(current_version)
cleanup() {
  wine_quiet taskkill /f /im HXTray.exe
  wine_quiet "$install_win\\shell_standin.exe" end
  [[ $mode == win98 ]] && wine_quiet winecfg -v "$initial_version"
  wine_quiet reg delete "$policy" /v EnableLUA /f /reg:32
  rm -rf "$work" "$install"
}
trap cleanup EXIT

# --- the area -----------------------------------------------------------------------------
area_lines() { tr -d '\r' <"$area_log" 2>/dev/null; }
area_says() { area_lines | grep -q "$1"; }
# Lines of the log from line $1 on that match $2.
count_since() { area_lines | tail -n +"$1" | grep -c "$2"; }

area_kind="" starts_before=0
area_started() { [[ $(count_since 1 "^$area_kind started") -gt $starts_before ]]; }
start_area() {  # start_area present|absent
  area_kind=$1
  starts_before=$(count_since 1 "^$area_kind started")
  "$QC_WINE" "$install_win\\shell_standin.exe" "$area_kind" "$(winpath "$area_log")" </dev/null >/dev/null 2>&1 &
  wait_until 120 area_started
}
end_area() { wine_quiet "$install_win\\shell_standin.exe" end; }

start_tray() {
  rm -f "$started"
  QC_SHELL_SPY_LOG="$(winpath "$spy_log")" "$QC_WINE" "$install_win\\HXTray.exe" /sched </dev/null >/dev/null 2>&1 &
}

balloons=1
[[ $mode == win98 ]] && balloons=0
tray_hidden() { [[ -z "$(tray_window)" ]]; }
narrow_adds() { tr -d '\r' <"$spy_log" 2>/dev/null | grep -c '^Shell_NotifyIconA 0 88$'; }

# --- the machine ----------------------------------------------------------------------------
mkdir -p "$install"
cp "$qv_exe" "$install/qv.exe"
cp "$standin_exe" "$install/shell_standin.exe"
cp "$spy_dll" "$install/SHSPY32.dll"
install_spied_tray "$tray_exe" "$install/HXTray.exe"
[[ $mode == win98 ]] && wine_quiet winecfg -v win98
wine_quiet reg add "$policy" /v EnableLUA /t REG_DWORD /d 1 /f /reg:32
wine_quiet taskkill /f /im HXTray.exe
wait_until 60 tray_gone

# --- the shell restarts ---------------------------------------------------------------------
t0=$SECONDS
start_area present || fail "the stand-in area did not start"
start_tray
if wait_until 120 slot_is_blue 0; then ok "icon shown in the first area"; else fail "no icon in the first area"; fi
if ((balloons)); then
  wait_until 60 area_says '^present modify flags=10 -> 1' || fail "no reminder in the first area"
fi
end_area
wait_until 60 tray_hidden && ok "the area ended and took the icon with it" || fail "the icon outlived its area"
mark=$(($(area_lines | wc -l) + 1))
spy_mark=$(narrow_adds)
start_area present
if wait_until 120 slot_is_blue 0; then ok "the icon is back in the new area"; else fail "no icon in the new area"; fi
readded() { [[ $(count_since "$mark" '^present add .* -> 1') -ge 1 ]]; }
wait_until 60 readded
adds=$(count_since "$mark" '^present add ')
reminders=$(count_since "$mark" 'flags=10 ')
[[ $adds -eq 1 && $reminders -eq 0 ]] && ok "added once to the new area, and the reminder not shown again" ||
  fail "after the restart: $adds add(s), $reminders reminder(s): $(area_lines | tail -n +"$mark" | tr '\n' ';')"
if [[ $mode == win98 ]]; then
  [[ $(narrow_adds) -eq $((spy_mark + 1)) ]] && ok "added again with Shell_NotifyIconA and the 88-byte record" ||
    fail "the narrow adds after the restart: $(tr -d '\r' <"$spy_log" | tr '\n' ';')"
fi
[[ $(tray_count) -eq 1 ]] && ok "one tray runs" || fail "$(tray_count) trays run"
if run_scan_from_menu; then
  ok "the menu's Run Scan started the main program with /SC and the tray ended"
else
  fail "after the restart: $run_scan_failure"
fi
echo "the shell restarts: $((SECONDS - t0)) s"
end_area
wait_until 60 tray_hidden

# --- the shell comes late -------------------------------------------------------------------
t0=$SECONDS
: >"$area_log"
start_area absent || fail "the stand-in for no area did not start"
start_tray
tip_sent() { area_says '^absent modify flags=4 '; }
if wait_until 120 tip_sent && area_says '^absent add .* -> 0' && tray_hidden; then
  ok "without an area the add failed and no icon shows"
else
  fail "without an area: $(area_lines | tr '\n' ';')"
fi
end_area
mark=$(($(area_lines | wc -l) + 1))
start_area present
if wait_until 120 slot_is_blue 0; then ok "the icon appears once the area starts"; else fail "no icon after the area started"; fi
if ((balloons)); then
  reminded() { [[ $(count_since "$mark" '^present modify flags=10 -> 1') -ge 1 ]]; }
  wait_until 60 reminded
fi
reminders=$(count_since 1 'flags=10 -> 1')
[[ $reminders -eq $balloons ]] && ok "the reminder shown $reminders time(s)" ||
  fail "the reminder shown $reminders times, expected $balloons: $(area_lines | tr '\n' ';')"
[[ $(tray_count) -eq 1 ]] && ok "one tray runs" || fail "$(tray_count) trays run"
echo "the shell comes late: $((SECONDS - t0)) s"

((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
