#!/usr/bin/env bash
# `wendlow-host list` on large registry files made by make_large_export.py: exports from
# about 10 MB to 118 MB (every part scaled alike), and a SOFTWARE hive of at least 200 MB
# made from a larger export by make-hive. For each file the median wall time, CPU time
# and peak resident memory over the runs, and a lower bound: for the exports the time
# iconv takes just to decode them from UTF-16, for the hive the time libhivex alone takes
# to open it and read what the listing reads (bench/hivex_read_bench).
# Usage: bench/large_registry_bench.sh [BUILD_DIR [WORK_DIR [RUNS]]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/native}
work=${2:-/tmp/wendlow-large-registry}
runs=${3:-5}
host=$build/tools/wendlow-host
mkdir -p "$work"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Median wall seconds, CPU seconds and peak MB of `wendlow-host --registry FILE list`. On
# a machine shared with other work the CPU time is the steadier figure.
measure_list() {
  local times=() cpus=() peaks=() t user system m
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "$host" --registry "$1" list >/dev/null
    read -r t user system m <"$work/time.txt"
    times+=("$t")
    cpus+=("$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')")
    peaks+=("$((m / 1024))")
  done
  echo "$(printf '%s\n' "${times[@]}" | median) s (CPU $(printf '%s\n' "${cpus[@]}" | median) s), $(printf '%s\n' "${peaks[@]}" | median) MB"
}

# Median seconds of decoding the file with iconv alone.
measure_decode() {
  local times=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e" -o "$work/time.txt" iconv -f UTF-16LE -t UTF-8 "$1" >/dev/null
    times+=("$(cat "$work/time.txt")")
  done
  echo "$(printf '%s\n' "${times[@]}" | median) s"
}

# Median seconds of libhivex alone opening the hive and reading the listed entries.
measure_hivex() {
  local times=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e" -o "$work/time.txt" "$build/bench/hivex_read_bench" "$1" >/dev/null
    times+=("$(cat "$work/time.txt")")
  done
  echo "$(printf '%s\n' "${times[@]}" | median) s"
}

# make_export NAME OTHER_KEYS [UNINSTALL APP_PATHS]: by default the Uninstall entries (in
# each view) and App Paths scale along with the other keys, as in the 118 MB export.
make_export() {
  [ -f "$work/$1.reg" ] || python3 "$here/make_large_export.py" "$work/$1.reg" --other-keys "$2" \
    --uninstall "${3:-$(($2 / 20))}" --app-paths "${4:-$(($2 / 200))}" >/dev/null
}

echo "file | size | lines | list: wall (CPU), peak memory | lower bound"
for keys in 17000 50000 100000 200000; do
  make_export "export-$keys" "$keys"
  file=$work/export-$keys.reg
  size=$(($(stat -c %s "$file") / 1000000))
  lines=$(iconv -f UTF-16LE -t UTF-8 "$file" | wc -l)
  echo "export, $keys other keys | $size MB | $lines | $(measure_list "$file") | $(measure_decode "$file")"
done

# The hive: the other keys grow until it passes 200 MB; the listed entries stay as in the
# 118 MB export.
hive=$("$here/make_large_hive.sh" "$build" "$work")
size=$(($(stat -c %s "$hive") / 1000000))
echo "hive, 450000 other keys | $size MB | - | $(measure_list "$hive") | $(measure_hivex "$hive")"
