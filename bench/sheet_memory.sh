#!/usr/bin/env bash
# Label sheets at scale: the peak memory (/usr/bin/time -v) and the time
# (hyperfine) of COUNT EAN-13 labels (default 100,000) on A4 3x8 sheets, as
# one PDF and as one SVG file per page. Pages are written as they fill, so
# the peak should stay flat as COUNT grows.
# Usage: bench/sheet_memory.sh [BUILD_DIR] [BASELINE_KORVANE]
#   BASELINE_KORVANE: another korvane binary measured beside this one
#   (a build of an earlier commit, say).
# COUNT, RUNS (default 5) and BENCH_DIR (default BUILD_DIR/bench-sheets; a
# tmpfs such as /dev/shm measures the program rather than the disk).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
baseline="${2:-}"
korvane="$build/cli/korvane"
count=${COUNT:-100000}
runs=${RUNS:-5}
[ -x "$korvane" ] || { echo "build korvane first: cmake --build $build --target korvane" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing (scripts/install-deps.sh dev installs it)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package time)" >&2; exit 1; }

work="${BENCH_DIR:-$build/bench-sheets}"
rm -rf "$work"
mkdir -p "$work/out"
cd "$work"
awk -v n="$count" 'BEGIN { for (i = 0; i < n; i++) printf "590%09d\n", i * 7919 % 1000000000 }' >ean13.txt

programs=("$korvane")
[ -n "$baseline" ] && programs+=("$baseline")
echo "### $count EAN-13 labels on A4 3x8 sheets"
echo
echo "| program | output | peak memory | wall time |"
echo "|---|---|---|---|"
for program in "${programs[@]}"; do
    for output in out/sheet.pdf out/sheet.svg; do
        rm -rf out && mkdir out
        /usr/bin/time -v "$program" -b ean13 --batch ean13.txt --sheet A4 --grid 3x8 -o "$output" 2>time.txt >/dev/null ||
            { tail -3 time.txt >&2; exit 1; }
        peak=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f MB", $2 / 1024 }' time.txt)
        wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' time.txt)
        echo "| $program | ${output##*.} | $peak | $wall |"
    done
done
echo
args=()
names=(korvane baseline)
for i in "${!programs[@]}"; do
    args+=(-n "${names[$i]} pdf" "${programs[$i]} -b ean13 --batch ean13.txt --sheet A4 --grid 3x8 -o out/sheet.pdf")
done
hyperfine --warmup 1 --runs "$runs" --prepare 'rm -rf out && mkdir out' --export-markdown sheets.md \
  --export-json sheets.json "${args[@]}" >/dev/null
cat sheets.md
# Processor time beside the wall clock, which on a busy machine includes the waits for a core.
python3 - sheets.json <<'PY'
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print(f"  {r['command']}: wall {r['mean']:.3f} s, user {r['user']:.3f} s, system {r['system']:.3f} s")
PY
