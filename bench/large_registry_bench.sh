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

# Median wall seconds, CPU seconds, peak MB and minor page faults of
# `wendlow-host --registry FILE list`. On a machine shared with other work the CPU time is the
# steadier figure.
measure_list() {
  local times=() cpus=() peaks=() faults=() t user system m f
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %U %S %M %R" -o "$work/time.txt" "$host" --registry "$1" list >/dev/null
    read -r t user system m f <"$work/time.txt"
    times+=("$t")
    cpus+=("$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')")
    peaks+=("$((m / 1024))")
    faults+=("$f")
  done
  echo "$(printf '%s\n' "${times[@]}" | median) s (CPU $(printf '%s\n' "${cpus[@]}" | median) s), $(printf '%s\n' "${peaks[@]}" | median) MB, $(printf '%s\n' "${faults[@]}" | median) faults"
}

# The peak of the heap (the anonymous memory the listing allocates; the mapped file is not in
# it), in MB, from valgrind's massif.
measure_heap() {
  valgrind --tool=massif --massif-out-file="$work/massif.out" "$host" --registry "$1" list >/dev/null 2>&1
  awk -F= '/^mem_heap_B=/ { if ($2 > peak) peak = $2 } END { printf "%.1f MB", peak / 1048576 }' "$work/massif.out"
}

# The listing and iconv's decoding taken in turns, `runs` of each: the medians, and the
# listing's time as a multiple of each. iconv decodes to nowhere, and (as the earlier lower
# bound was taken) into `wc -l`.
measure_pairs() {
  local ours=() alone=() counted=() a b c
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e" -o "$work/time.txt" "$host" --registry "$1" list >/dev/null
    ours+=("$(cat "$work/time.txt")")
    /usr/bin/time -f "%e" -o "$work/time.txt" iconv -f UTF-16LE -t UTF-8 "$1" >/dev/null
    alone+=("$(cat "$work/time.txt")")
    /usr/bin/time -f "%e" -o "$work/time.txt" sh -c 'iconv -f UTF-16LE -t UTF-8 "$1" | wc -l' -- "$1" >/dev/null
    counted+=("$(cat "$work/time.txt")")
  done
  a=$(printf '%s\n' "${ours[@]}" | median)
  b=$(printf '%s\n' "${alone[@]}" | median)
  c=$(printf '%s\n' "${counted[@]}" | median)
  echo "list $a s; iconv $b s ($(awk -v x="$a" -v y="$b" 'BEGIN { printf "%.2f", x / y }') times); iconv | wc -l $c s ($(awk -v x="$a" -v y="$c" 'BEGIN { printf "%.2f", x / y }') times)"
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
largest=$work/export-200000.reg
echo "118 MB export, in turns with iconv: $(measure_pairs "$largest"); heap peak $(measure_heap "$largest")"

# The hive: the other keys grow until it passes 200 MB; the listed entries stay as in the
# 118 MB export.
hive=$("$here/make_large_hive.sh" "$build" "$work")
size=$(($(stat -c %s "$hive") / 1000000))
echo "hive, 450000 other keys | $size MB | - | $(measure_list "$hive") | $(measure_hivex "$hive"); heap peak $(measure_heap "$hive")"

# What the host's heap in 2 MB pages pays: the largest export and the hive with 4 KB pages only.
echo "4 KB pages only: 118 MB export $(WENDLOW_HOST_HUGE_PAGES=0 measure_list "$largest"); hive $(WENDLOW_HOST_HUGE_PAGES=0 measure_list "$hive")"
