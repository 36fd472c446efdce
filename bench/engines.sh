#!/usr/bin/env bash
# Process figures of the engines: callgrind instruction counts and hyperfine
# times of whole runs of aztec and barlane, next to a static program that only
# writes 1 KB (bench/trivial_write.cpp).
#
#   bench/engines.sh              build (Release, in $BUILD, default build/) and measure
#   RUNS=3000 bench/engines.sh    more hyperfine runs (default 1000)
#   BENCHMARKS=1 bench/engines.sh also run the Google Benchmark programs
#
# Needs valgrind and hyperfine (Debian packages of the same names).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${BUILD:-build}
runs=${RUNS:-1000}

for tool in valgrind callgrind_annotate hyperfine perl; do
  command -v "$tool" >/dev/null || { echo "engines.sh: $tool is missing" >&2; exit 1; }
done

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBARCODE_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j2 --target aztec barlane trivial_write aztec_bench linear_bench >/dev/null
aztec=$root/$build/aztec/frontend/aztec
barlane=$root/$build/linear/frontend/barlane
trivial=$root/$build/bench/trivial_write

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# 1,914 bytes from a fixed generator: the largest symbol (151 x 151) at level 23.
perl -e '$x = 12345; for (1..1914) { $x = ($x * 1103515245 + 12345) & 0x7fffffff; print chr(($x >> 16) & 255) }' >data.bin

# Total instructions of one run, as callgrind counts them.
instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
# Instructions of one function and all it calls, in one run.
inclusive() {
  local function=$1
  shift
  valgrind --tool=callgrind --callgrind-out-file=profile.out "$@" >/dev/null 2>&1
  callgrind_annotate --inclusive=yes profile.out 2>/dev/null | grep -F "$function" | head -1 |
    awk '{ gsub(",", "", $1); print $1 }'
}

aztec_run=("$aztec" -encoding 1 -dataFile data.bin -file aztec.bmp)
code128_run=("$barlane" -type 13 -code ABC-abc-0123456789xy -file code128.emf)
ean13_run=("$barlane" -type 10 -code 590123412345 -file ean13.emf)

echo "== callgrind: instructions of the whole process"
printf '%-44s %10s\n' "trivial_write (1 KB)" "$(instructions "$trivial" trivial.out)"
printf '%-44s %10s\n' "aztec -encoding 1, 1,914 bytes (151x151)" "$(instructions "${aztec_run[@]}")"
printf '%-44s %10s\n' "barlane Code 128 ABC-abc-0123456789xy" "$(instructions "${code128_run[@]}")"
printf '%-44s %10s\n' "barlane EAN-13 590123412345" "$(instructions "${ean13_run[@]}")"
echo "== callgrind: instructions of the encode alone"
printf '%-44s %10s\n' "Code 128: LinearSymbol::encodeCode128" "$(inclusive 'LinearSymbol::encodeCode128()' "${code128_run[@]}")"
printf '%-44s %10s\n' "EAN-13: LinearSymbol::encodeEan13" "$(inclusive 'LinearSymbol::encodeEan13()' "${ean13_run[@]}")"
printf '%-44s %10s\n' "aztec: Aztec::paint" "$(inclusive 'Aztec::paint()' "${aztec_run[@]}")"
printf '%-44s %10s\n' "aztec: bitmapfile::write" "$(inclusive 'bitmapfile::write(' "${aztec_run[@]}")"

# The floor of the aztec run: its heap (about 180 KB at most, most of it the
# 151 x 151 int matrix and the 68,910-byte file image) touched and its file
# written, with no computing.
echo "== hyperfine: median times of $runs runs (ms)"
hyperfine -N --warmup 100 --runs "$runs" --export-json times.json \
  "$trivial trivial.out" "${aztec_run[*]}" "$trivial floor.out 180 68910" "${code128_run[*]}" >/dev/null 2>&1
medians=($(grep -o '"median": *[0-9.e+-]*' times.json | sed 's/.*: *//'))
ms() { awk -v s="$1" 'BEGIN { printf "%.3f", s * 1000 }'; }
over() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.3f", (a - b) * 1000 }'; }
row() { printf '%-44s %8s  (%s over trivial)\n' "$1" "$(ms "$2")" "$(over "$2" "${medians[0]}")"; }
printf '%-44s %8s\n' "trivial_write (1 KB)" "$(ms "${medians[0]}")"
row "aztec -encoding 1, 1,914 bytes" "${medians[1]}"
row "trivial_write, 180 KB touched, 68,910 B" "${medians[2]}"
row "barlane Code 128" "${medians[3]}"

if [ "${BENCHMARKS:-0}" = 1 ]; then
  echo "== Google Benchmark"
  "$root/$build/bench/aztec_bench"
  "$root/$build/bench/linear_bench"
fi
