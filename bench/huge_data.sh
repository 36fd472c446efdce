#!/usr/bin/env bash
# What data far past every capacity costs before it is refused: the command
# with 10 MB of letters for QR Code, PDF417 and Code 128 (hyperfine for the
# time, /usr/bin/time for the peak memory), and Python with a 100 MB string.
# Each must end in a refusal naming the limit (status 1), not a symbol.
# Usage: bench/huge_data.sh [BUILD_DIR]   (default build; korvane must be built)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
korvane="$build/cli/korvane"
[ -x "$korvane" ] || { echo "build korvane first: cmake --build $build --target korvane" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing (scripts/install-deps.sh dev installs it)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
head -c 10000000 /dev/zero | tr '\0' 'A' > "$work/10MB.txt"

printf '| symbology | refusal | time | peak memory |\n|---|---|---|---|\n'
for symbology in qr pdf417 code128; do
  message=$("$korvane" -b "$symbology" --input "$work/10MB.txt" -o "$work/out.svg" 2>&1 || true)
  hyperfine --runs 5 --warmup 1 -i --export-json "$work/$symbology.json" \
    "$korvane -b $symbology --input $work/10MB.txt -o $work/out.svg" >/dev/null 2>&1
  mean=$(python3 -c "import json,sys; print('%.1f ms' % (1000 * json.load(open(sys.argv[1]))['results'][0]['mean']))" "$work/$symbology.json")
  peak=$( (/usr/bin/time -f "%M" "$korvane" -b "$symbology" --input "$work/10MB.txt" -o "$work/out.svg" 2>&1 >/dev/null || true) | tail -1)
  printf '| %s | %s | %s | %s MB |\n' "$symbology" "${message#korvane: }" "$mean" "$((peak / 1024))"
done

# Python: the refusal of a 100 MB string, timed inside the interpreter.
cd "$work"  # where no folder of the checkout shadows the package
if python3 -c 'import korvane; korvane.encode' 2>/dev/null; then
  python3 - <<'PY'
import time, korvane
data = "A" * 100_000_000
for symbology in ("qr", "pdf417", "code128"):
    start = time.perf_counter()
    try:
        korvane.encode(symbology, data)
    except korvane.EncodeError as e:
        print(f"Python {symbology}: {1000 * (time.perf_counter() - start):.1f} ms to refuse: {e}")
PY
else
  echo "(Python: install the package, e.g. pip install ./python, to measure it too)"
fi
