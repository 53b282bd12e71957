#!/bin/bash
# HXTray end to end in a throwaway Wine prefix on a virtual display: the icon and its balloon
# in Wine's system tray, the popup menu with captions from a language file, "Run Scan" starting
# the main program with the argument, "Close", a refused second instance, the system closing
# the tray, and the immediate start when User Account Control is off.
# Usage: tray_e2e.sh <HXTray.exe> <exact-launch.exe> <qv.exe stand-in> <artifact-dir>
set -u

tray_exe=$1 launch_exe=$2 qv_exe=$3 artifacts=$4
: "${QC_WINE:?}" "${WINEPREFIX:?}" "${DISPLAY:?}"

product='HKLM\Software\Taldrin\Quorvel Utilities 14\Path'
language='HKCU\Software\Taldrin\Quorvel Utilities 14\Language'

source "$(dirname "$0")/../../wine/script_helpers.sh"
reg() { wine_quiet reg "$@"; }

tray_hidden() { [[ -z "$(tray_window)" ]]; }

shot() { xwd -root -silent | convert xwd:- "$artifacts/$1.png"; }

# Visible top-level windows other than the root-sized desktop and the tray, as "id WxH+X+Y".
other_windows() {
  local w geometry tray
  tray=$(tray_window)
  for w in $(xdotool search --onlyvisible --name "" 2>/dev/null); do
    [[ "$w" == "$tray" ]] && continue
    geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
    eval "$geometry"
    ((WIDTH >= 1000)) && continue
    echo "$w ${WIDTH}x${HEIGHT}+${X}+${Y}"
  done | sort
}

# Right-clicks our icon and waits for a new window (the popup); sets MENU to "id WxH+X+Y".
open_menu() {
  local before
  before=$(other_windows)
  open_tray_menu || return 1
  new_window() { MENU=$(comm -13 <(echo "$before") <(other_windows) | head -n 1); [[ -n "$MENU" ]]; }
  wait_until 10 new_window
}

started_lines() { [[ -f "$started" ]] && tr -d '\r' <"$started" | wc -l || echo 0; }

launch() {  # launch <exact command-line tail>
  TRAY_EXACT_COMMAND_LINE="\"$install_win\\HXTray.exe\"$1" "$QC_WINE" "$install_win\\exact_launch.exe" \
    </dev/null >/dev/null 2>&1
}

stop_trays() {
  wine_quiet taskkill /f /im HXTray.exe
  wait_until 20 tray_gone
}

# --- the machine ---------------------------------------------------------------------
mkdir -p "$artifacts" "$install/lang"
rm -f "$artifacts"/*.png "$started"
cp "$tray_exe" "$install/HXTray.exe"
cp "$launch_exe" "$install/exact_launch.exe"
cp "$qv_exe" "$install/qv.exe"
printf '[Menu]\r\n201:Run Startup Scan\r\n202:Close Tray\r\n' >"$install/lang/Testish.ini"
reg add "$product" /v RefFile /d 'C:\Quorvel\lang' /f /reg:32
reg add "$language" /v Default /d Testish /f
reg add "$policy" /v EnableLUA /t REG_DWORD /d 1 /f /reg:32
stop_trays

# --- icon, balloon, second instance, menu, Run Scan ----------------------------------
launch '  /sched now'
if wait_until 60 slot_is_blue 0; then ok "icon shown in the Wine System Tray"; else fail "no icon in the tray"; fi
balloon_shown() { [[ -n "$(other_windows)" ]]; }
if wait_until 20 balloon_shown; then ok "balloon shown: $(other_windows)"; else fail "no balloon window"; fi
shot icon-balloon
[[ ! -f "$started" ]] && ok "nothing started while UAC is on" || fail "the main program started at once"

# In the foreground: wine returns when the second instance has ended (a tray that stayed
# would be stopped by the time-out, which counts as a failure).
if timeout 60 "$QC_WINE" "$install_win\\HXTray.exe" </dev/null >/dev/null 2>&1 &&
  [[ $(tray_count) -eq 1 ]] && ! slot_is_blue 1; then
  ok "second instance ended without an icon; the first runs on"
else
  fail "second instance: $(tray_count) trays running"
fi

if open_menu; then
  ok "menu opened: $MENU"
  localised_menu_width=${MENU#* }
  localised_menu_width=${localised_menu_width%%x*}
  shot menu-language-file
  read -r _ geometry <<<"$MENU"
  mx=${geometry#*+}; mx=${mx%%+*}; my=${geometry##*+}
  mw=${geometry%%x*}; mh=${geometry#*x}; mh=${mh%%+*}
  # Icon, menu and balloon together, for the documentation.
  convert "$artifacts/menu-language-file.png" -crop "$((mx + mw > 480 ? mx + mw + 8 : 480))x$((my + mh > 110 ? my + mh + 8 : 110))+0+0" +repage \
    "$artifacts/icon-balloon-menu.png"
else
  fail "right click opened no menu"
fi

xdotool key Down Return
has_started() { [[ $(started_lines) -ge 1 ]]; }
if wait_until 30 has_started && tr -d '\r' <"$started" | head -n 1 | grep -q ' /SC$'; then
  ok "Run Scan started the main program: $(tr -d '\r' <"$started" | head -n 1)"
else
  fail "Run Scan did not start the main program with /SC: $(cat "$started" 2>/dev/null)"
fi
if wait_until 30 tray_gone && wait_until 10 tray_hidden; then ok "tray ended and its icon is gone"; else fail "tray still there after Run Scan"; fi

# --- Close, with the built-in captions -----------------------------------------------
reg delete "$language" /v Default /f
"$QC_WINE" "$install_win\\HXTray.exe" </dev/null >/dev/null 2>&1 &
if wait_until 60 slot_is_blue 0 && open_menu; then
  shot menu-default
  default_menu_width=${MENU#* }
  default_menu_width=${default_menu_width%%x*}
  if ((${localised_menu_width:-0} > default_menu_width)); then
    ok "language file captions widen the menu ($localised_menu_width > $default_menu_width px)"
  else
    fail "menu width with the language file ${localised_menu_width:-?} px, without $default_menu_width px"
  fi
  xdotool key Up Return
  if wait_until 30 tray_gone && wait_until 10 tray_hidden && [[ $(started_lines) -eq 1 ]]; then
    ok "Close ended the tray and started nothing"
  else
    fail "Close: trays $(tray_count), starts $(started_lines)"
  fi
else
  fail "second tray: no icon or no menu"
fi

# --- the system closes the tray ------------------------------------------------------
"$QC_WINE" "$install_win\\HXTray.exe" </dev/null >/dev/null 2>&1 &
if wait_until 60 slot_is_blue 0; then
  wine_quiet taskkill /im HXTray.exe  # WM_CLOSE to its windows
  if wait_until 30 tray_gone && wait_until 10 tray_hidden; then ok "WM_CLOSE unloads the tray and removes the icon"; else fail "tray survived WM_CLOSE"; fi
else
  fail "third tray: no icon"
fi

# --- UAC off: the main program starts at once ----------------------------------------
reg delete "$policy" /v EnableLUA /f /reg:32
launch ' ab'
starts_two() { [[ $(started_lines) -ge 2 ]]; }
if wait_until 60 starts_two && tr -d '\r' <"$started" | sed -n 2p | grep -q ' AB$'; then
  ok "without EnableLUA the main program starts at once: $(tr -d '\r' <"$started" | sed -n 2p)"
else
  fail "without EnableLUA: $(cat "$started" 2>/dev/null)"
fi
if wait_until 30 tray_gone && wait_until 10 tray_hidden; then ok "and the tray ends"; else fail "tray still running without EnableLUA"; fi

stop_trays
echo "screenshots in $artifacts"
((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
