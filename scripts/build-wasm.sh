#!/usr/bin/env bash
# Builds the library as WebAssembly with Debian's emscripten, for the npm
# package: js/dist/korvane.wasm. Usage: build-wasm.sh [BUILD_DIR] (default build-wasm).
#
# The raster writers need zlib, libpng and FreeType. Emscripten's own ports
# of them are fetched from the network at build time, so instead they are
# built here from Debian's source packages of the very versions the native
# build links (apt, with a source list and state of its own under BUILD_DIR;
# the machine's apt configuration is left alone). The same zlib and FreeType
# make PNG and BMP files byte for byte those of the native library.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/install-deps.sh js
build="${1:-build-wasm}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"
jobs=$(nproc 2>/dev/null || echo 2)

# Debian's emscripten runs its JavaScript tools with acorn from Debian's node
# modules, which a node installed from elsewhere does not search.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export EM_CACHE=${EM_CACHE:-/usr/share/emscripten/cache}

# ---- sources of zlib, libpng and FreeType, from Debian's archive ----
src="$build/src"
if [ ! -f "$src/.done" ]; then
  apt="$build/apt"
  mkdir -p "$apt/parts" "$apt/lists/partial" "$apt/cache" "$src"
  # Suites and archive as the machine's own list names them.
  uri=$(sed -n 's/^URIs: *\(http[^ ]*\/debian\)$/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
  cat >"$apt/parts/sources.sources" <<EOF
Types: deb-src
URIs: ${uri:-http://deb.debian.org/debian}
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  aptopts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/parts"
           -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root)
  apt-get "${aptopts[@]}" -qq update
  (cd "$src" && apt-get "${aptopts[@]}" -qq source --download-only zlib libpng1.6 freetype >/dev/null)
  tar -C "$src" -xjf "$src"/zlib_*.orig.tar.bz2
  tar -C "$src" -xzf "$src"/libpng1.6_*.orig.tar.gz
  tar -C "$src" -xJf "$(ls "$src"/freetype_*.orig.tar.xz | grep -v -- '-ft2')"
  touch "$src/.done"
fi
zlib=$(ls -d "$src"/zlib-*/)
libpng=$(ls -d "$src"/libpng-*/)
freetype=$(ls -d "$src"/freetype-*/)

# ---- the three libraries as wasm archives, with pkg-config files for CMake ----
# Rebuilt when this script or FreeType's configuration for it changes.
deps="$build/deps"
stamp=$(cat "$0" "$root"/js/src/freetype/* | sha256sum | cut -c1-16)
if [ "$(cat "$deps/.done" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$deps"
  mkdir -p "$deps/include" "$deps/lib/pkgconfig" "$deps/obj/z" "$deps/obj/png" "$deps/obj/ft"
  cflags=(-Oz -flto -sSUPPORT_LONGJMP=wasm)
  compile() {  # compile OUT_DIR FLAGS... -- FILES...
    local out=$1
    shift
    local flags=()
    while [ "$1" != -- ]; do flags+=("$1"); shift; done
    shift
    printf '%s\n' "$@" | xargs -P "$jobs" -I{} sh -c \
      'emcc "$@" -c "{}" -o "'"$out"'/$(basename "{}" .c).o"' _ "${cflags[@]}" "${flags[@]}"
  }
  compile "$deps/obj/z" -DHAVE_UNISTD_H -- "$zlib"/{adler32,crc32,deflate,inflate,inffast,inftrees,trees,zutil}.c
  emar rcs "$deps/lib/libz.a" "$deps"/obj/z/*.o
  cp "$zlib"/zlib.h "$zlib"/zconf.h "$deps/include/"

  cp "$libpng/scripts/pnglibconf.h.prebuilt" "$deps/include/pnglibconf.h"
  cp "$libpng"/png.h "$libpng"/pngconf.h "$deps/include/"
  compile "$deps/obj/png" -I"$deps/include" -DPNG_ARM_NEON_OPT=0 -- \
    "$libpng"/{png,pngerror,pngget,pngmem,pngset,pngtrans,pngwio,pngwrite,pngwtran,pngwutil}.c
  emar rcs "$deps/lib/libpng16.a" "$deps"/obj/png/*.o

  compile "$deps/obj/ft" -I"$root/js/src/freetype" -I"$freetype/include" -DFT2_BUILD_LIBRARY \
    '-DFT_CONFIG_MODULES_H=<ftmodule.h>' '-DFT_CONFIG_OPTIONS_H=<ftoption.h>' -- \
    "$freetype"/src/base/{ftsystem,ftinit,ftdebug,ftbase,ftbitmap,ftmm}.c \
    "$freetype"/src/{autofit/autofit,truetype/truetype,sfnt/sfnt,smooth/smooth}.c
  emar rcs "$deps/lib/libfreetype.a" "$deps"/obj/ft/*.o
  cp -r "$freetype/include/." "$deps/include/freetype2/"

  pc() {  # pc NAME LIB CFLAGS
    printf 'Name: %s\nDescription: %s for wasm\nVersion: 0\nCflags: -I%s\nLibs: -L%s -l%s\n' \
      "$1" "$1" "$3" "$deps/lib" "$2" >"$deps/lib/pkgconfig/$1.pc"
  }
  pc zlib z "$deps/include"
  pc libpng16 png16 "$deps/include"
  pc freetype2 freetype "$deps/include/freetype2 -I$root/js/src/freetype '-DFT_CONFIG_MODULES_H=<ftmodule.h>' '-DFT_CONFIG_OPTIONS_H=<ftoption.h>'"
  echo "$stamp" >"$deps/.done"
fi

# ---- the library ----
# CMake configures it without a warning (any is an error here).
PKG_CONFIG_LIBDIR="$deps/lib/pkgconfig" PKG_CONFIG_PATH= EM_PKG_CONFIG_PATH="$deps/lib/pkgconfig" emcmake cmake -S "$root" -B "$build/lib" -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DBARCODE_TESTS=OFF -DBARCODE_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS="-sSUPPORT_LONGJMP=wasm -flto" -DCMAKE_CXX_FLAGS_MINSIZEREL="-Oz -DNDEBUG" \
  >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
if grep -q "CMake Warning" "$build/configure.log"; then
  cat "$build/configure.log"
  echo "build-wasm.sh: CMake warns configuring the WebAssembly build" >&2
  exit 1
fi
cmake --build "$build/lib" --target korvane_static -j"$jobs"

# ---- the module: the binding over the library, as one .wasm without emscripten's JavaScript ----
mkdir -p "$root/js/dist"
exports=$(sed -n 's/^KVJS_EXPORT [^(]* \(kvjs_[a-z_0-9]*\)(.*/_\1/p' "$root/js/src/binding.cpp" | paste -sd, -)
em++ -std=c++17 -Oz -flto -fwasm-exceptions -sSUPPORT_LONGJMP=wasm -I"$root/include" -I"$build/lib/korvane/include" \
  "$root/js/src/binding.cpp" "$build/lib/korvane/libkorvane.a" \
  "$deps/lib/libfreetype.a" "$deps/lib/libpng16.a" "$deps/lib/libz.a" \
  --no-entry -sSTANDALONE_WASM -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=4MB -sTOTAL_STACK=1MB \
  -sEXPORTED_FUNCTIONS="_malloc,_free,$exports" -sERROR_ON_UNDEFINED_SYMBOLS=1 \
  -o "$root/js/dist/korvane.wasm"
node "$root/js/scripts/build.mjs"
echo "js/dist/korvane.wasm: $(stat -c %s "$root/js/dist/korvane.wasm") bytes, $(gzip -9c "$root/js/dist/korvane.wasm" | wc -c) gzipped"
