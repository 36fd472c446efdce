"""Builds the extension over the korvane library, linked statically.

The library comes from the repository this folder sits in (or
KORVANE_SOURCE_DIR): CMake builds its static archive, either in a build
folder of its own under build_temp or in KORVANE_BUILD_DIR, an existing
build of the repository (the test script passes its own, so nothing is
compiled twice). The extension then needs no shared library of ours; it
links libpng, zlib and FreeType from the system as the library does.
"""

import os
import shutil
import subprocess
from pathlib import Path

from pybind11.setup_helpers import Pybind11Extension
from setuptools import setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent


def source_dir() -> Path:
    root = Path(os.environ.get("KORVANE_SOURCE_DIR", HERE.parent)).resolve()
    if not (root / "include" / "korvane" / "korvane.hpp").is_file():
        raise SystemExit(f"korvane: no library sources at {root}; set KORVANE_SOURCE_DIR to the repository")
    return root


def pkg_config_libs() -> list:
    out = subprocess.run(["pkg-config", "--libs-only-l", "freetype2", "libpng16", "zlib"],
                         check=True, capture_output=True, text=True).stdout
    return [flag[2:] for flag in out.split()]


class BuildWithLibrary(build_ext):
    """Builds the korvane_static target first, then the extension against it."""

    def run(self):
        root = source_dir()
        given = os.environ.get("KORVANE_BUILD_DIR")
        build = Path(given).resolve() if given else Path(self.build_temp).resolve() / "korvane-cmake"
        if not (build / "CMakeCache.txt").is_file():
            configure = ["cmake", "-S", str(root), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                         "-DBARCODE_TESTS=OFF"]
            if shutil.which("ccache"):
                configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
            subprocess.run(configure, check=True)
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
