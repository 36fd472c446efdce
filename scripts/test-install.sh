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

echo "== what install-deps.sh installs for each use"
# Building the command needs no toolchain of the other uses; development
# (what test.sh and fuzz.sh install on a fresh machine) takes every use's.
"$root/scripts/install-deps.sh" --list command | grep -x libcli11-dev >/dev/null || {
  echo "install-deps.sh --list command does not list the command's packages" >&2; exit 1; }
heavy='^(emscripten|chromium|clang|wine.*|valgrind|python3.*|nodejs)$'
if "$root/scripts/install-deps.sh" --list command | grep -E "$heavy"; then
  echo "install-deps.sh installs the above to build the command" >&2; exit 1
fi
if "$root/scripts/install-deps.sh" --list python | grep -E '^(emscripten|chromium|clang|nodejs)$'; then
  echo "install-deps.sh installs the above for the Python package" >&2; exit 1
fi
extra=$(comm -23 <("$root/scripts/install-deps.sh" --list command python js | sort -u) \
                 <("$root/scripts/install-deps.sh" --list dev | sort -u))
[ -z "$extra" ] || { echo "the dev profile lacks: $extra" >&2; exit 1; }

echo "== the licence and the notices"
doc="$work/prefix/share/doc/korvane"
cmp "$root/LICENSE" "$doc/LICENSE"
# NOTICE carries the fonts' licences whole (their terms ask for it) and names
# the libraries linked into the programs and the WebAssembly package.
for font in "$root"/korvane/fonts/LICENSE-*.txt; do
  [[ "$(cat "$doc/NOTICE")" == *"$(cat "$font")"* ]] || { echo "NOTICE lacks $(basename "$font")" >&2; exit 1; }
  cmp "$font" "$doc/$(basename "$font")"
done
for library in FreeType libpng zlib; do
  grep -q "^- $library " "$doc/NOTICE" || { echo "NOTICE does not name $library" >&2; exit 1; }
done

echo "== the installed korvane command"
(cd "$work" && "$work/prefix/bin/korvane" -b ean13 -o installed.svg 590123412345 && test -s installed.svg)

echo "== the manual page and the bash completion"
# man renders the page without a warning, with every option of --help in it.
page=$(MANWIDTH=200 man --warnings -l "$work/prefix/share/man/man1/korvane.1" 2>"$work/man.err")
[ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; echo "man warns on korvane.1" >&2; exit 1; }
for option in $("$work/prefix/bin/korvane" --help | grep -oE '^  (-[a-z],)?--[a-z0-9-]+' | sed 's/.*--/--/'); do
  grep -qe "$option" <<<"$page" || { echo "korvane.1 lacks $option" >&2; exit 1; }
done
for section in NAME SYNOPSIS OPTIONS "EXIT STATUS" EXAMPLES; do
  grep -qx "$section" <<<"$page" || { echo "korvane.1 lacks the section $section" >&2; exit 1; }
done
# The completion, as bash runs it for "korvane WORDS<TAB>": the last word is
# completed; a table of the words typed and a completion expected among those offered.
completions() {
  bash -c 'source "$1"; shift; COMP_WORDS=(korvane "$@"); COMP_CWORD=$#; _korvane; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$work/prefix/share/bash-completion/completions/korvane" "$@"
}
while read -r expected words; do
  # shellcheck disable=SC2086
  completions $words | grep -x -- "$expected" >/dev/null || { echo "korvane $words<TAB> does not offer $expected" >&2; exit 1; }
done <<'TABLE'
--qr-level    --qr-l
--symbology   --symb
--verify      --ver
ean13         -b ean1
gs1-128       --symbology gs1
pdf417        -b pdf4
png           -f p
thermal203    --grade therm
TABLE

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
