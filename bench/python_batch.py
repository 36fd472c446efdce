#!/usr/bin/python3
"""encode_many of 10,000 EAN-13 to SVG strings in memory, on every core and
on one, beside a Python loop of encode(...).svg().

    bench/python_batch.py
"""

import os
import time
import timeit

import korvane

values = [f"{n:012d}" for n in range(10000)]


def best(call, repeat=5):
    """Best wall time and best CPU time (all threads) of a few runs."""
    wall = min(timeit.repeat(call, number=1, repeat=repeat))
    cpu = min(timeit.repeat(call, number=1, repeat=repeat, timer=time.process_time))
    return wall, cpu


cores = os.cpu_count()
many = best(lambda: korvane.encode_many("ean13", values, format="svg"))
one = best(lambda: korvane.encode_many("ean13", values, format="svg", jobs=1))
loop = best(lambda: [korvane.encode("ean13", v).svg() for v in values], repeat=3)
print(f"load average: {os.getloadavg()[0]:.1f} on {cores} cores (wall time counts the others' work too)")
for label, (wall, cpu) in [(f"encode_many, {cores} threads", many), ("encode_many, 1 thread", one),
                           ("loop of encode().svg()", loop)]:
    print(f"{label:26} wall {wall * 1000:7.1f} ms   CPU {cpu * 1000:7.1f} ms   for 10,000 EAN-13 SVGs")
