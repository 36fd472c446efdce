#!/usr/bin/env bash
# Builds the programs and runs each on its defaults in the current directory:
# korvane writes barcode.svg (Code 128), barlane barcode.emf, aztec aztec.bmp.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" command
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DBARCODE_TESTS=OFF >/dev/null
cmake --build "$root/build-release" -j"$(nproc 2>/dev/null || echo 2)"
"$root/build-release/cli/korvane" "Hello, korvane"
"$root/build-release/linear/frontend/barlane"
if [ -x "$root/build-release/aztec/frontend/aztec" ]; then
  "$root/build-release/aztec/frontend/aztec"
fi
ls -l barcode.svg barcode.emf $( [ -f aztec.bmp ] && echo aztec.bmp )
echo
echo "Wrote in $PWD: barcode.svg (korvane), barcode.emf (barlane)$( [ -f aztec.bmp ] && echo ", aztec.bmp (aztec)")."
echo "The korvane command is $root/build-release/cli/korvane (try: $root/build-release/cli/korvane --help);"
echo "cmake --install $root/build-release --prefix /usr/local puts it on the PATH, with man korvane and bash completion."
