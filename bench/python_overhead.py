#!/usr/bin/python3
"""The cost of korvane.encode("ean13", ...).svg() from Python beside the same
C++ calls (korvane_bench's EncodeSvgByName/Ean13), and the difference.

    bench/python_overhead.py [BUILD_DIR]    # BUILD_DIR with -DBARCODE_BENCHMARKS=ON, default build

Run with an interpreter that has the package installed (a venv made by
/usr/bin/python3, pip install --no-build-isolation ./python). Each figure is
the best of several repeats in CPU time (the process's, and Google
Benchmark's), so that other load on a shared machine does not count.
"""

import json
import subprocess
import sys
import time
import timeit
from pathlib import Path

import korvane

ROOT = Path(__file__).resolve().parents[1]
build = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build"

number = 20000
python_us = min(timeit.repeat(lambda: korvane.encode("ean13", "590123412345").svg(), number=number, repeat=7,
                                timer=time.process_time)) / number * 1e6

out = subprocess.run([str(build / "bench" / "korvane_bench"), "--benchmark_filter=EncodeSvgByName/Ean13",
                      "--benchmark_repetitions=7", "--benchmark_format=json"],
                     check=True, capture_output=True, text=True).stdout
runs = [b for b in json.loads(out)["benchmarks"] if b.get("run_type") == "iteration"]
cpp_us = min(b["cpu_time"] for b in runs) / 1000.0  # ns -> us

print(f"C++    encode + layout + SVG string: {cpp_us:7.2f} us")
print(f"Python korvane.encode(...).svg():     {python_us:7.2f} us")
print(f"overhead:                             {python_us - cpp_us:7.2f} us")
