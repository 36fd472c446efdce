#!/usr/bin/env bash
# Installs the library and the korvane command from a built tree into a scratch
# prefix, runs the command, then builds and runs a consumer program against the
# library: through CMake's find_package (shared and static) and through
# pkg-config (the C API), and a C program built against the 2.0 header.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir="$(ls -d "$work"/prefix/lib*/ | head -1)"

echo "== the installed korvane command"
(cd "$work" && "$work/prefix/bin/korvane" -b ean13 -o installed.svg 590123412345 && test -s installed.svg)

echo "== consumer through find_package(korvane)"
cmake -S "$root/tests/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/consumer" >/dev/null
LD_LIBRARY_PATH="$libdir" "$work/consumer/consumer_shared"
"$work/consumer/consumer_static"

echo "== consumer through pkg-config"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror "$root/tests/consumer/consumer.c" -o "$work/consumer_c" $(pkg-config --cflags --libs korvane)
LD_LIBRARY_PATH="$libdir" "$work/consumer_c"

echo "== a program built against the 2.0 header, with the installed library"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror -I "$root/tests/consumer/abi-2.0" "$root/tests/consumer/previous_abi.c" \
  -o "$work/previous_abi" $(pkg-config --cflags --libs korvane)
LD_LIBRARY_PATH="$libdir" "$work/previous_abi" "$work"
