#!/usr/bin/python3
"""QR Code to SVG in memory beside Debian's python3-segno and python3-qrcode,
on the same data: a URL and 1,000 bytes of text.

    bench/python_qr.py

Needs a library with QR Code (korvane.symbologies() lists "qr"). Times are
CPU times per call, best of five runs, so other load on the machine does not count.
"""

import io
import sys
import time
import timeit

import korvane

if "qr" not in [s.name for s in korvane.symbologies()]:
    sys.exit("this build of korvane has no QR Code yet")

import qrcode
import qrcode.image.svg
import segno

DATA = {
    "URL": "https://example.com/orders/2026/12/09/item?id=5901234123457&ref=label",
    "1,000 bytes": ("Lorem ipsum dolor sit amet, consectetur adipiscing elit. " * 18)[:1000],
}


def with_segno(data):
    out = io.BytesIO()
    segno.make(data, error="m", boost_error=True).save(out, kind="svg")
    return out.getvalue()


def with_qrcode(data):
    q = qrcode.QRCode(error_correction=qrcode.constants.ERROR_CORRECT_M, image_factory=qrcode.image.svg.SvgPathImage)
    q.add_data(data)
    q.make(fit=True)
    return q.make_image().to_string()


def per_call(call, data):
    number = 50
    return min(timeit.repeat(lambda: call(data), number=number, repeat=5, timer=time.process_time)) / number * 1e6


for label, data in DATA.items():
    ours = per_call(lambda d: korvane.encode("qr", d).svg(), data)
    peers = {"segno": per_call(with_segno, data), "qrcode": per_call(with_qrcode, data)}
    fastest = min(peers.values())
    print(f"{label:12} korvane {ours:9.1f} us   segno {peers['segno']:9.1f} us   qrcode {peers['qrcode']:9.1f} us"
          f"   {fastest / ours:5.1f}x the faster peer")
