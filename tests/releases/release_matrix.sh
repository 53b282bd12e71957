#!/bin/bash
# The Windows binaries on each release they serve, in one Wine prefix switched between the
# versions Wine reports (winecfg -v). Per release:
#   HXReg removes the scanreg line from autoexec.bat and the RunOnce value;
#   HXTray shows its icon, opens its menu and starts the main program with "Run Scan"; the
#   notification records reach the shell with the size of the mode (88/488 narrow, 152/936
#   wide);
#   on 95/98/Me both programs, traced with +relay, call no function that does not work there:
#   no wide form beyond those the family implements, no MoveFileExA;
#   where the host tool is asked for, it lists the sample machine as expected;
#   the binaries' version resources read through version.dll hold what the build put there.
# Wine implements every function whatever release it reports, so the traced calls, not the
# outcome alone, show what would happen on the real systems.
#
# Usage: release_matrix.sh --versions v1,v2,... --tray HXTray.exe --hxreg HXReg.exe
#          --spy SHSPY32.dll --main-program qv.exe --objdump OBJDUMP --wide-list FILE
#          [--host wendlow-host.exe --sample sample.reg --host-versions v,...
#           --expected listing.json] [--view 32|64]
#          [--version-info version_info.exe --version-expected FILE --binaries a.exe,b.dll,...]
# WINEPREFIX, QC_WINE and DISPLAY come from the test harness.
set -u

versions="" tray_exe="" hxreg_exe="" spy_dll="" qv_exe="" objdump="" wide_list=""
host_exe="" sample="" host_versions="" expected="" view=32 version=setup label=setup
version_reader="" version_expected="" binaries=""
while (($#)); do
  case "$1" in
    --versions) versions=$2 ;;
    --tray) tray_exe=$2 ;;
    --hxreg) hxreg_exe=$2 ;;
    --spy) spy_dll=$2 ;;
    --main-program) qv_exe=$2 ;;
    --objdump) objdump=$2 ;;
    --wide-list) wide_list=$2 ;;
    --host) host_exe=$2 ;;
    --sample) sample=$2 ;;
    --host-versions) host_versions=$2 ;;
    --expected) expected=$2 ;;
    --view) view=$2 ;;
    --version-info) version_reader=$2 ;;
    --version-expected) version_expected=$2 ;;
    --binaries) binaries=$2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done
: "${QC_WINE:?}" "${WINEPREFIX:?}" "${DISPLAY:?}"
wine=$QC_WINE
work=$(mktemp -d)
drive_c=$WINEPREFIX/drive_c
run_once='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce'

source "$(dirname "$0")/../wine/script_helpers.sh"

initial_version=$(current_version)

cleanup() {
  wine_quiet taskkill /f /im HXTray.exe
  # The prefix may be shared: leave it at the version it had.
  wine_quiet winecfg -v "$initial_version"
  [[ -n "$sample" && -n "$host_versions" ]] && remove_sample
  rm -rf "$work" "$install"
}
trap cleanup EXIT

is_9x() { [[ $1 == win95 || $1 == win98 || $1 == winme ]]; }

# --- calls a program makes itself, from a +pid,+loaddll,+relay log -----------------------
image_size() { "$objdump" -p "$1" | awk '$1 == "SizeOfImage" { print $2 }'; }

# Prints "Module.Function" for each call whose return address lies in the program's image.
own_calls() {  # own_calls <log> <exe name> <image size, hex>
  python3 - "$@" <<'PY'
import re, sys
log, name, size = sys.argv[1], sys.argv[2].lower(), int(sys.argv[3], 16)
pid = base = None
calls = set()
with open(log, errors="replace") as f:
    for line in f:
        if pid is None:
            m = re.match(r'([0-9a-f]+):[0-9a-f]+:trace:loaddll:\S+ Loaded L"([^"]*)" at ([0-9a-f]+)', line)
            if m and m.group(2).lower().endswith("\\\\" + name):
                pid, base = m.group(1), int(m.group(3), 16)
            continue
        if not line.startswith(pid + ":"):
            continue
        m = re.search(r":Call ([\w.]+)\(.* ret=([0-9a-f]+)$", line.rstrip())
        if m and base <= int(m.group(2), 16) < base + size:
            calls.add(m.group(1))
print("\n".join(sorted(calls)))
PY
}

# Fails on calls that do not work on 95/98/Me.
audit_calls() {  # audit_calls <what> <log> <exe>
  local calls bad
  calls=$(own_calls "$2" "$(basename "$3")" "$(image_size "$3")")
  if [[ -z "$calls" ]]; then
    fail "$1: no calls found in the relay log"
    return
  fi
  bad=$(printf '%s\n' "$calls" | awk -F. -v list="$wide_list" '
    BEGIN { while ((getline line < list) > 0) if (line !~ /^[[:space:]]*(#|$)/) implemented[line] = 1 }
    ($2 ~ /W$/ && !($2 in implemented)) || $2 == "MoveFileExA" { print }')
  if [[ -n "$bad" ]]; then
    fail "$1 calls what 95/98/Me lack: $(echo $bad)"
  else
    ok "$1 made $(printf '%s\n' "$calls" | wc -l) kinds of calls, all working on 95/98/Me"
  fi
}

# --- HXReg -----------------------------------------------------------------------------
run_once_present() {
  "$wine" reg query "$run_once" /v SelkorCompactor /reg:32 2>/dev/null | tr -d '\r' | grep -q SelkorCompactor
}

check_hxreg() {
  local batch=$drive_c/autoexec.bat log=$work/hxreg.log debug=-all
  printf 'x\r\nC:\\WINDOWS\\command\\scanreg.exe /opt /fix\r\ny' >"$batch"
  wine_quiet reg add "$run_once" /v SelkorCompactor /d x /f /reg:32
  is_9x "$version" && debug=+pid,+loaddll,+relay
  WINEDEBUG=$debug "$wine" "$hxreg_exe" </dev/null >"$log" 2>&1
  if [[ "$(od -An -tx1 "$batch")" == "$(printf 'x\r\ny\r\n' | od -An -tx1)" ]] && ! run_once_present &&
    [[ -z "$(find "$drive_c" -maxdepth 1 -iname '*.tmp')" ]]; then
    ok "HXReg removed the line and the RunOnce value"
  else
    fail "HXReg: autoexec.bat $(od -An -c "$batch" | tr -s ' '), RunOnce $(run_once_present && echo kept || echo gone)"
  fi
  rm -f "$batch"
  is_9x "$version" && audit_calls HXReg "$log" "$hxreg_exe"
}

# --- HXTray ----------------------------------------------------------------------------

# The record size the mode sends, and where it shows: the spy's log (narrow) or Wine's trace
# of Shell_NotifyIconW (wide).
expected_record() {
  case "$1" in
    win95 | win98) echo "narrow 88" ;;
    winme) echo "narrow 488" ;;
    nt40) echo "wide 152" ;;
    *) echo "wide 936" ;;
  esac
}

check_tray() {
  local log=$work/tray.log spy_log=$work/spy.log debug=+pid,+systray
  rm -f "$started" "$spy_log"
  is_9x "$version" && debug=+pid,+loaddll,+relay
  QC_SHELL_SPY_LOG="Z:$(echo "$spy_log" | tr / '\\')" WINEDEBUG=$debug \
    "$wine" "$install_win\\HXTray.exe" /sched </dev/null >"$log" 2>&1 &
  if ! wait_until 60 slot_is_blue 0; then
    fail "HXTray: no icon in the tray"
    wine_quiet taskkill /f /im HXTray.exe
    return
  fi
  ok "HXTray's icon is shown"
  if run_scan_from_menu; then
    ok "the menu's Run Scan started the main program with /SC and the tray ended"
  else
    fail "HXTray: $run_scan_failure"
  fi
  wine_quiet taskkill /f /im HXTray.exe
  wait_until 20 tray_gone

  read -r form size <<<"$(expected_record "$version")"
  local added
  if [[ $form == narrow ]]; then
    added=$(tr -d '\r' <"$spy_log" 2>/dev/null | awk '$2 == 0 { print $3; exit }')
  else
    added=$(sed -n 's/.*Shell_NotifyIconW dwMessage = 0, nid->cbSize=\([0-9]*\).*/\1/p' "$log" | head -n 1)
  fi
  if [[ "$added" == "$size" ]]; then
    ok "the shell received the $form record of $size bytes"
  else
    fail "HXTray: the shell received a ${added:-missing} byte record, expected $form $size"
  fi
  is_9x "$version" && audit_calls HXTray "$log" "$tray_exe"
}

# --- the host tool on the sample machine -------------------------------------------------
sample_imported=0
sample_keys() {
  iconv -f UTF-16LE -t UTF-8 "$sample" | tr -d '\r' |
    sed -n 's/^\[\(HKEY_LOCAL_MACHINE\\.*\\\(Uninstall\|App Paths\)\\.*\)\]$/\1/p'
}
remove_sample() {
  ((sample_imported)) || return 0
  sample_keys | while IFS= read -r key; do reg_quiet delete "$key" /f /reg:$view; done
}

check_host() {
  if ((!sample_imported)); then
    wine_quiet reg import "Z:$(echo "$sample" | tr / '\\')" /reg:$view
    sample_imported=1
  fi
  if "$wine" "$host_exe" list --json 2>"$work/host.err" | tr -d '\r' >"$work/list.json" &&
    diff -q "$expected" "$work/list.json" >/dev/null; then
    ok "wendlow-host lists the sample's $(grep -c '"Key"' "$work/list.json") entries as expected"
  else
    fail "wendlow-host: $(diff "$expected" "$work/list.json" | head -n 5) $(tr -d '\r' <"$work/host.err")"
  fi
}

# --- version resources, as the release's version.dll reads them ------------------------------
check_version_info() {
  local paths=() i
  IFS=, read -r -a paths <<<"$binaries"
  for i in "${!paths[@]}"; do paths[i]="Z:$(echo "${paths[i]}" | tr / '\\')"; done
  "$wine" "$version_reader" "${paths[@]}" </dev/null 2>"$work/version.err" | tr -d '\r' >"$work/version.txt"
  if diff -q "$version_expected" "$work/version.txt" >/dev/null; then
    ok "version.dll reads the version resources as built ($(wc -l <"$work/version.txt") fields)"
  else
    fail "version resources: $(diff "$version_expected" "$work/version.txt" | head -n 6) $(head -c 300 "$work/version.err")"
  fi
}

# --- the run ---------------------------------------------------------------------------
mkdir -p "$install"
cp "$qv_exe" "$install/qv.exe"
cp "$spy_dll" "$install/SHSPY32.dll"
install_spied_tray "$tray_exe" "$install/HXTray.exe"
"$wine" cmd /c exit </dev/null >/dev/null 2>&1  # the session runs: RunOnce stays as set
wine_quiet reg add "$policy" /v EnableLUA /t REG_DWORD /d 1 /f /reg:32

IFS=, read -r -a version_list <<<"$versions"
for version in "${version_list[@]}"; do
  label=$version
  wine_quiet winecfg -v "$version"
  echo "== $version: $("$wine" cmd /c ver </dev/null 2>/dev/null | tr -d '\r' | grep -v '^$')"
  check_hxreg
  check_tray
  [[ ",$host_versions," == *",$version,"* ]] && check_host
  [[ -n "$version_reader" ]] && check_version_info
done
wine_quiet reg delete "$policy" /v EnableLUA /f /reg:32

((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
