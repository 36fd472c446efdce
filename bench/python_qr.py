#!/usr/bin/python3
"""QR Code to SVG in memory beside Debian's python3-segno and python3-qrcode,
on the same data: a URL and 1,000 bytes of text.

    venv/bin/python bench/python_qr.py    # a venv of /usr/bin/python3 with the package installed

Level M (segno and korvane raise it where the version has room, qrcode does
not); the script checks that the three make symbols of the same size before
timing them. Needs a library with QR Code (korvane.symbologies() lists "qr").
Times are CPU times per call, best of five runs, so other load on the machine does not count.
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


def sizes(data):
    """Modules a side of each one's symbol, quiet zone left out."""
    q = qrcode.QRCode(error_correction=qrcode.constants.ERROR_CORRECT_M)
    q.add_data(data)
    q.make(fit=True)
    return korvane.encode("qr", data, qr_level="m").rows, segno.make(data, error="m").symbol_size(border=0)[0], \
        q.modules_count


for label, data in DATA.items():
    if len(set(sizes(data))) != 1:
        sys.exit(f"{label}: korvane, segno and qrcode make symbols of {sizes(data)} modules; not compared")
    ours = per_call(lambda d: korvane.encode("qr", d, qr_level="m").svg(), data)
    peers = {"segno": per_call(with_segno, data), "qrcode": per_call(with_qrcode, data)}
    fastest = min(peers.values())
    print(f"{label:12} korvane {ours:9.1f} us   segno {peers['segno']:9.1f} us   qrcode {peers['qrcode']:9.1f} us"
          f"   {fastest / ours:5.1f}x the faster peer")
