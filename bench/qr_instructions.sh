#!/usr/bin/env bash
# Instructions spent encoding QR Code symbols: the library's encoder
# (korvane::qr::encode, at level M with its default level boost) beside zint's
# ZBarcode_Encode at level M, for the same bytes (callgrind, collection
# switched on only inside the encode call; symbols bound at start-up).
# Usage: bench/qr_instructions.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target korvane_static >/dev/null
cat > "$work/ours.cpp" <<'CPP'
#include "qr/Qr.h"
#include <cstdio>
#include <fstream>
#include <iterator>
int main(int, char** argv) {
    std::ifstream in(argv[1], std::ios::binary);
    korvane::Message m;
    m.bytes.assign(std::istreambuf_iterator<char>(in), {});
    const auto s = korvane::qr::encode(m);
    std::printf("version %d\n", s ? s->version : 0);
    return s ? 0 : 1;
}
CPP
cat > "$work/zint.c" <<'C'
#include <stdio.h>
#include <zint.h>
int main(int argc, char** argv) {
    static unsigned char buffer[1 << 16];
    FILE* f = fopen(argv[1], "rb");
    if (!f || argc != 2)
        return 2;
    const int length = (int)fread(buffer, 1, sizeof buffer, f);
    fclose(f);
    struct zint_symbol* symbol = ZBarcode_Create();
    symbol->symbology = BARCODE_QRCODE;
    symbol->option_1 = 2; /* level M */
    symbol->input_mode = DATA_MODE;
    const int error = ZBarcode_Encode(symbol, buffer, length);
    printf("size %d\n", symbol->width);
    ZBarcode_Delete(symbol);
    return error >= ZINT_ERROR;
}
C
g++ -std=c++17 -O2 -I"$root/include" -I"$root/korvane" "$work/ours.cpp" "$build/korvane/libkorvane.a" -o "$work/ours"
cc -O2 "$work/zint.c" -lzint -o "$work/zint"

printf 'https://www.example.com/products/widget-2000?id=1234567890X' > "$work/url59"
head -c 1000 /dev/urandom > "$work/bytes1000"

count() {
    local fn="$1"; shift
    LD_BIND_NOW=1 valgrind --tool=callgrind --callgrind-out-file="$work/out" --collect-atstart=no --toggle-collect="$fn" "$@" \
        >/dev/null 2>&1
    callgrind_annotate "$work/out" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }'
}

printf '%-28s %12s %12s\n' "value" "korvane" "zint"
for value in url59 bytes1000; do
    k=$(count 'korvane::qr::encode(*' "$work/ours" "$work/$value")
    z=$(count 'ZBarcode_Encode' "$work/zint" "$work/$value")
    printf '%-28s %12s %12s\n' "$value ($(wc -c < "$work/$value") bytes)" "$k" "$z"
done
