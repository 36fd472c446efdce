#!/usr/bin/env bash
# The korvane command beside zint, measured with hyperfine on the same values:
#   1. 10,000 EAN-13 as SVG files, and as PNG files;
#   2. 10,000 Code 128 of 20 characters as SVG files;
#   3. 10,000 EAN-13 on 40-label A4 PDF sheets (korvane only: zint has no sheets);
#   4. one symbol per process, beside a trivial static program that writes 1 KB.
# Usage: bench/cli_batch.sh [BUILD_DIR]   (default build; korvane must be built)
# RUNS (default 10) sets hyperfine's runs; BENCH_DIR (default BUILD_DIR/bench-cli)
# where the files are written: creating 10,000 files costs the file system more
# than making their symbols, so BENCH_DIR=/dev/shm/korvane-bench measures the
# programs rather than the disk. Results go to standard output as Markdown
# tables and to BENCH_DIR/*.md.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
korvane="$build/cli/korvane"
runs=${RUNS:-10}
[ -x "$korvane" ] || { echo "build korvane first: cmake --build $build --target korvane" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing (scripts/install-deps.sh dev installs it)" >&2; exit 1; }
command -v zint >/dev/null || { echo "zint is missing (scripts/install-deps.sh dev installs it)" >&2; exit 1; }

work="${BENCH_DIR:-$build/bench-cli}"
rm -rf "$work"
mkdir -p "$work/out"
cd "$work"

# Values: EAN-13 without their check digit, Code 128 of 20 mixed characters.
awk 'BEGIN { for (i = 0; i < 10000; i++) printf "590%09d\n", i * 7919 % 1000000000 }' >ean13.txt
awk 'BEGIN { srand(13); for (i = 0; i < 10000; i++) { s = sprintf("KV-%06d-", i);
       for (k = 0; k < 10; k++) s = s sprintf("%c", 65 + int(rand() * 26)); print s } }' >code128.txt

# A trivial static program that writes 1 KB: the floor of any one-symbol run.
printf '%s\n' '#include <stdio.h>' 'int main(void) { static char b[1024]; for (int i = 0; i < 1024; ++i) b[i] = (char)(33 + i % 90);' \
  '  FILE* f = fopen("trivial.out", "wb"); if (!f) return 1; fwrite(b, 1, sizeof b, f); return fclose(f) != 0; }' >trivial.c
cc -O2 -static -o trivial trivial.c

fresh='rm -rf out && mkdir out'
bench() {  # name, then commands
    local name=$1
    shift
    hyperfine --warmup 1 --runs "$runs" --prepare "$fresh" --export-markdown "$name.md" --export-json "$name.json" \
      "$@" >/dev/null
    echo "### $name"
    cat "$name.md"
    cpu "$name.json"
    echo
}
# Processor time beside the wall-clock time: on a busy machine the wall clock
# includes the waits for a core, the user and system times do not.
cpu() {
    python3 - "$1" <<'PY'
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print(f"  {r['command']}: wall {r['mean']:.3f} s, user {r['user']:.3f} s, system {r['system']:.3f} s")
PY
}

bench ean13-svg \
  -n korvane "$korvane -b ean13 --batch ean13.txt -o out/{n:05}.svg" \
  -n zint "zint -b 13 --batch --filetype=svg -i ean13.txt -o out/~~~~~.svg"
bench ean13-png \
  -n korvane "$korvane -b ean13 --batch ean13.txt -o out/{n:05}.png" \
  -n zint "zint -b 13 --batch --filetype=png -i ean13.txt -o out/~~~~~.png"
bench code128-svg \
  -n korvane "$korvane -b code128 --batch code128.txt -o out/{n:05}.svg" \
  -n zint "zint -b 20 --batch --filetype=svg -i code128.txt -o out/~~~~~.svg"
bench ean13-sheets \
  -n korvane "$korvane -b ean13 --height 15mm --batch ean13.txt --sheet A4 --grid 4x10 -o out/sheets.pdf"
hyperfine --warmup 20 --runs $((runs * 30)) -N --export-markdown one-symbol.md \
  -n trivial "./trivial" \
  -n korvane "$korvane -b ean13 -o one.svg 590123412345" \
  -n zint "zint -b 13 --filetype=svg -o one-zint.svg -d 590123412345" >/dev/null
echo "### one-symbol"
cat one-symbol.md
# Instructions, which no other load on the machine changes.
if command -v valgrind >/dev/null; then
  for c in "./trivial" "$korvane -b ean13 -o one.svg 590123412345" "zint -b 13 --filetype=svg -o one-zint.svg -d 590123412345"; do
    valgrind --tool=callgrind --callgrind-out-file=callgrind.out $c >/dev/null 2>callgrind.txt
    echo "  $(grep -o 'Collected : [0-9]*' callgrind.txt | tr -dc '0-9') instructions: ${c##*/}"
  done
fi
