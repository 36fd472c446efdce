"""Building and installing: what the build says when something is missing, and
the extras the optional features name."""

import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

import korvane
from conftest import REPO

# The repository the package is built from (scripts/test-python.sh names it:
# the tests run from a copy).
SOURCE = Path(os.environ.get("KORVANE_SOURCE_DIR", REPO))

# A feature, the module it imports, and the extra that installs it.
EXTRAS = [
    ("to_image", ("PIL", "PIL.Image"), "korvane[image]"),
    ("to_array", ("numpy",), "korvane[array]"),
]


@pytest.mark.parametrize("method,modules,extra", EXTRAS)
def test_a_missing_extra_names_what_to_install(monkeypatch, method, modules, extra):
    for module in modules:
        monkeypatch.setitem(sys.modules, module, None)  # import fails as if not installed
    with pytest.raises(ImportError, match=re.escape(f"pip install '{extra}'")):
        getattr(korvane.encode("ean13", "590123412345"), method)()


def run_build(env_extra, cwd, *args, timeout=120):
    env = dict(os.environ, PWD=str(cwd), **env_extra)  # as a shell leaves PWD
    return subprocess.run([sys.executable, *args], cwd=cwd, env=env, capture_output=True, text=True,
                          timeout=timeout, check=False)


@pytest.mark.skipif(not (SOURCE / "python" / "setup.py").is_file(), reason="no repository to build from")
def test_without_pybind11_the_build_says_what_to_install():
    # An interpreter without pybind11, as pyenv's is: the import fails.
    code = ("import sys, runpy; sys.modules['pybind11'] = None; sys.argv = ['setup.py', '--version']; "
            "runpy.run_path('setup.py', run_name='__main__')")
    done = run_build({}, SOURCE / "python", "-c", code)
    assert done.returncode != 0
    assert "python3-pybind11" in done.stderr and "/usr/bin/python3" in done.stderr, done.stderr


@pytest.mark.skipif(not (SOURCE / "python" / "setup.py").is_file(), reason="no repository to build from")
def test_a_relative_build_folder_is_taken_from_where_the_command_runs(tmp_path):
    # From the repository's root, a build folder that is not there: an error
    # naming the folder under the root, and no tree configured under python/.
    name = f"build-absent-{os.getpid()}"
    done = run_build({"KORVANE_BUILD_DIR": name}, SOURCE,
                     "-m", "build", "--no-isolation", "--wheel", "--outdir", str(tmp_path), "python")
    assert done.returncode != 0
    assert f"{SOURCE / name}, which holds no CMake build" in done.stdout + done.stderr, done.stdout + done.stderr
    assert not (SOURCE / "python" / name).exists()


@pytest.mark.skipif(not any((SOURCE / name / "CMakeCache.txt").is_file() for name in ("build-release", "build")),
                    reason="no build of the repository to reuse")
def test_a_build_of_the_repository_is_reused(tmp_path):
    # After the quick start (or the test script's build), the extension links
    # that library instead of compiling it again in a tree of its own.
    done = run_build({"KORVANE_BUILD_DIR": ""}, SOURCE / "python", "setup.py", "build_ext", "--dry-run",
                     "--build-temp", str(tmp_path / "temp"), "--build-lib", str(tmp_path / "lib"))
    assert done.returncode == 0, done.stdout + done.stderr
    used = [line for line in done.stdout.splitlines() if line.startswith("korvane: linking the library built in ")]
    assert used and Path(used[0].rsplit(" ", 1)[1]).parent == SOURCE, done.stdout
    assert not (tmp_path / "temp" / "korvane-cmake").exists()
