#!/usr/bin/env bash
# Makes docs/images/format-*.png, the picture of each output format in docs/library.md:
# one EAN-13 symbol written by the korvane library in every format, each file
# rendered to PNG by a reader of that format (rsvg-convert, pdftoppm,
# Ghostscript, emf2svg-conv then rsvg-convert, gdk-pixbuf; the PNG as written).
# Environment: BARCODE_BUILD, the build folder (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh dev docs
build=${BARCODE_BUILD:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target korvane_static >/dev/null

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
c++ -std=c++17 -O2 -Iinclude -I"$build/korvane/include" docs/format-samples.cpp "$build/korvane/libkorvane.a" \
  $(pkg-config --libs libpng16 freetype2 zlib) -o "$tmp/format-samples"
read -r width height < <("$tmp/format-samples" "$tmp")

out=docs/images
mkdir -p "$out"
rsvg-convert -w "$width" -h "$height" -b white -o "$out/format-svg.png" "$tmp/sample.svg"
pdftoppm -scale-to-x "$width" -scale-to-y "$height" -png -singlefile "$tmp/sample.pdf" "$out/format-pdf"
gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -dGraphicsAlphaBits=4 -dTextAlphaBits=4 -r300 -sDEVICE=png16m \
  -sOutputFile="$out/format-eps.png" "$tmp/sample.eps"
cp "$tmp/sample.png" "$out/format-png.png"
emf2svg-conv -i "$tmp/sample.emf" -o "$tmp/emf.svg"
rsvg-convert -w "$width" -h "$height" -b white -o "$out/format-emf.png" "$tmp/emf.svg"
gdk-pixbuf-thumbnailer -s "$width" "$tmp/sample.bmp" "$out/format-bmp.png"
ls -l "$out"/format-*.png
