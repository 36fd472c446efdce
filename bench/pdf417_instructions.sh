#!/usr/bin/env bash
# Instructions spent inside korvane::encode() for PDF417 and inside zint's
# ZBarcode_Encode (symbology 55) for the same values, under callgrind with
# collection on only inside the encode call and symbols bound at start-up.
# Both at their default level and shape. Usage: bench/pdf417_instructions.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target korvane_static >/dev/null
includes="-I$root/include -I$build/korvane/include"
g++ -std=c++17 -O2 $includes "$root/bench/encode_once.cpp" "$build/korvane/libkorvane.a" -o "$work/korvane_once"
cc -O2 "$root/bench/zint_encode_once.c" -lzint -o "$work/zint_once"

printf 'https://www.example.com/products/item?id=1234567&ref=abcdef' > "$work/url59.txt"
# Prose with capitals, digits and punctuation, cut at 1,000 characters.
printf 'Invoice 2024-0042, due 30 June: 3 x Widget (blue), EUR 19.99 each; ship to 12 High Street, Leeds LS1 4AB. %.0s' \
    $(seq 1 12) | head -c 1000 > "$work/text1000.txt"
head -c 1000 /dev/urandom > "$work/random1000.bin"

count() {
    local fn="$1"; shift
    LD_BIND_NOW=1 valgrind --tool=callgrind --callgrind-out-file="$work/out" --collect-atstart=no --toggle-collect="$fn" "$@" \
        >/dev/null 2>&1
    callgrind_annotate "$work/out" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }'
}

printf '%-28s %12s %12s\n' "value" "korvane" "zint"
while IFS='|' read -r label file; do
    k=$(count 'korvane::encode(korvane::Symbology*' "$work/korvane_once" pdf417 -f "$work/$file")
    z=$(count 'ZBarcode_Encode' "$work/zint_once" 55 -f "$work/$file")
    printf '%-28s %12s %12s\n' "$label" "$k" "$z"
done <<ROWS
59-character URL|url59.txt
1,000 characters of text|text1000.txt
1,000 random bytes|random1000.bin
ROWS
