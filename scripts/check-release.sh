#!/usr/bin/env bash
# Checks what scripts/package.sh makes the way its receivers would use it:
#   both packages against SHA256SUMS;
#   the zip: its files and their checksums; the SDK header compiled as C and C++ with
#     warnings as errors; Wendlow.lib read back as Microsoft's short import format; the host
#     example built from the unpacked zip alone with each import library and run under Wine
#     against bin/Wendlow.dll;
#   the .deb: lintian; installed, run from PATH, its manual page rendered, removed without a
#     trace (only as root: it installs into this machine);
#   reproducibility: the Windows components built again from a copy of the sources in
#     another folder, later, give byte-identical binaries and zip.
# Run by scripts/test-all.sh after the presets have been built.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh all || [[ ${QC_SKIP_WINDOWS_TESTS:-0} == 1 ]]

failures=0
ok() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work=$(mktemp -d)
prefix=$work/wine/sdk
cleanup() {
  [[ -d $prefix ]] && WINEARCH=win32 scripts/wine-prefix.sh cleanup "$prefix" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
dist=$work/dist
scripts/package.sh "$dist" || { echo "FAIL: scripts/package.sh"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
zip=quorvel-utilities-14-components-$version-win32.zip
deb=wendlow-host_${version}_amd64.deb

if (cd "$dist" && sha256sum --quiet -c SHA256SUMS) && [[ $(wc -l <"$dist/SHA256SUMS") -eq 2 ]]; then
  ok "$zip and $deb match SHA256SUMS"
else
  fail "the packages do not match their SHA256SUMS"
fi

# --- the zip, unpacked --------------------------------------------------------------------
unpacked=$work/zip
mkdir -p "$unpacked" && unzip -q "$dist/$zip" -d "$unpacked"
expected_files='SHA256SUMS
bin/HXReg.exe
bin/HXTray.exe
bin/Wendlow.dll
docs/hosting-wendlow.md
docs/list_programs.c
sdk/Wendlow.def
sdk/include/wendlow.h
sdk/lib/Wendlow.lib
sdk/lib/libWendlow.dll.a'
files=$(cd "$unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ "$files" == "$expected_files" ]] && ok "the zip holds the expected files" ||
  fail "the zip holds: $(echo $files)"
if (cd "$unpacked" && sha256sum --quiet -c SHA256SUMS) &&
  [[ $(wc -l <"$unpacked/SHA256SUMS") -eq $(($(wc -l <<<"$expected_files") - 1)) ]]; then
  ok "every file in the zip matches its SHA256SUMS"
else
  fail "the zip's SHA256SUMS do not cover or match its files"
fi

mingw=i686-w64-mingw32-gcc-win32
sdk=$unpacked/sdk
for compiler in "$mingw -x c -std=c99" "$mingw -x c++ -std=c++17" "gcc -x c -std=c99" "g++ -x c++ -std=c++17"; do
  if echo '#include "wendlow.h"' | $compiler -Wall -Wextra -pedantic -Werror -fsyntax-only -I"$sdk/include" - 2>"$work/header.err"; then
    ok "wendlow.h compiles cleanly with $compiler"
  else
    fail "wendlow.h with $compiler: $(head -n 5 "$work/header.err")"
  fi
done

# Every export of the .def is a short import member that undecorates _Name@N to Name.
readobj=$(command -v llvm-readobj || command -v llvm-readobj-14)
if "$readobj" "$sdk/lib/Wendlow.lib" >"$work/lib.txt" 2>&1; then
  missing=$(awk '
    NR == FNR { if ($1 ~ /@[0-9]+$/) want[$1] = 1; next }
    /^File:/ { flush(); member = ""; type = ""; syms = "" }
    /Format: COFF-import-file/ { member = 1 }
    /Name type:/ { type = $3 }
    /Symbol:/ { syms = syms " " $2 }
    function flush(  n) { if (member && type == "undecorate") for (n in want) if (index(syms " ", " _" n " ") && index(syms " ", " __imp__" n " ")) found[n] = 1 }
    END { flush(); for (n in want) if (!(n in found)) print n }' "$sdk/Wendlow.def" "$work/lib.txt")
  [[ -z "$missing" ]] && ok "Wendlow.lib: each export an undecorating short import member" ||
    fail "Wendlow.lib lacks short import members for: $(echo $missing)"
else
  fail "llvm-readobj cannot read Wendlow.lib"
fi

host=$work/host
mkdir -p "$host"
cp "$unpacked/bin/Wendlow.dll" "$host/"
built=1
for lib in libWendlow.dll.a Wendlow.lib; do
  if ! $mingw -std=c99 -Wall -Wextra -pedantic -Werror "$unpacked/docs/list_programs.c" -I"$sdk/include" \
    "$sdk/lib/$lib" -loleaut32 -o "$host/list_${lib%%.*}.exe" 2>"$work/host.err"; then
    fail "the example host does not build with $lib: $(head -n 5 "$work/host.err")"
    built=0
  fi
done
((built)) && ok "the example host builds from the unpacked zip with either import library"
if ((built)) && ! scripts/ia32-probe.sh >/dev/null; then
  if [[ ${QC_SKIP_WINDOWS_TESTS:-0} == 1 ]]; then
    echo "WARNING: the example host was not run (QC_SKIP_WINDOWS_TESTS=1)"
  else
    fail "the example host cannot run: 32-bit x86 code does not run here"
  fi
elif ((built)); then
  export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  if scripts/wine-prefix.sh setup "$prefix" >"$work/prefix.log" 2>&1; then
    key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sdk Check Program'
    wine reg add "$key" /v DisplayName /d "SDK Check Program" /f >/dev/null 2>&1
    listing=$(cd "$host" && wine list_libWendlow.exe </dev/null 2>"$work/host-run.err" | tr -d '\r')
    grep -qxF "$(printf 'sdk check program\tSDK Check Program')" <<<"$listing" &&
      ok "the host linked with libWendlow.dll.a lists the installed program" ||
      fail "the host linked with libWendlow.dll.a listed: $listing $(head -n 5 "$work/host-run.err")"
    answers=$(cd "$host" && wine list_Wendlow.exe "sdk check program" "sdk*" "absent" </dev/null 2>>"$work/host-run.err" | tr -d '\r')
    expected_answers=$'sdk check program: yes\nsdk*: yes\nabsent: no'
    [[ "$answers" == "$expected_answers" ]] && ok "the host linked with Wendlow.lib answers as expected" ||
      fail "the host linked with Wendlow.lib answered: $answers"
    (cd "$host" && wine list_Wendlow.exe "sdk check program" </dev/null >/dev/null 2>&1)
    [[ $? -eq 0 ]] && ok "its exit status says all installed" || fail "its exit status for an installed program"
  else
    fail "no Wine prefix for the host: $(tail -n 5 "$work/prefix.log")"
  fi
fi

# --- the Debian package -------------------------------------------------------------------
if lintian --fail-on error "$dist/$deb" >"$work/lintian.txt" 2>&1; then
  ok "lintian finds no error in $deb ($(grep -c '^[A-Z]: ' "$work/lintian.txt") other tags)"
else
  fail "lintian: $(cat "$work/lintian.txt")"
fi
if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: installing $deb needs root"
elif dpkg -i "$dist/$deb" >"$work/dpkg.log" 2>&1; then
  installed=$(dpkg -L wendlow-host)
  if [[ "$(command -v wendlow-host)" == /usr/bin/wendlow-host ]] &&
    (cd "$work" && wendlow-host --registry "$root/samples/sample-machine.reg" list --json |
      cmp -s - "$root/samples/sample-machine.expected-list.json"); then
    ok "installed, wendlow-host from PATH lists the sample machine"
  else
    fail "installed, wendlow-host from PATH did not list the sample machine"
  fi
  (cd "$work" && wendlow-host list >/dev/null 2>"$work/default.err")
  [[ $? -eq 64 ]] && grep -q -- "--registry" "$work/default.err" && ok "installed, it asks for --registry" ||
    fail "installed, wendlow-host without --registry: $(cat "$work/default.err")"
  MANWIDTH=80 man -l /usr/share/man/man1/wendlow-host.1.gz 2>/dev/null | grep -Eq "wendlow-host +- +list +the +programs" &&
    ok "man -l renders its manual page" || fail "man -l does not render the manual page"
  dpkg -r wendlow-host >>"$work/dpkg.log" 2>&1
  left=$(while IFS= read -r path; do [[ -f "$path" ]] && echo "$path"; done <<<"$installed")
  if [[ -z "$left" ]] && ! dpkg -s wendlow-host >/dev/null 2>&1; then
    ok "dpkg -r leaves nothing behind"
  else
    fail "after dpkg -r: $left"
  fi
else
  fail "dpkg -i: $(cat "$work/dpkg.log")"
fi

# --- reproducibility ----------------------------------------------------------------------
again=$work/again
mkdir -p "$again/source"
tar -C "$root" --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -C "$again/source" -xf -
sqlite=$(ls "$root"/build/win32/_deps/sqlite/sqlite-autoconf-*.tar.gz 2>/dev/null | head -n 1)
if (cd "$again/source" &&
  TZ=UTC cmake -S . -B "$again/build" -G Ninja --toolchain cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQC_BUILD_TESTS=OFF -DQC_BUILD_BENCH=OFF ${sqlite:+-DQC_SQLITE_TARBALL="$sqlite"} &&
  cmake --build "$again/build" --target HXTray HXReg Wendlow wendlow_import_libraries &&
  cd "$again/build" && TZ=UTC cpack -B "$again/dist") >"$work/again.log" 2>&1; then
  differing=""
  mkdir -p "$again/zip" && unzip -q "$again/dist/$zip" -d "$again/zip"
  for file in $expected_files; do
    cmp -s "$unpacked/$file" "$again/zip/$file" || differing+=" $file"
  done
  cmp -s "$dist/$zip" "$again/dist/$zip" || differing+=" $zip"
  [[ -z "$differing" ]] && ok "built again elsewhere and later: binaries and zip byte-identical" ||
    fail "built again elsewhere, these differ:$differing"
else
  fail "the second build failed: $(tail -n 20 "$work/again.log")"
fi

((failures == 0)) || { echo "$failures release check(s) failed"; exit 1; }
echo "all release checks passed"
