#!/usr/bin/env bash
# Instructions spent inside korvane::encode() and inside zint's ZBarcode_Encode
# for the same values (callgrind, collection switched on only inside the
# encode call; symbols bound at start-up so that neither pays for lazy
# binding). Usage: bench/api_instructions.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target korvane_static >/dev/null
includes="-I$root/include -I$build/korvane/include"
g++ -std=c++17 -O2 $includes "$root/bench/encode_once.cpp" "$build/korvane/libkorvane.a" -o "$work/korvane_once"
cc -O2 "$root/bench/zint_encode_once.c" -lzint -o "$work/zint_once"

head -c 1000 /dev/urandom > "$work/random1000.bin"
printf 'ABCDEFGHIJKLMNOPQRSTUVWXYZ%.0s' $(seq 1 118) | head -c 3067 > "$work/upper3067.txt"

# callgrind's total for the collected function and what it calls.
count() {
    local fn="$1"; shift
    LD_BIND_NOW=1 valgrind --tool=callgrind --callgrind-out-file="$work/out" --collect-atstart=no --toggle-collect="$fn" "$@" \
        >/dev/null 2>&1
    callgrind_annotate "$work/out" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }'
}

printf '%-34s %12s %12s\n' "value" "korvane" "zint"
while IFS='|' read -r label ours theirs args; do
    # shellcheck disable=SC2086
    k=$(count 'korvane::encode(korvane::Symbology, std::basic_string_view*' "$work/korvane_once" $ours $args)
    # shellcheck disable=SC2086
    z=$(count 'ZBarcode_Encode' "$work/zint_once" $theirs $args)
    printf '%-34s %12s %12s\n' "$label" "$k" "$z"
done <<ROWS
Code 128 ABC-abc-0123456789xy|code128|20|ABC-abc-0123456789xy
EAN-13 400638133393|ean13|13|400638133393
Code 39 ABC123|code39|8|ABC123
Aztec 1,000 random bytes|aztec|92|-f $work/random1000.bin
Aztec 3,067 capital letters|aztec|92|-f $work/upper3067.txt
DataBar Expanded, four AIs|databar-expanded|31|[01]98898765432106[3202]012345[15]991231[10]ABC
IMb with an 11-digit routing code|imb|85|01234567094987654321-01234567891
Micro QR 12345678|microqr|97|12345678
Micro QR HELLO-42|microqr|97|HELLO-42
rMQR 60 digits|rmqr|145|123456789012345678901234567890123456789012345678901234567890
rMQR URL|rmqr|145|https://example.com/path?query=ABC123
UPNQR UPNQR-1234|upnqr|143|UPNQR-1234
ROWS
