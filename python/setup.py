"""Builds the extension over the korvane library, linked statically.

The library comes from the repository this folder sits in (or
KORVANE_SOURCE_DIR). Its static archive is taken from, in this order:

- KORVANE_BUILD_DIR, an existing CMake build of the repository (a relative
  path is taken from where the command runs, not from this folder; a folder
  without a build is an error);
- a build the repository has already, build-release/ (the quick start's) or
  build/ (the test script's), brought up to date;
- else a build of its own under build_temp, of the archive alone, in parallel.

The extension then needs no shared library of ours; it links libpng, zlib and
FreeType from the system as the library does.
"""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

try:
    from pybind11.setup_helpers import Pybind11Extension
except ImportError:
    sys.exit(f"korvane: building the extension needs pybind11, which {sys.executable} cannot import. "
             "On Debian, build with Debian's interpreter, /usr/bin/python3, which has python3-pybind11 "
             "(scripts/install-deps.sh python installs it); with another interpreter (pyenv's, say), "
             "pip install pybind11 first, or leave out --no-build-isolation where PyPI is reachable.")
from setuptools import setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent


def source_dir() -> Path:
    root = Path(os.environ.get("KORVANE_SOURCE_DIR", HERE.parent)).resolve()
    if not (root / "include" / "korvane" / "korvane.hpp").is_file():
        sys.exit(f"korvane: no library sources at {root}; set KORVANE_SOURCE_DIR to the repository")
    return root


def invoked_from() -> Path:
    """The folder the command was run from. Build front ends (pip, python -m
    build) run this script in its own folder, but leave the shell's PWD as it
    was."""
    pwd = os.environ.get("PWD")
    if pwd and os.path.isabs(pwd) and os.path.isdir(pwd):
        return Path(pwd)
    return Path.cwd()


def cache_entries(build: Path) -> dict:
    text = (build / "CMakeCache.txt").read_text(errors="replace")
    return dict(re.findall(r"^([A-Za-z_0-9]+):[A-Z]+=(.*)$", text, re.M))


def reusable(build: Path) -> bool:
    """Whether a build of the repository makes an archive the extension can link:
    native, optimised, without sanitizers."""
    if not (build / "CMakeCache.txt").is_file():
        return False
    cache = cache_entries(build)
    return (cache.get("CMAKE_BUILD_TYPE") in ("Release", "RelWithDebInfo", "MinSizeRel")
            and cache.get("BARCODE_SANITIZE", "OFF") == "OFF" and cache.get("BARCODE_FUZZ", "OFF") == "OFF"
            and "emscripten" not in cache.get("CMAKE_TOOLCHAIN_FILE", "").lower())


def library_build(root: Path, own: Path) -> Path:
    given = os.environ.get("KORVANE_BUILD_DIR")
    if given:
        build = (invoked_from() / given).resolve()
        if not (build / "CMakeCache.txt").is_file():
            sys.exit(f"korvane: KORVANE_BUILD_DIR={given} names {build}, which holds no CMake build "
                     "(configure and build the repository there first, or leave KORVANE_BUILD_DIR unset)")
        return build
    for name in ("build-release", "build"):
        if reusable(root / name):
            return root / name
    configure = ["cmake", "-S", str(root), "-B", str(own), "-DCMAKE_BUILD_TYPE=Release",
                 "-DBARCODE_TESTS=OFF", "-DBARCODE_BENCHMARKS=OFF"]
    if shutil.which("ccache"):
        configure += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
    if not (own / "CMakeCache.txt").is_file():
        subprocess.run(configure, check=True)
    return own


def pkg_config_libs() -> list:
    out = subprocess.run(["pkg-config", "--libs-only-l", "freetype2", "libpng16", "zlib"],
                         check=True, capture_output=True, text=True).stdout
    return [flag[2:] for flag in out.split()]


class BuildWithLibrary(build_ext):
    """Builds the korvane_static target first (a no-op where it is up to date),
    then the extension against it."""

    def run(self):
        root = source_dir()
        build = library_build(root, Path(self.build_temp).resolve() / "korvane-cmake")
        print(f"korvane: linking the library built in {build}", flush=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 2))
        subprocess.run(["cmake", "--build", str(build), "--target", "korvane_static", "-j", jobs], check=True)
        archive = build / "korvane" / "libkorvane.a"
        for ext in self.extensions:
            ext.include_dirs += [str(root / "include"), str(build / "korvane" / "include")]
            ext.extra_objects.append(str(archive))
            ext.libraries += pkg_config_libs()
            ext.depends.append(str(archive))
        super().run()


setup(
    ext_modules=[Pybind11Extension("korvane._korvane", ["src/module.cpp"], cxx_std=17,
                                 extra_compile_args=["-Wall", "-Wextra", "-Wpedantic"])],
    cmdclass={"build_ext": BuildWithLibrary},
)
