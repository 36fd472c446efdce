#!/usr/bin/env bash
# The profiles below are read by name (declare -n).
# shellcheck disable=SC2034
# Installs the Debian packages a use of the suite needs, where missing.
# Needs root (or sudo) only when something is missing.
#
# Usage: install-deps.sh [--list] [PROFILE...]   (no profile: command)
#   command  the library and the programs: korvane, barlane, aztec (scripts/quickstart.sh)
#   python   the Python package (it builds the library, so the command's too)
#   js       the WebAssembly build and the npm package (scripts/build-wasm.sh)
#   dev      everything scripts/test.sh and scripts/fuzz.sh need: all of the above,
#            the test and benchmark tools, independent readers, fuzzers, Chromium
#   windows  the 32-bit Windows programs under Wine (scripts/test-windows.sh)
#   docs     the pictures of the output formats (scripts/format-pictures.sh)
# --list prints the packages of the profiles, one a line, and installs nothing.
# WITH_WINDOWS=1 and WITH_DOCS=1 add the windows and docs profiles as before.
set -euo pipefail

command_packages=(
  build-essential cmake pkg-config
  libcli11-dev nlohmann-json3-dev        # the korvane command: argument parsing, JSON reports
  libpng-dev zlib1g-dev libfreetype-dev  # the library's PNG encoder and font rasteriser
)
python_packages=(
  "${command_packages[@]}"
  python3 python3-dev python3-venv python3-pybind11 python3-setuptools python3-wheel python3-build
  python3-pil python3-numpy              # to_image() and to_array() (the extras image and array)
)
js_packages=(
  cmake pkg-config emscripten nodejs
  bzip2 xz-utils                         # unpacking Debian's sources of zlib, libpng and FreeType
)
# Debian's nodejs comes without npm; a nodejs from elsewhere (NodeSource) has its
# own, and Debian's npm would conflict with it.
command -v npm >/dev/null || js_packages+=(npm)
dev_packages=(
  "${command_packages[@]}" "${python_packages[@]}" "${js_packages[@]}"
  libgtest-dev libgmock-dev googletest   # unit tests
  libbenchmark-dev                       # benchmarks
  libzxing-dev                           # independent decoder for round-trip tests
  libzbar-dev                            # second independent decoder (QR Code), in-process
  zint libzint-dev                       # independent generator: module cross-checks and speed references
  libdmtx-dev dmtx-utils                 # independent Data Matrix reader for round-trip tests
  valgrind hyperfine time                # instruction counts, process timings and peak memory (bench/)
  clang libclang-rt-14-dev               # fuzzers (libFuzzer) and sanitizers
  fonts-ocr-b fonts-dejavu-core fonttools  # the fonts built into the library, and pyftsubset (scripts/make-fonts.sh)
  python3-pytest python3-zxing-cpp       # the Python package's tests
  python3-dask python3-distributed       # its example of a batch over a cluster (python/examples/dask_batch.py)
  python3-segno python3-qrcode           # QR speed references for bench/python_qr.py
  chromium                               # the designer page's tests, in a browser
  man-db                                 # reading the manual page made at build time (scripts/test-install.sh)
  universal-ctags                        # function lengths (scripts/long-functions.sh, a test)
  iso-codes                              # ISO 3166 and 4217 codes the GS1 tables are made from (a test)
  librsvg2-bin poppler-utils qpdf ghostscript libxml2-dev  # readers of the writers' files
)
# The 32-bit programs, plus wine64 and the x86_64 compiler: where the kernel runs
# no 32-bit code, the Windows tests run on a 64-bit build of the same sources
# (scripts/test-windows.sh). 32-bit Wine only where the kernel runs 32-bit code.
windows_packages=(g++-mingw-w64-i686 wine wine64 g++-mingw-w64-x86-64)
[ "${WITH_WINE32:-0}" = 1 ] && windows_packages+=(wine32:i386)
docs_packages=(emf2svg libgdk-pixbuf2.0-bin)

list=0
profiles=()
for arg in "$@"; do
  case $arg in
    --list) list=1 ;;
    command|python|js|dev|windows|docs) profiles+=("$arg") ;;
    *) echo "install-deps.sh: no profile '$arg' (command, python, js, dev, windows, docs)" >&2; exit 2 ;;
  esac
done
[ ${#profiles[@]} -gt 0 ] || profiles=(command)
[ "${WITH_WINDOWS:-0}" = 1 ] && profiles+=(windows)
[ "${WITH_DOCS:-0}" = 1 ] && profiles+=(docs)

packages=()
for profile in "${profiles[@]}"; do
  declare -n chosen="${profile}_packages"
  packages+=("${chosen[@]}")
  unset -n chosen
done
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | awk '!seen[$0]++')
if [ "$list" = 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
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
echo "Installing (${profiles[*]}): ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
