#!/usr/bin/env bash
# What --grade costs a batch: 10,000 EAN-13 as SVG files with and without it,
# measured with hyperfine (the budget: at most three times the batch without).
# Usage: bench/grade_batch.sh [BUILD_DIR]   (default build; korvane must be built)
# RUNS (default 5) sets hyperfine's runs; BENCH_DIR (default /dev/shm/korvane-grade)
# where the files go; PRINTER (default ideal) the profile --grade is given.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
korvane="$build/cli/korvane"
runs=${RUNS:-5}
printer=${PRINTER:-ideal}
[ -x "$korvane" ] || { echo "build korvane first: cmake --build $build --target korvane" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing (scripts/install-deps.sh dev installs it)" >&2; exit 1; }

work="${BENCH_DIR:-/dev/shm/korvane-grade}"
rm -rf "$work"
mkdir -p "$work/out"
cd "$work"
awk 'BEGIN { for (i = 0; i < 10000; i++) printf "590%09d\n", i * 7919 % 1000000000 }' >ean13.txt

hyperfine --runs "$runs" --warmup 1 --prepare 'rm -rf out && mkdir out' --export-markdown grade.md \
  -n "without --grade" "$korvane -b ean13 --batch ean13.txt -o 'out/{n}.svg'" \
  -n "with grade $printer" "$korvane -b ean13 --batch ean13.txt -o 'out/{n}.svg' --grade $printer"
cat grade.md
