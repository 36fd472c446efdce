#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, where missing.
# Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev googletest   # unit tests
  libbenchmark-dev                       # benchmarks
  libcli11-dev nlohmann-json3-dev        # the korvane command: argument parsing, JSON reports
  libzxing-dev                           # independent decoder for round-trip tests
  libzbar-dev                            # second independent decoder (QR Code), in-process
  zint libzint-dev                       # independent generator: module cross-checks and speed references
  libdmtx-dev dmtx-utils                 # independent Data Matrix reader for round-trip tests
  valgrind hyperfine                     # instruction counts and process timings (bench/)
  clang libclang-rt-14-dev               # fuzzers (libFuzzer) and sanitizers
  libpng-dev zlib1g-dev libfreetype-dev  # the library's PNG encoder and font rasteriser
  fonts-ocr-b fonts-dejavu-core fonttools  # the fonts built into the library, and pyftsubset (scripts/make-fonts.sh)
  python3 python3-dev python3-venv python3-pybind11 python3-setuptools python3-wheel python3-build  # the Python package
  python3-pytest python3-numpy python3-pil python3-zxing-cpp  # its tests
  python3-segno python3-qrcode           # QR speed references for bench/python_qr.py
  emscripten nodejs chromium            # the WebAssembly build, the npm package (npm comes with nodejs), its page in a browser
  librsvg2-bin poppler-utils qpdf ghostscript libxml2-dev libpng-dev  # readers of the writers' files
)
if [ "${WITH_WINDOWS:-0}" = 1 ]; then
  # The 32-bit programs, plus wine64 and the x86_64 compiler: where the kernel
  # runs no 32-bit code, the Windows tests run on a 64-bit build of the same
  # sources (scripts/test-windows.sh).
  packages+=(g++-mingw-w64-i686 wine wine64 g++-mingw-w64-x86-64)
  # 32-bit Wine is worth installing only where the kernel runs 32-bit code.
  [ "${WITH_WINE32:-0}" = 1 ] && packages+=(wine32:i386)
fi

if [ "${WITH_DOCS:-0}" = 1 ]; then
  packages+=(emf2svg libgdk-pixbuf2.0-bin)  # the README's pictures (scripts/format-pictures.sh)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
