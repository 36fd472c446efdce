#!/usr/bin/env bash
# Cross-builds the 32-bit Windows programs and runs the Windows tests under Wine:
#   1. build-win: barlane.exe and aztec.exe for i686, checked to be static,
#      self-contained console programs, aztec.exe exporting createAztec@24;
#   2. the Windows test programs (unit tests, GDI playback of the EMF files,
#      createAztec loaded at run time), run under Wine;
#   3. barlane.exe and aztec.exe end to end against the Linux build: the same
#      arguments give the same standard output (the Windows C runtime writes
#      CR LF line ends, compared as LF), exit status and output file bytes.
# The tests run on the i686 build where this machine can run 32-bit code. A
# kernel without 32-bit emulation (ia32_emulation=off) cannot start the 32-bit
# Wine loader; there they run on an x86_64 build of the same sources under the
# 64-bit Wine, and the i686 programs are checked by their PE headers only.
#
# Environment: BARCODE_NATIVE_BUILD, a configured Linux build directory whose
# programs are the reference (default build-wine-native, built here).
# Prints "Windows tests, all stages: N passed, N failed, N skipped" last (the
# test cases and checks of every stage above added up; skipped
# are the decoder round trips, see tests/windows/CMakeLists.txt); exits
# non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
./scripts/install-deps.sh dev windows
jobs=$(nproc 2>/dev/null || echo 2)

passed=0
failed=0
skipped=0
pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAILED: $*"; }

echo "== 32-bit Windows programs (build-win)"
# The toolchain is given only to a new build directory; CMake keeps it.
toolchainOption() { [ -f "$1/CMakeCache.txt" ] || echo "-DCMAKE_TOOLCHAIN_FILE=$2"; }
cmake -S . -B build-win $(toolchainOption build-win cmake/mingw-i686.cmake) -DBARCODE_TESTS=OFF \
  -DBARCODE_WERROR=ON >/dev/null
cmake --build build-win -j"$jobs" --target barlane aztec aztec_shared >/dev/null
for exe in build-win/linear/frontend/barlane.exe build-win/aztec/frontend/aztec.exe \
           build-win/aztec/frontend/aztec.dll; do
  headers=$(i686-w64-mingw32-objdump -p "$exe")
  dlls=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
  if grep -q 'Magic.*(PE32)$' <<<"$headers" \
     && { [[ $exe == *.dll ]] || grep -q 'Subsystem.*(Windows CUI)' <<<"$headers"; } \
     && [ "$dlls" = "kernel32.dll msvcrt.dll " ]; then
    pass
  else
    fail "$exe: not a self-contained 32-bit program (imports: $dlls)"
  fi
done
for module in build-win/aztec/frontend/aztec.exe build-win/aztec/frontend/aztec.dll; do
  exports=$(i686-w64-mingw32-objdump -p "$module")
  if grep -q '\] createAztec@24$' <<<"$exports"; then
    pass
  else
    fail "$module does not export createAztec@24"
  fi
done

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arch=i686
  toolchain=cmake/mingw-i686.cmake
  wine=(wine)
else
  arch=x86_64
  toolchain=cmake/mingw-x86_64.cmake
  wine=(/usr/lib/wine/wine64)
  echo "(this kernel runs no 32-bit code: the Wine tests run on an x86_64 build)"
fi
build=$root/build-wine-$arch

echo "== Windows tests ($arch, $build)"
# Warnings fail the programs' build above; the test build only reports them.
cmake -S . -B "$build" $(toolchainOption "$build" $toolchain) -DBARCODE_TESTS=ON -DBARCODE_WERROR=OFF >/dev/null
cmake --build "$build" -j"$jobs" >/dev/null

# A private Wine prefix, set up without a display or dialogs.
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "${wine[@]}" wineboot --init >/dev/null 2>&1
fi

logs=$build/wine-logs
rm -rf "$logs"
mkdir -p "$logs"
for t in gdi_tests linear_tests aztec_tests; do
  exe=$build/tests/windows/$t.exe
  [ -f "$exe" ] || continue
  status=0
  "${wine[@]}" "$exe" >"$logs/$t.txt" 2>&1 || status=$?
  summary=$(tail -n 1 "$logs/$t.txt" | tr -d '\r')
  # The test programs close with "N passed, N failed, N skipped"; their
  # counts join the total.
  if [[ $summary =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed,\ ([0-9]+)\ skipped$ ]]; then
    passed=$((passed + BASH_REMATCH[1]))
    failed=$((failed + BASH_REMATCH[2]))
    skipped=$((skipped + BASH_REMATCH[3]))
  fi
  if [ "$status" -eq 0 ]; then
    echo "$t: $summary"
  else
    cat "$logs/$t.txt"
    fail "$t exited with status $status"
  fi
done

echo "== barlane.exe and aztec.exe against the Linux programs"
native=${BARCODE_NATIVE_BUILD:-$root/build-wine-native}
case $native in /*) ;; *) native="$root/$native" ;; esac  # the programs run in other folders
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DBARCODE_TESTS=OFF >/dev/null
fi
cmake --build "$native" -j"$jobs" --target barlane aztec >/dev/null

work=$build/e2e
rm -rf "$work"
mkdir -p "$work/linux" "$work/windows"
printf 'bytes \000\001\377 and text' >"$work/data.bin"
cp "$work/data.bin" "$work/linux/" && cp "$work/data.bin" "$work/windows/"

# compare NAME PROGRAM OUTPUT-FILE [ARGS...]: one run on each side, in its own
# directory; OUTPUT-FILE is what the run writes there ("-" for none).
compare() {
  local name=$1 program=$2 output=$3
  shift 3
  local l=$work/linux/$name w=$work/windows/$name
  mkdir -p "$l" "$w"
  cp "$work/data.bin" "$l/" && cp "$work/data.bin" "$w/"
  local ls=0 ws=0
  (cd "$l" && "$native/$program" "$@" >"$l/stdout" 2>"$l/stderr") || ls=$?
  (cd "$w" && "${wine[@]}" "$build/$program.exe" "$@" >"$w/stdout.crlf" 2>"$w/stderr.crlf") || ws=$?
  # Wine on a loaded machine now and then fails a run that passes at once
  # when repeated (a program exiting 1 with half its output): a difference
  # that a second run does not repeat is Wine's, one that it repeats is ours.
  if [ "$ls" != "$ws" ]; then
    ws=0
    (cd "$w" && "${wine[@]}" "$build/$program.exe" "$@" >"$w/stdout.crlf" 2>"$w/stderr.crlf") || ws=$?
  fi
  sed 's/\r$//' "$w/stdout.crlf" >"$w/stdout"
  sed 's/\r$//' "$w/stderr.crlf" >"$w/stderr"
  local why=()
  [ "$ls" = "$ws" ] || why+=("exit status $ls on Linux, $ws on Windows")
  cmp -s "$l/stdout" "$w/stdout" || why+=("standard output differs")
  cmp -s "$l/stderr" "$w/stderr" || why+=("standard error differs")
  if [ "$output" != - ]; then
    local wout=$w/$output
    [ "$output" = c:aztec.bmp ] && wout=$WINEPREFIX/drive_c/aztec.bmp
    if [ "$output" = c:aztec.bmp ]; then
      cmp -s "$l/aztec.bmp" "$wout" || why+=("c:\\aztec.bmp differs from the Linux aztec.bmp")
      rm -f "$wout"
    else
      cmp -s "$l/$output" "$wout" || why+=("$output differs")
    fi
  fi
  if [ ${#why[@]} -eq 0 ]; then
    pass
  else
    fail "$name: ${why[*]}"
  fi
}

rm -f "$WINEPREFIX/drive_c/aztec.bmp"
compare barlane-defaults linear/frontend/barlane barcode.emf
compare barlane-code39 linear/frontend/barlane c39.emf -type 0 -code "WINE-39" -file c39.emf
compare barlane-code39ext linear/frontend/barlane c39x.emf -type 1 -code "Wine ~d009 ext" -file c39x.emf
compare barlane-itf linear/frontend/barlane itf.emf -type 2 -code 1234567 -height 40 -file itf.emf
compare barlane-code11 linear/frontend/barlane c11.emf -type 3 -code 123-45 -file c11.emf
compare barlane-codabar linear/frontend/barlane cb.emf -type 4 -code A40156B -file cb.emf
compare barlane-msi linear/frontend/barlane msi.emf -type 5 -code 80523 -file msi.emf
compare barlane-upca linear/frontend/barlane upca.emf -type 6 -code 03600029145 -file upca.emf
compare barlane-code93 linear/frontend/barlane c93.emf -type 9 -code "CODE 93" -file c93.emf
compare barlane-ean13 linear/frontend/barlane ean13.emf -type 10 -code 400638133393 -file ean13.emf
compare barlane-ean8 linear/frontend/barlane ean8.emf -type 11 -code 9638507 -file ean8.emf
compare barlane-upce linear/frontend/barlane upce.emf -type 12 -code 04210000526 -file upce.emf
compare barlane-code128c linear/frontend/barlane c128.emf -type 13 -code128set C -code 123456 -file c128.emf
compare barlane-postnet linear/frontend/barlane pn.emf -type 15 -code 55555 -file pn.emf
compare barlane-ean128 linear/frontend/barlane gs1.emf -type 16 -code "(01)09501101530003(10)AB" -file gs1.emf
compare barlane-unknown-ai linear/frontend/barlane ai.emf -type 16 -code AB -file ai.emf
compare barlane-refused linear/frontend/barlane - -type 12 -code 123 -file none.emf
compare barlane-bad-type linear/frontend/barlane - -type 99 -file none.emf
compare barlane-trailing-option linear/frontend/barlane barcode.emf -Type 5 -file
compare aztec-defaults aztec/frontend/aztec c:aztec.bmp
compare aztec-code-file aztec/frontend/aztec x.bmp -code ABC -file x.bmp
compare aztec-compact27 aztec/frontend/aztec f6.bmp -format 6 -code "short" -file f6.bmp
compare aztec-level aztec/frontend/aztec l50.bmp -level 50 -code "Error correction at 50%" -file l50.bmp
compare aztec-tilde aztec/frontend/aztec t.bmp -tilde 1 -code "~1A~d065~d233" -file t.bmp
compare aztec-datafile aztec/frontend/aztec bin.bmp -encoding 1 -dataFile data.bin -file bin.bmp
compare aztec-bad-level aztec/frontend/aztec - -level 100 -file none.bmp
compare aztec-missing-datafile aztec/frontend/aztec - -dataFile missing.bin -file none.bmp

echo "Windows tests, all stages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
