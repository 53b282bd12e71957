# Shell functions for the scripts that drive Wine: waiting, quiet Wine calls, and the tray.
# Source it; it expects QC_WINE and WINEPREFIX (and DISPLAY for the tray functions).

# wait_until <seconds> <command...>: polls every 200 ms until the command succeeds.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS >= deadline)) && return 1
    sleep 0.2
  done
}

wine_quiet() { "$QC_WINE" "$@" </dev/null >/dev/null 2>&1; }

# Wine's reg.exe, quietly. In a 64-bit prefix the 64-bit one: it runs natively where 32-bit
# code is emulated (a second a call). /reg:32 and /reg:64 choose the view either way.
reg_quiet() {
  if [[ ${QC_WINE_ARCH:-} == win64 && -x /usr/lib/wine/wine64 ]]; then
    /usr/lib/wine/wine64 reg "$@" </dev/null >/dev/null 2>&1
  else
    wine_quiet reg "$@"
  fi
}

# Where the checks install the programs, and the policy key they set.
install_win='C:\Quorvel'
install="$WINEPREFIX/drive_c/Quorvel"
started="$install/started.txt"
policy='HKLM\Software\Microsoft\Windows\CurrentVersion\Policies\System'

# Failures are counted; a script that sets `label` has it in every line.
failures=0
fail() { echo "FAILED${label:+ [$label]}: $*"; failures=$((failures + 1)); }
ok() { echo "ok${label:+ [$label]}: $*"; }

# Trays of this prefix only: other runs on the machine may have their own, and an ended
# tray can linger as a zombie until something reaps orphans.
tray_count() {
  local pid stat n=0
  for pid in $(pgrep -x -i hxtray.exe 2>/dev/null); do
    stat=$(ps -o stat= -p "$pid" 2>/dev/null) || continue
    stat=${stat//[[:space:]]/}
    [[ -n "$stat" && "$stat" != Z* ]] || continue
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    n=$((n + 1))
  done
  echo "$n"
}
tray_gone() { [[ $(tray_count) -eq 0 ]]; }

tray_window() { xdotool search --onlyvisible --name "Wine System Tray" 2>/dev/null | head -n 1; }

# Origin of the tray window: sets TX and TY.
tray_origin() {
  local w
  w=$(tray_window)
  [[ -n "$w" ]] || return 1
  eval "$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^X=/TX=/p; s/^Y=/TY=/p')"
}

# True when the 20x20 icon slot n (0 = leftmost) of the tray shows the tray's blue badge.
slot_is_blue() {
  tray_origin || return 1
  local x=$((TX + 20 * $1 + 2)) y=$((TY + 2))
  [[ $(xwd -root -silent | convert xwd:- -crop 16x16+$x+$y +repage -format '%[fx:mean.b > mean.r + 0.2 ? 1 : 0]' info:) == 1 ]]
}

# Right-clicks the icon in slot 0 and waits for a new visible window: the popup menu. A
# click that a busy machine lost is given again, up to four times.
visible_windows() { xdotool search --onlyvisible --name "" 2>/dev/null | sort; }
menu_before=""
menu_opened() { [[ -n "$(comm -13 <(echo "$menu_before") <(visible_windows))" ]]; }
open_tray_menu() {
  menu_before=$(visible_windows)
  local attempt
  for attempt in 1 2 3 4; do
    tray_origin || return 1
    xdotool mousemove $((TX + 10)) $((TY + 10)) click 3
    wait_until 15 menu_opened && return 0
  done
  return 1
}

# The winecfg name of the release Wine reports now, from its build number.
current_version() {
  local build
  build=$("$QC_WINE" cmd /c ver </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*Windows [0-9]*\.[0-9]*\.\([0-9]*\).*/\1/p')
  case "$build" in
    1381) echo nt40 ;; 2195) echo win2k ;; 2600) echo winxp ;; 3790) echo win2003 ;; 6002) echo vista ;;
    7601) echo win7 ;; 9200) echo win8 ;; 9600) echo win81 ;; *) echo win10 ;;
  esac
}

# A copy of the tray that imports the shell spy (SHSPY32.dll, beside it) in place of
# SHELL32.dll: the spy logs each narrow notification record to QC_SHELL_SPY_LOG and passes
# every call on.
install_spied_tray() {  # install_spied_tray <HXTray.exe> <copy>
  python3 - "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
assert data.count(b"SHELL32.dll") == 1, "expected one import of SHELL32.dll"
open(sys.argv[2], "wb").write(data.replace(b"SHELL32.dll", b"SHSPY32.dll"))
PY
}

# Opens the tray's menu and picks "Run Scan": true once the main program started with /SC and
# the tray ended; else `run_scan_failure` says what happened.
main_program_started() { [[ -f "$started" ]] && tr -d '\r' <"$started" | grep -q ' /SC$'; }
run_scan_failure=""
run_scan_from_menu() {
  if ! open_tray_menu; then
    run_scan_failure="right click opened no menu"
    return 1
  fi
  xdotool key Down Return
  wait_until 60 main_program_started && wait_until 60 tray_gone && return 0
  run_scan_failure="Run Scan: started $(cat "$started" 2>/dev/null), $(tray_count) tray(s)"
  return 1
}
