#!/usr/bin/env bash
# Builds the Python package as a wheel against a built tree's static library,
# installs it into fresh virtual environments made by Debian's interpreter
# (a version manager's python3 may come first on the PATH, without Debian's
# packages), and runs the package's tests there. Usage: test-python.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
python=/usr/bin/python3
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "== Python wheel"
# The extension's compiler goes through ccache where there is one.
if command -v ccache >/dev/null && [ -z "${CC:-}" ]; then
  export CC="ccache $("$python" -c 'import sysconfig; print(sysconfig.get_config_var("CC").split()[0])')"
fi
# The wheel links the library's archive from the build tree, built already,
# named as a user names it: relative to the repository's root, where the
# command runs (the build itself runs in python/).
given="$(realpath --relative-to="$root" "$build")"
(cd "$root" && KORVANE_BUILD_DIR="$given" "$python" -m build --no-isolation --wheel --outdir "$work/dist" python) \
  >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
grep -qF "korvane: linking the library built in $build" "$work/build.log" || {
  cat "$work/build.log"; echo "the wheel did not link the library of $build" >&2; exit 1; }
wheel="$(ls "$work"/dist/korvane-*.whl)"
# The licence and the notices travel in the wheel.
"$python" - "$wheel" <<'EOF2'
import sys, zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
for name in ("LICENSE", "NOTICE"):
    assert any(n.endswith(f".dist-info/{name}") for n in names), f"the wheel lacks {name}: {names}"
EOF2

# A clean environment: the wheel alone must import and draw, with no shared
# library of ours anywhere.
"$python" -m venv "$work/clean"
"$work/clean/bin/pip" install --no-index --quiet "$wheel"
extension="$(ls "$work"/clean/lib/python3*/site-packages/korvane/_korvane*.so)"
if ldd "$extension" | grep -q libkorvane; then
  echo "the extension links libkorvane dynamically" >&2
  exit 1
fi
(cd "$work" && "$work/clean/bin/python" -c \
  'import korvane; assert korvane.encode("ean13", "590123412345").png().startswith(b"\x89PNG")')

echo "== Python tests"
# The tests read pictures back with Debian's python3-zxing-cpp, numpy and
# Pillow, so this environment sees the system's packages.
"$python" -m venv --system-site-packages "$work/test"
"$work/test/bin/pip" install --no-index --quiet "$wheel"
# From a copy of the tests, so that python/korvane (sources without the
# extension) does not shadow the installed package; the README's Python
# example is run from where it is.
cp -r "$root/python/tests" "$work/tests"
KORVANE_CLI="$build/cli/korvane" KORVANE_README="$root/README.md" KORVANE_SOURCE_DIR="$root" "$work/test/bin/python" -m pytest -q -p no:cacheprovider "$work/tests"
