#!/bin/bash
# Runs the real HXReg.exe in a Wine prefix and checks the world afterwards: the boot drive's
# autoexec.bat without the scanreg line, the RunOnce value gone, no temporary file left.
# Usage: hxreg_end_to_end.sh <HXReg.exe>; WINEPREFIX, QC_WINE come from the test harness.
set -u
exe=$1
wine=${QC_WINE:-wine}
drive_c=$WINEPREFIX/drive_c
batch=$drive_c/autoexec.bat
key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce'
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

temp_files() { find "$drive_c" -iname 'tmp*.tmp' 2>/dev/null | sort; }

# The program is 32-bit: look at the registry through its eyes.
set_run_once() { "$wine" reg add "$key" /v SelkorCompactor /d x /f /reg:32 >/dev/null 2>&1; }
run_once_present() { "$wine" reg query "$key" /v SelkorCompactor /reg:32 2>/dev/null | tr -d '\r' | grep -q SelkorCompactor; }

run_hxreg() {
  "$wine" "$exe" >/tmp/hxreg-e2e-out.$$ 2>&1
  local output
  output=$(grep -v '^$' /tmp/hxreg-e2e-out.$$ | grep -vi 'fixme\|err:' || true)
  rm -f /tmp/hxreg-e2e-out.$$
  [ -z "$output" ] || fail "the program printed: $output"
}

# A fresh session empties RunOnce by itself: have the session running before setting it.
"$wine" cmd /c exit >/dev/null 2>&1
had_batch=0
[ -e "$batch" ] && had_batch=1 && cp -p "$batch" "$batch.e2e-saved"
restore() {
  rm -f "$batch"
  if [ $had_batch = 1 ]; then mv "$batch.e2e-saved" "$batch"; fi
}
trap restore EXIT
temp_before=$(temp_files)

echo "== batch file with the scanreg line"
printf '@ECHO OFF\r\nC:\\WINDOWS\\command\\scanreg.exe /opt /fix\r\nSET BLASTER=A220\r\nC:\\WINDOWS\\COMMAND\\SCANREG.EXE /OPT /FIX\r\ncaf\xe9\r\nrem last C:\\WINDOWS\\command\\scanreg.exe /opt /fix' >"$batch"
set_run_once
run_once_present || fail "could not set the RunOnce value"
run_hxreg
expected=$(printf '@ECHO OFF\r\nSET BLASTER=A220\r\nC:\\WINDOWS\\COMMAND\\SCANREG.EXE /OPT /FIX\r\ncaf\xe9\r\n' | od -An -tx1)
actual=$(od -An -tx1 "$batch")
[ "$expected" = "$actual" ] || fail "autoexec.bat bytes:$actual, expected:$expected"
run_once_present && fail "the RunOnce value is still there"

echo "== no batch file"
rm -f "$batch"
set_run_once
run_hxreg
[ -e "$batch" ] && fail "a batch file appeared"
run_once_present && fail "the RunOnce value is still there without a batch file"

echo "== RunOnce value already absent"
printf 'a\rb\nc' >"$batch"
run_hxreg
[ "$(od -An -tx1 "$batch")" = "$(printf 'a\r\nb\r\nc\r\n' | od -An -tx1)" ] || fail "batch file not rewritten with CR LF"

# A rename cannot leave its volume: with the temporary folder on a drive of another file
# system the copy still has to replace the batch file. Only where such a file system exists.
if [ -d /dev/shm ] && [ "$(stat -c %d /dev/shm)" != "$(stat -c %d "$drive_c")" ] && [ ! -e "$WINEPREFIX/dosdevices/q:" ]; then
  echo "== temporary folder on another volume"
  other=$(mktemp -d /dev/shm/hxreg-e2e.XXXXXX)
  mkdir "$other/TEMP"
  ln -s "$other" "$WINEPREFIX/dosdevices/q:"
  printf 'x\r\nC:\\WINDOWS\\command\\scanreg.exe /opt /fix\r\ny\r\n' >"$batch"
  set_run_once
  exe_windows=$("$wine" winepath -w "$exe" 2>/dev/null | tr -d '\r')
  "$wine" cmd /c "set TEMP=Q:\\TEMP&& set TMP=Q:\\TEMP&& $exe_windows" >/dev/null 2>&1
  [ "$(od -An -tx1 "$batch")" = "$(printf 'x\r\ny\r\n' | od -An -tx1)" ] || fail "batch file not cleaned with the temporary folder on another volume"
  [ -z "$(ls -A "$other/TEMP")" ] || fail "temporary files left on the other volume: $(ls -A "$other/TEMP")"
  run_once_present && fail "the RunOnce value is still there (other volume)"
  rm -f "$WINEPREFIX/dosdevices/q:"
  rm -rf "$other"
fi

temp_after=$(temp_files)
[ "$temp_before" = "$temp_after" ] || fail "temporary files left: $(comm -13 <(echo "$temp_before") <(echo "$temp_after"))"

if [ $failures -eq 0 ]; then
  echo "PASS"
  exit 0
fi
exit 1
