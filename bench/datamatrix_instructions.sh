#!/usr/bin/env bash
# Instructions spent inside korvane::encode() (by name: the call that parses
# the message and encodes it) and inside zint's ZBarcode_Encode
# for Data Matrix on the values of bench/datamatrix_bench.cpp (callgrind,
# collection switched on only inside the encode call, symbols bound at
# start-up). Usage: bench/datamatrix_instructions.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target korvane_static >/dev/null
includes="-I$root/include -I$build/korvane/include"
g++ -std=c++17 -O2 $includes "$root/bench/encode_once.cpp" "$build/korvane/libkorvane.a" -lpng16 -lz -lfreetype \
    -o "$work/korvane_once"
cc -O2 "$root/bench/zint_encode_once.c" -lzint -o "$work/zint_once"

# Values of the same kinds as bench/datamatrix_bench.cpp's (the random ones
# from python's generator, so they are not byte for byte the same).
printf 'https://www.example.com/catalogue/item?id=123456&lang=en-GB' > "$work/url59.txt"
python3 - "$work" <<'PY'
import random, sys
w = sys.argv[1]
random.seed(1914)
open(f"{w}/bytes1000.bin", "wb").write(bytes(random.getrandbits(8) for _ in range(1000)))
words = ["Order", "no.", "4711", "shipped", "to", "Berlin", "on", "2024-05-17;", "weight", "12.5kg",
         "(fragile)", "contact:", "info@example.com", "REF", "X-99"]
random.seed(1789)
s = ""
while len(s) < 1000:
    s += random.choice(words) + " "
open(f"{w}/mixed1000.txt", "w").write(s[:1000])
PY

count() {
    local fn="$1"; shift
    LD_BIND_NOW=1 valgrind --tool=callgrind --callgrind-out-file="$work/out" --collect-atstart=no --toggle-collect="$fn" "$@" \
        >/dev/null 2>&1
    callgrind_annotate "$work/out" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }'
}

printf '%-32s %12s %12s %6s\n' "value" "korvane" "zint" "ratio"
for row in "59-character URL|url59.txt" "1,000 random bytes|bytes1000.bin" "1,000 characters of mixed text|mixed1000.txt"; do
    label="${row%%|*}"
    file="$work/${row##*|}"
    k=$(count 'korvane::encode(std::basic_string_view*' "$work/korvane_once" datamatrix -f "$file")
    z=$(count 'ZBarcode_Encode' "$work/zint_once" 71 -f "$file")
    printf '%-32s %12s %12s %6.2f\n' "$label" "$k" "$z" "$(echo "$k / $z" | bc -l)"
done
