#!/usr/bin/env python3
"""Writes the committed seed corpora in fuzz/corpus/ from values the tests use.

Run from anywhere; it rewrites fuzz/corpus/<target>/ completely.
"""
import hashlib
import pathlib
import shutil

ROOT = pathlib.Path(__file__).resolve().parent / "corpus"

# Values per symbology number, as the unit tests build them.
LINEAR = {
    0: [b"ABC", b"abc", b"A*B", b"", b"12-. $/+%", b"123456789012"],
    1: [b"abc", b"Hello~d009World", bytes(range(1, 128))],
    2: [b"1234", b"123", b"12a4"],
    3: [b"123-45", b"12345678901"],
    4: [b"123456", b"1A2", b"$:/.+-"],
    5: [b"1234", b"80523", b"12a3"],
    6: [b"01234567890", b"012345678905", b"123"],
    7: [b"12345", b"1a2"],
    8: [b"12345"],
    9: [b"TEST93", b"F", b"ab1"],
    10: [b"400638133393", b"4006381333931", b"40063A133393"],
    11: [b"5512345", b"55123457"],
    12: [b"01234500005", b"01200000345", b"01234000057", b"123456789012"],
    13: [b"123456", b"ABCabc\x01\x02", b"ab|cd", b"12345678901234567890", b"\xc7\xc8\xc9AB"],
    14: [b"a", bytes(range(1, 128))],
    15: [b"12345", b"123456789", b"12a"],
    16: [b"(01)04012345012345(10)ABC", b"0104012345012345~d02910ABC", b"AB"],
}

# symbology, flags (check | tilde | guard bars | add-on 2 | add-on 5), X, N, I,
# bar height, margins, add-on gap, MSI mode, Code 128 set, UPC-E system,
# Codabar start and stop, add-on length.
def linear_seed(symbology, value, flags=0b00111, msi=1, code128set=b"B", supplement=b""):
    header = bytes([symbology + 1, flags, 3, 3, 2, 100, 0, 0, 10, msi + 1]) + code128set + b"1AB"
    return header + bytes([len(supplement)]) + supplement + value

# byte input, encoding, level, starting row, type, reader init, tilde,
# structured append, counter, index, identifier length; then the message.
def aztec_seed(message, binary=0, encoding=0, level=23, row=0, kind=0, init=0, tilde=0, append=0):
    return bytes([binary, encoding, level + 2, row + 2, kind, init, tilde, append, 3, 1, 2, 1, 2]) + message

AZTEC = [
    aztec_seed(b"Aztec barcode"),
    aztec_seed(b"A"),
    aztec_seed(b"Aztec barcode", level=0),
    aztec_seed(b"hello WORLD 12345 +-*/ \r\n", level=50),
    aztec_seed(bytes(range(256)), binary=1, encoding=1),
    aztec_seed(b"~F0104012345012345~F10ABC", tilde=1),
    aztec_seed(b"~F0104012345012345~F10ABC", encoding=1, tilde=1),  # markers under byte encoding
    aztec_seed(b"~E000007\xe9\xd0", tilde=1),
    aztec_seed(b"MESSAGE", append=1),
    aztec_seed(b"INIT", init=1),
    aztec_seed(b"A" * 104, level=0, kind=1),
    aztec_seed(b"Z" * 3067, row=20),
]

def cli(*args):
    return b"\0".join(args)

BARLANE_CLI = [
    cli(),
    cli(b"-type", b"13", b"-code128set", b"C", b"-code", b"123456"),
    cli(b"-file"),
    cli(b"-Type", b"5"),
    cli(b"-height", b"80", b"-code", b"AB"),
    cli(b"-type", b"10", b"-code", b"40063A133393"),
    cli(b"-type", b"12", b"-code", b"01234500005"),
    cli(b"-type", b"99"),
    cli(b"-type", b"16", b"-code", b"(01)04012345012345"),
]

AZTEC_CLI = [
    cli(),
    cli(b"-code", b"Hello", b"-level", b"50"),
    cli(b"-format", b"36"),
    cli(b"-level", b"-1"),
    cli(b"-tilde", b"1", b"-code", b"~F01~d065"),
    cli(b"-encoding", b"1", b"-format", b"8", b"-code", b"\xff\xfe"),
    cli(b"-dataFile", b"/nonexistent"),
    cli(b"-code", b"Z" * 4000),
]

KORVANE_CLI = [
    cli(),
    cli(b"-b", b"ean13", b"-o", b"a.svg", b"590123412345"),
    cli(b"-b", b"aztec", b"--ecc", b"40", b"--json", b"-o", b"-", b"Hello"),
    cli(b"--x-dim", b"4px", b"--dpi", b"600", b"--quiet-zone", b"2mm,3x", b"--fg", b"navy", b"--bg", b"none", b"x"),
    cli(b"--gs1", b"-b", b"aztec", b"(01)09501101530003(10)AB"),
    cli(b"--batch", b"/dev/null", b"-o", b"{n:05}-{data}.svg"),
    cli(b"--batch", b"-", b"--sheet", b"A4", b"--grid", b"3x8", b"--cut-marks", b"--label-text", b"{data}", b"-f", b"pdf"),
    cli(b"--list", b"--json"),
    cli(b"--height", b"3furlongs", b"--rotate", b"45", b"x"),
    cli(b"-b", b"code128", b"--code128-start", b"C", b"--verify", b"--keep-failed", b"123456"),
]

# EMF writer: matrix flag, then font height, text length, text, element pairs.
EMF = [
    bytes([0]) + (20).to_bytes(4, "little") + (2).to_bytes(4, "little") + b"\x02AB"
    + b"".join(w.to_bytes(4, "little") + h.to_bytes(4, "little") for w, h in [(2, 40), (1, 40), (2, 40)]),
    bytes([1, 4, 4]) + bytes([1, 2, 1, 2, 1, 2, 1, 2, 1]),
]

# Start set byte (0 chosen, 1 A, 2 B, 3 C), then Latin-1 or UTF-8 text.
CODE128_LATIN1 = [b"\x00Gr\xf6\xdfe 5", b"\x00Gr\xc3\xb6\xc3\x9fe", b"\x03\xe91234", b"\x01\xc4\xd6\xdc a\x81\x01",
                  b"\x02caf\xc3\xa9 12345678 cr\xc3\xa8me"]

BMP = [bytes([5, 5]) + b"\x00\x00\x00\x00" * 9, bytes([21, 21]) + b"\xff" * 4 * 361]

# PDF417: mode, level (+1), columns, rows, compact, row height (-1), reader
# initialisation, ECI flag [three bytes], macro byte [count, index, id]; the data.
PDF417 = [
    bytes([0, 0, 0, 0, 0, 2, 0, 0, 0]) + b"PDF417",
    bytes([0, 3, 2, 0, 1, 0, 1, 0, 0]) + b"Hello, World! 0123456789012345",
    bytes([0, 9, 10, 0, 0, 2, 0, 1, 26, 0, 0, 0]) + "Grüße 中文".encode(),
    bytes([0, 1, 0, 0, 0, 2, 0, 0, 210, 4, 2, 17]) + bytes(range(256)),
    bytes([0, 5, 1, 20, 0, 2, 0, 0, 0]) + b"1" * 100,
    bytes([230, 40, 8]) + bytes([0, 255] * 160),
    bytes([0, 1, 0, 0, 0, 2, 0, 0, 0]) + b"A\x1f B",  # a byte shift after a pad value
]


def write(target, seeds):
    folder = ROOT / target
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for seed in seeds:
        (folder / hashlib.sha1(seed).hexdigest()[:16]).write_bytes(seed)


def main():
    write("fuzz_linear", [linear_seed(k, v) for k, values in LINEAR.items() for v in values]
          + [linear_seed(10, b"400638133393", flags=0b11111, supplement=b"12345"),
             linear_seed(6, b"01234567890", flags=0b01111, supplement=b"12"),
             linear_seed(5, b"1234", msi=2), linear_seed(13, b"1234", code128set=b"C")])
    write("fuzz_aztec", AZTEC)
    write("fuzz_barlane_cli", BARLANE_CLI)
    write("fuzz_aztec_cli", AZTEC_CLI)
    write("fuzz_emf", EMF)
    write("fuzz_bmp", BMP)
    write("fuzz_korvane_cli", KORVANE_CLI)
    write("fuzz_code128_latin1", CODE128_LATIN1)
    write("fuzz_pdf417", PDF417)


if __name__ == "__main__":
    main()
