#!/usr/bin/env bash
# Sets the LZW coder against Debian's ncompress (compress -b 13 / compress -d) on the inputs of
# bench_lzw: a 2 MB language file and a 10 KB device item, and on a 20 MB text (the language
# file ten times over). Debian's `uncompress` is gzip's wrapper script, not ncompress, so the
# decoder is called as `compress -d`.
#
# - Language file: both run as programs, file in and file out (kalydor-cli lzw against
#   compress/uncompress), RUNS times; the start-up (the same command on an empty file) is
#   measured and taken off.
# - Whole process: CPU time (user + system) and peak memory of one run of each program on the
#   2 MB and the 20 MB text, the best of RUNS, measured by GNU time.
# - Device item: a program start costs more than coding 10 KB, so ncompress codes 500 copies
#   (separate files) in one run, start-up taken off; ours is bench_lzw's in-process figure.
#
#   bench/compare-ncompress.sh [BUILD_DIR] [RUNS]      (build/release and 20 by default)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
runs=${2:-20}
copies=500
bench="$build/bin/bench_lzw"
cli="$build/bin/kalydor-cli"
for tool in "$bench" "$cli" compress /usr/bin/time; do
  if ! command -v "$tool" >/dev/null; then
    echo "missing $tool (build the release preset; install ncompress and time)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --dump-inputs "$work"
: >"$work/empty"

# Seconds for `count` runs of a command.
seconds() {
  local count=$1 start end
  shift
  start=$(date +%s.%N)
  for ((i = 0; i < count; i++)); do
    "$@"
  done
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }'
}

# MB/s for `bytes` expanded bytes coded in `total` seconds, less `startup` seconds.
rate() {
  awk -v total="$1" -v startup="$2" -v bytes="$3" \
    'BEGIN { t = total - startup; if (t <= 0) print "n/a"; else printf "%.1f", bytes / t / 1e6 }'
}

# Our speed as a multiple of ncompress's.
speedup() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (a + 0 > 0 && b + 0 > 0) printf "%.2fx", a / b; else print "n/a" }'
}

ratio() {
  awk -v c="$(stat -c %s "$1")" -v b="$(stat -c %s "$2")" 'BEGIN { printf "%.3f", c / b }'
}

# compress exits with 2 when the output is not smaller than the input (an empty file).
ncompress_encode() { compress -b 13 -c "$@" || [ $? -eq 2 ]; }
ours_encode() { "$cli" lzw encode "$1" "$2"; }
ours_decode() { "$cli" lzw decode "$1" "$2"; }
nc_encode() { ncompress_encode <"$1" >"$2"; }
nc_decode() { compress -d -c <"$1" >"$2"; }

row() { printf '%-22s %-10s %8s %12s %12s\n' "$@"; }
row input coder ratio "encode MB/s" "decode MB/s"

# The language file, program against program.
file="$work/language-file.xml"
bytes=$(($(stat -c %s "$file") * runs))
declare -A encode decode
for coder in ours nc; do
  ${coder}_encode "$file" "$file.$coder"
  ${coder}_encode "$work/empty" "$work/empty.$coder"
  ${coder}_decode "$file.$coder" "$work/back"
  cmp -s "$file" "$work/back" || { echo "$coder does not give the language file back" >&2; exit 1; }
  encode[$coder]=$(rate "$(seconds "$runs" ${coder}_encode "$file" "$work/scratch")" \
    "$(seconds "$runs" ${coder}_encode "$work/empty" "$work/scratch")" "$bytes")
  decode[$coder]=$(rate "$(seconds "$runs" ${coder}_decode "$file.$coder" "$work/scratch")" \
    "$(seconds "$runs" ${coder}_decode "$work/empty.$coder" "$work/scratch")" "$bytes")
done
row language-file.xml ours "$(ratio "$file.ours" "$file")" "${encode[ours]}" "${decode[ours]}"
row language-file.xml ncompress "$(ratio "$file.nc" "$file")" "${encode[nc]}" "${decode[nc]}"
row language-file.xml ours/ncompress "" "$(speedup "${encode[ours]}" "${encode[nc]}")" \
  "$(speedup "${decode[ours]}" "${decode[nc]}")"

# Whole processes: the best CPU seconds (user + system) and the peak memory of RUNS runs.
cpu_and_memory() {
  local best="" peak=0 line cpu rss
  for ((i = 0; i < runs; i++)); do
    line=$(/usr/bin/time -f "%U %S %M" "$@" 2>&1 >/dev/null | tail -n 1)
    cpu=$(awk -v l="$line" 'BEGIN { split(l, f, " "); printf "%.3f", f[1] + f[2] }')
    rss=$(awk -v l="$line" 'BEGIN { split(l, f, " "); print f[3] }')
    if [ -z "$best" ] || awk -v a="$cpu" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$cpu; fi
    if [ "$rss" -gt "$peak" ]; then peak=$rss; fi
  done
  echo "$best $peak"
}
big="$work/text-20MB.xml"
for ((n = 0; n < 10; n++)); do cat "$file"; done >"$big"
echo
printf '%-16s %-10s %14s %14s %14s %14s\n' input coder "encode CPU s" "encode peak kB" \
  "decode CPU s" "decode peak kB"
for input in "$file" "$big"; do
  for coder in ours nc; do
    ${coder}_encode "$input" "$input.$coder"
    read -r ec em < <(cpu_and_memory bash -c "$(declare -f ${coder}_encode ncompress_encode); \
      cli='$cli'; ${coder}_encode '$input' '$work/scratch'")
    read -r dc dm < <(cpu_and_memory bash -c "$(declare -f ${coder}_decode); cli='$cli'; \
      ${coder}_decode '$input.$coder' '$work/scratch'")
    printf '%-16s %-10s %14s %14s %14s %14s\n' "$(basename "$input")" "$coder" "$ec" "$em" "$dc" "$dm"
  done
done
echo "(CPU and peak memory include the bash that starts the program, the same for both.)"
echo

# The device item: ours in process (bench_lzw), ncompress on many copies in one run.
item="$work/device-record.bin"
mkdir "$work/items" "$work/coded"
for ((n = 0; n < copies; n++)); do
  cp "$item" "$work/items/$n"
  nc_encode "$item" "$work/coded/$n.Z"
done
ours_encode "$item" "$item.ours"
nc_encode "$item" "$item.nc"
bytes=$(($(stat -c %s "$item") * copies))
nc_encode_items() { ncompress_encode "$work"/items/* >/dev/null; }
nc_decode_items() { compress -d -c "$work"/coded/* >/dev/null; }
nc_encode_empty() { ncompress_encode "$work/empty" >/dev/null; }
nc_decode_empty() { compress -d -c "$work/empty.nc" >/dev/null; }
ncEncode=$(rate "$(seconds 1 nc_encode_items)" "$(seconds 1 nc_encode_empty)" "$bytes")
ncDecode=$(rate "$(seconds 1 nc_decode_items)" "$(seconds 1 nc_decode_empty)" "$bytes")
read -r oursEncode oursDecode < <("$bench" --benchmark_filter=DeviceRecord \
  --benchmark_format=csv --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  2>/dev/null | awk -F, '/_median/ { v[++n] = sprintf("%.1f", $6 / 1e6) } END { print v[1], v[2] }')
row device-record.bin "ours (1)" "$(ratio "$item.ours" "$item")" "$oursEncode" "$oursDecode"
row device-record.bin ncompress "$(ratio "$item.nc" "$item")" "$ncEncode" "$ncDecode"
row device-record.bin ours/ncompress "" "$(speedup "$oursEncode" "$ncEncode")" \
  "$(speedup "$oursDecode" "$ncDecode")"

echo
echo "ratio: coded size / expanded size; MB/s of expanded bytes, program start-up taken off."
echo "(1) in process, from bench_lzw; ncompress: $copies copies in one run, file I/O included."
