#!/bin/bash
# A Wine prefix read as a machine, held to Wine itself: entries are added with Wine's own
# reg.exe in both registry views (names and values beyond ASCII among them), the wineserver
# writes system.reg, Wine's regedit exports HKLM\Software, and the host's listing of the
# prefix folder must equal its listing of the export, entry for entry. The same for an entry
# of the prefix's user (HKCU, user.reg), listed with --users as Wine's export of it shows it.
# A 64-bit prefix always; a 32-bit one too where this machine runs 32-bit code.
# Usage: wine_prefix_listing.sh <wendlow-host>
set -u
host=$1
wine64=/usr/lib/wine/wine64
if [[ ! -x $wine64 ]] || ! command -v wineserver >/dev/null; then
  echo "SKIP: Wine is not installed"
  exit 77
fi

work=$(mktemp -d)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
cleanup() {
  for prefix in "$work"/pfx*; do [[ -d $prefix ]] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; done
  rm -rf "$work"
  return 0
}
trap cleanup EXIT
failures=0
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths'

# check_prefix <label> <wine> <win32|win64> <views...>: makes the prefix, fills it, compares
# the listings.
check_prefix() {
  local label=$1 wine=$2 arch=$3
  shift 3
  local prefix=$work/pfx-$label
  export WINEPREFIX=$prefix WINEARCH=$arch
  if ! timeout 300 "$wine" wineboot -i >"$work/boot-$label.log" 2>&1; then
    echo "FAIL: $label: wineboot: $(tail -n 3 "$work/boot-$label.log")"
    failures=$((failures + 1))
    return
  fi
  local view
  for view in "$@"; do
    "$wine" reg add "$uninstall\\Ärger Tool $view" /v DisplayName /d "Ärger \"Werkzeug\" 墨 $view" /f /reg:"$view"
    "$wine" reg add "$uninstall\\Ärger Tool $view" /v DisplayVersion /d "1.$view" /f /reg:"$view"
    "$wine" reg add "$uninstall\\Ärger Tool $view" /v InstallLocation /d "C:\\Program Files\\Ä\\" /f /reg:"$view"
    "$wine" reg add "$uninstall\\plain-$view" /v Publisher /d "Plain" /f /reg:"$view"
    "$wine" reg add "$app_paths\\tool$view.exe" /ve /d "C:\\tool$view.exe" /f /reg:"$view"
  done >"$work/reg-$label.log" 2>&1
  "$wine" regedit /e "Z:$(echo "$work/export-$label.reg" | tr / '\\')" 'HKEY_LOCAL_MACHINE\Software' \
    >>"$work/reg-$label.log" 2>&1
  local user_uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  {
    "$wine" reg add "$user_uninstall\\Ärger Eigen" /v DisplayName /d "Ärger eigen 墨" /f
    "$wine" reg add "$user_uninstall\\Ärger Eigen" /v Publisher /d "Selbst" /f
    "$wine" regedit /e "Z:$(echo "$work/user-$label.reg" | tr / '\\')" 'HKEY_CURRENT_USER\Software'
  } >>"$work/reg-$label.log" 2>&1
  # The server writes the registry files when it ends.
  wineserver -w
  "$host" --quiet --registry "$prefix" list --json >"$work/prefix-$label.json" 2>"$work/prefix-$label.err"
  local prefix_status=$?
  "$host" --registry "$work/export-$label.reg" list --json >"$work/export-$label.json" 2>"$work/export-$label.err"
  local export_status=$?
  if ((prefix_status != 0 || export_status != 0)); then
    echo "FAIL: $label: listing: $(cat "$work/prefix-$label.err" "$work/export-$label.err")"
    failures=$((failures + 1))
  elif ! cmp -s "$work/prefix-$label.json" "$work/export-$label.json"; then
    echo "FAIL: $label: the prefix and the export list differently:"
    diff "$work/prefix-$label.json" "$work/export-$label.json" | head -n 20
    failures=$((failures + 1))
  elif [[ $(grep -c '"Key": "Ärger tool\|"Key": "plain-' "$work/prefix-$label.json") -ne $((2 * $#)) ]] ||
    ! grep -qF '"DisplayName": "Ärger \"Werkzeug\" 墨' "$work/prefix-$label.json"; then
    echo "FAIL: $label: the entries added are not listed: $(cat "$work/prefix-$label.json")"
    failures=$((failures + 1))
  else
    echo "ok: $label: the prefix lists as Wine's export, $(grep -c '"Key"' "$work/prefix-$label.json") entries"
  fi
  # The user's rows, without the user's columns, as the host lists Wine's export of them.
  iconv -f UTF-16LE -t UTF-8 "$work/user-$label.reg" |
    sed 's/^\[HKEY_CURRENT_USER\\Software/[HKEY_LOCAL_MACHINE\\SOFTWARE/' |
    iconv -f UTF-8 -t UTF-16LE >"$work/user-as-machine-$label.reg"
  "$host" --registry "$work/user-as-machine-$label.reg" list --json >"$work/user-export-$label.json" 2>&1
  "$host" --quiet --registry "$prefix" --users list --json 2>&1 | grep -v '"User": ""' |
    sed 's/"User": "[^"]*", "Sid": "[^"]*", //' >"$work/user-prefix-$label.json"
  if ! grep -qF '"DisplayName": "Ärger eigen 墨"' "$work/user-prefix-$label.json" ||
    ! cmp -s "$work/user-prefix-$label.json" "$work/user-export-$label.json"; then
    echo "FAIL: $label: the prefix's user lists differently from Wine's export of it:"
    diff "$work/user-prefix-$label.json" "$work/user-export-$label.json" | head -n 20
    failures=$((failures + 1))
  else
    echo "ok: $label: the prefix's user lists as Wine's export, $(grep -c '"Key"' "$work/user-prefix-$label.json") entries"
  fi
  local queries=()
  for view in "$@"; do queries+=(query "tool$view.exe"); done
  if ! "$host" --quiet --registry "$prefix" "${queries[@]}" >"$work/query-$label.txt" 2>&1; then
    echo "FAIL: $label: App Paths: $(cat "$work/query-$label.txt")"
    failures=$((failures + 1))
  fi
}

check_prefix 64-bit "$wine64" win64 64 32
if bash "$(dirname "$0")/../../scripts/ia32-probe.sh" >/dev/null; then
  check_prefix 32-bit wine win32 32
elif [[ ${QC_SKIP_WINDOWS_TESTS:-0} == 1 ]]; then
  echo "note: no 32-bit prefix: this machine runs no 32-bit code (QC_SKIP_WINDOWS_TESTS=1)"
else
  echo "FAIL: no 32-bit prefix: this machine runs no 32-bit code (scripts/setup.sh all sets that up)"
  failures=$((failures + 1))
fi
((failures == 0)) || exit 1
echo "all prefix checks passed"
