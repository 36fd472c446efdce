#!/usr/bin/env bash
# Builds and runs the whole test suite twice: a normal optimised build, and a
# build with AddressSanitizer and UndefinedBehaviorSanitizer (any report fails),
# then the installed library and the Windows tests. Ends with one summary of
# every stage run: its result, its counts where it has tests, its time.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh dev

jobs=$(nproc 2>/dev/null || echo 2)
started=$SECONDS
summary=()

# The summary closes the output however the run ends, so a failed stage is
# found at the bottom of a long CI log with what ran before it.
report() {
  echo
  echo "== summary"
  local line
  for line in "${summary[@]}"; do
    echo "  $line"
  done
  echo "  total time $((SECONDS - started)) s"
}
trap report EXIT

# Counts of a ctest log: "N passed, N failed, N skipped".
ctestCounts() {
  local log=$1 total failed skipped
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  failed=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -1)
  skipped=$(grep -c '(Skipped)$' "$log" || true)
  total=${total:-0} failed=${failed:-0}
  echo "$((total - failed - skipped)) passed, $failed failed, $skipped skipped"
}

# stage NAME KIND COMMAND...: runs the command with its output shown and kept;
# KIND says how to count it: build, ctest, windows or plain.
stage() {
  local name=$1 kind=$2
  shift 2
  echo "== $name"
  local log start status=0 counts=""
  log=$(mktemp)
  start=$SECONDS
  "$@" 2>&1 | tee "$log" || status=$?
  case $kind in
    ctest) counts=$(ctestCounts "$log") ;;
    windows) counts=$(grep -E '^Windows tests, all stages: ' "$log" | tail -1 | sed 's/^Windows tests, all stages: //') ;;
  esac
  rm -f "$log"
  local result=ok
  [ "$status" -eq 0 ] || result=FAILED
  summary+=("$(printf '%-44s %-6s %s%s' "$name" "$result" "${counts:+$counts, }" "$((SECONDS - start)) s")")
  return "$status"
}

stage "normal build" build bash -c "cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBARCODE_TESTS=ON \
  -DBARCODE_BENCHMARKS=ON -DBARCODE_WERROR=ON >/dev/null && cmake --build build -j$jobs"
stage "normal tests" ctest ctest --test-dir build --output-on-failure -j"$jobs"
stage "installed library and command" plain ./scripts/test-install.sh build
stage "Python package" plain ./scripts/test-python.sh build
stage "WebAssembly and npm package" plain ./scripts/test-js.sh build

stage "ASan+UBSan build" build bash -c "cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBARCODE_TESTS=ON -DBARCODE_SANITIZE=ON >/dev/null && cmake --build build-asan -j$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  stage "ASan+UBSan tests" ctest ctest --test-dir build-asan --output-on-failure -j"$jobs"
BARCODE_NATIVE_BUILD=build stage "Windows tests (total of all Windows stages)" windows ./scripts/test-windows.sh
