#!/bin/bash
# The sample machine's generated SOFTWARE hive, read back with Debian's hivexsh: both
# Uninstall views and App Paths hold exactly the export's subkeys, and a key with a
# non-ASCII name keeps its values.
# Usage: sample_hive_check.sh <sample.hive> <sample.reg>
set -u
hive=$1
sample=$2

# The subkey names of one key (below HKLM\SOFTWARE) in the export, sorted.
export_names() {
  iconv -f UTF-16LE -t UTF-8 "$sample" | tr -d '\r' |
    awk -v prefix="[HKEY_LOCAL_MACHINE\\SOFTWARE\\$1\\" '
      index($0, prefix) == 1 && substr($0, length($0)) == "]" {
        name = substr($0, length(prefix) + 1, length($0) - length(prefix) - 1)
        if (index(name, "\\") == 0) print name
      }' | LC_ALL=C sort
}

hive_names() { printf 'cd \\%s\nls\n' "$1" | hivexsh "$hive" | LC_ALL=C sort; }

status=0
for key in 'Microsoft\Windows\CurrentVersion\Uninstall' 'WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall' \
           'Microsoft\Windows\CurrentVersion\App Paths'; do
  expected=$(export_names "$key")
  if [ -z "$expected" ] || ! diff <(echo "$expected") <(hive_names "$key"); then
    echo "FAIL: the subkeys of $key differ"
    status=1
  fi
done

values=$(printf 'cd \\Microsoft\\Windows\\CurrentVersion\\Uninstall\\墨香笔记_is1\nlsval\n' | hivexsh "$hive")
for line in '"DisplayName"="墨香笔记 (Moxiang Notes)"' '"Publisher"="青岚软件工作室"' '"EstimatedSize"=dword:0000898a'; do
  if ! grep -qxF "$line" <<<"$values"; then
    echo "FAIL: $line is not among the values: $values"
    status=1
  fi
done
[ $status = 0 ] && echo "PASS: the hive holds the export's keys and values"
exit $status
