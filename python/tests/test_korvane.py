"""The Python package against the library: round trips, bytes equal to the
command's, errors, batches, threads, data types, arrays and notebook views."""

import concurrent.futures
import doctest
import io
import json
import os
import pydoc
import re
import subprocess
import warnings
from pathlib import Path

import numpy
import pytest

import korvane
from conftest import REPO, SAMPLES, read_png

FORMATS = ["svg", "pdf", "eps", "png", "emf", "bmp"]
NAMES = [s.name for s in korvane.symbologies()]
EAN = [f"{n:012d}" for n in range(590123412000, 590123412025)]
LABELS = [korvane.encode("ean13", value) for value in EAN]


def test_every_symbology_has_a_sample():
    assert sorted(SAMPLES) == sorted(NAMES)


@pytest.mark.parametrize("name", NAMES)
def test_round_trip(name):
    data, read = SAMPLES[name]
    symbol = korvane.encode(name, data)
    assert symbol.verify().ok
    if read is not None:
        result = read_png(symbol.png())
        assert result is not None and result.text == read


@pytest.mark.parametrize("fmt", FORMATS)
@pytest.mark.parametrize("name", NAMES)
def test_bytes_equal_to_command(korvane_command, name, fmt):
    data = SAMPLES[name][0]
    ours = getattr(korvane.encode(name, data), fmt)()
    if isinstance(ours, str):
        ours = ours.encode()
    assert ours == korvane_command("-b", name, "-f", fmt, "-o", "-", data)


# Options as keywords and as the command's arguments: the same symbol.
OPTION_CASES = [
    ("ean13", "590123412345", dict(x_dim="0.33mm", dpi=300), ["--x-dim", "0.33mm", "--dpi", "300"]),
    ("ean13", "590123412345", dict(add_on="12", no_text=True), ["--add-on", "12", "--no-text"]),
    ("code128", "ABC-123", dict(x_dim="10mil", height=15, fg="000080", bg="none", rotate=90),
     ["--x-dim", "10mil", "--height", "15mm", "--fg", "navy", "--bg", "none", "--rotate", "90"]),
    ("code128", "ABC", dict(code128_start="a", quiet_zone=(5, "1mm")), ["--code128-start", "A", "--quiet-zone", "5,1mm"]),
    ("code39", "AB12", dict(check=True, wide_ratio=2, bwr="0.02mm", dpi=600), ["--check", "--wide-ratio", "2", "--bwr", "0.02mm", "--dpi", "600"]),
    ("msi", "1234", dict(msi_check="mod11-mod10"), ["--msi-check", "mod11-mod10"]),
    ("code11", "123-45", dict(check=False, height="40x"), ["--no-check", "--height", "40x"]),
    ("codabar", "1234", dict(codabar_start="C", codabar_stop="d"), ["--codabar-start", "C", "--codabar-stop", "D"]),
    ("upce", "123456", dict(upce_system=1), ["--upce-system", "1"]),
    ("code128", "(01)09501101530003", dict(gs1=True), ["--gs1"]),
    ("aztec", "Seat 14C", dict(ecc=40, aztec_size=23, x_dim="4px", dpi=None), ["--ecc", "40", "--aztec-size", "23", "--x-dim", "4px", "--dpi", "none"]),
    ("aztec", "~F0104012345012345~E000026x", dict(escapes=True, full_range=True), ["--escapes", "--full-range"]),
    ("aztec", "ORDER", dict(structured=(2, 3, "ID"), reader_init=False), ["--structured", "2/3:ID"]),
    ("aztec", "Aztec barcode", dict(aztec_encoder="specified", aztec_bytes=True), ["--aztec-encoder", "specified", "--aztec-bytes"]),
]


@pytest.mark.parametrize("name,data,keywords,arguments", OPTION_CASES)
def test_options_equal_to_command(korvane_command, name, data, keywords, arguments):
    symbol = korvane.encode(name, data, **keywords)
    for fmt in ("svg", "png"):
        ours = getattr(symbol, fmt)()
        ours = ours.encode() if isinstance(ours, str) else ours
        assert ours == korvane_command("-b", name, "-f", fmt, *arguments, "-o", "-", data)


# Every front end takes an option as the command does, from one table shared
# with the JavaScript tests: the same values accepted (the same bytes), the
# same refused. Ranges, colours and words drifted apart when each front end
# kept its own.
PARITY = json.loads((REPO / "tests" / "options" / "parity.json").read_text())


def typed(value):
    if isinstance(value, list):
        return tuple(value)
    if isinstance(value, dict):
        return {k.replace("-", "_"): v for k, v in value.items()}
    return value


@pytest.mark.parametrize("case", PARITY, ids=lambda c: f"{c['symbology']}-{c['option']}={c['value']}")
def test_options_as_the_command_takes_them(korvane_run, case):
    given = {**case.get("extra", {}), case["option"]: case["value"]}
    keywords = {k.replace("-", "_"): typed(v) for k, v in given.items()}
    status, theirs, _ = korvane_run("-b", case["symbology"], "-f", "svg", *case["args"], "-o", "-", "--", case["data"])
    try:
        ours = korvane.encode(case["symbology"], case["data"], **keywords).svg().encode()
    except korvane.EncodeError:
        ours = None
    assert (ours is None) == bool(case.get("refused")) == (status != 0)
    assert ours is None or ours == theirs


GS1_CASES = [
    ("check", "(01)09506000134352(10)A"), ("check", "(10)A"), ("check", "(17)270132"),
    ("dl", "(01)09506000134352(10)ABC1(17)270101"), ("dl", "(10)A"),
    ("parse", "https://id.gs1.org/01/09506000134352/10/ABC1?17=270101"), ("parse", "ftp://id.gs1.org/01/1"),
    ("hri", "(01)09506000134352(17)270101"),
]
GS1_CALLS = {"check": lambda d: "".join(f"note: {n}\n" for n in korvane.gs1_check(d)) + "ok\n",
             "dl": korvane.gs1_digital_link, "parse": korvane.gs1_from_digital_link, "hri": korvane.gs1_hri}


@pytest.mark.parametrize("what,data", GS1_CASES)
def test_gs1_as_the_command_says(korvane_run, what, data):
    status, out, err = korvane_run("gs1", what, data)
    try:
        ours = GS1_CALLS[what](data)
    except korvane.EncodeError as e:
        assert status == 1 and str(e) in (out.decode() + err)
        return
    assert status == 0
    assert out.decode() == (ours if what == "check" else ours + "\n")


def test_layout_warnings_reach_python_as_the_command_prints_them(korvane_run):
    _, _, printed = korvane_run("-b", "ean13", "--x-dim", "0.1mm", "--height", "5", "-o", "-", "590123412345")
    theirs = [line.removeprefix("korvane: warning: ") for line in printed.splitlines()]
    symbol = korvane.encode("ean13", "590123412345", x_dim="0.1mm", height=5)
    with pytest.warns(UserWarning) as issued:
        symbol.svg()
    assert [str(w.message) for w in issued] == theirs
    assert len(theirs) == 3 and symbol.warnings == theirs


def test_layout_keywords_of_a_call_override_those_of_encode():
    symbol = korvane.encode("ean13", "590123412345", dpi=600)
    assert symbol.svg(dpi=300) == korvane.encode("ean13", "590123412345").svg()
    assert symbol.svg() == korvane.encode("ean13", "590123412345").svg(dpi=600)


ERROR_CASES = [
    # call, exception, code, position
    (lambda: korvane.encode("code39", "AB a"), korvane.EncodeError, "invalid-data", 4),
    (lambda: korvane.encode("ean13", "5901234123458"), korvane.EncodeError, "check-digit", None),
    (lambda: korvane.encode("nosuch", "1"), korvane.EncodeError, "unknown-symbology", None),
    (lambda: korvane.encode("ean13", "1234567", ecc=30), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.encode("aztec", "x", ecc=99), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.encode("aztec", "x" * 5000), korvane.EncodeError, "data-too-long", None),
    (lambda: korvane.encode("pdf417", "A" * 100_000), korvane.EncodeError, "data-too-long", None),
    (lambda: korvane.encode("aztec", "x", height=10), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.encode("ean13", "590123412345", x_dim="3furlongs"), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.encode("ean13", "590123412345").svg(dpi=10**6), korvane.EncodeError, "size-too-large", None),
    (lambda: korvane.encode("ean13", "590123412345").save("a.gif"), korvane.EncodeError, "unknown-format", None),
    (lambda: korvane.encode("ean13", "590123412345", fg="none"), ValueError, None, None),
    (lambda: korvane.encode("ean13", "590123412345", bg="#12"), ValueError, None, None),
    (lambda: korvane.encode("code128", "A", code128_start="D"), ValueError, None, None),
    (lambda: korvane.encode("ean13", "590123412345", colour="red"), TypeError, None, None),
    (lambda: korvane.encode("ean13", 590123412345), TypeError, None, None),
    (lambda: korvane.encode("aztec", "x", compact="yes"), TypeError, None, None),
    (lambda: korvane.encode("aztec", "x", ecc=2.5), TypeError, None, None),
    (lambda: korvane.encode("ean13", "590123412345").svg(ecc=3), TypeError, None, None),
    (lambda: korvane.encode("ean13", "590123412345").save("/nonexistent-folder/a.svg"), OSError, None, None),
    (lambda: korvane.encode_many("ean13", "590123412345"), TypeError, None, None),
    (lambda: korvane.encode_many("ean13", ["590123412345"], format="gif"), korvane.EncodeError, "unknown-format", None),
    (lambda: korvane.sheet(LABELS, grid=(0, 8)), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.sheet(LABELS, grid=(101, 1)), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.sheet(LABELS, grid="3by8"), ValueError, None, None),
    (lambda: korvane.sheet(LABELS, grid=3), TypeError, None, None),
    (lambda: korvane.sheet(LABELS, page="B9"), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.sheet(LABELS, page="100x150px"), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.sheet(LABELS, margins="2px"), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.sheet(LABELS, margins=(1, 2, 3, 4, 5)), ValueError, None, None),
    (lambda: korvane.sheet(LABELS, margins=105), korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.sheet(LABELS, grid=(100, 1), gap=3), korvane.EncodeError, "invalid-option", None),
    # A label given its own X is not shrunk to fit its cell.
    (lambda: korvane.sheet([korvane.encode("ean13", "590123412345", x_dim=0.5)], grid=(8, 8)),
     korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.sheet(LABELS + [korvane.encode("ean13", "590123412345", fg="000080")]),
     korvane.EncodeError, "invalid-option", None),
    (lambda: korvane.sheet([]), ValueError, None, None),
    (lambda: korvane.sheet(["590123412345"]), TypeError, None, None),
    (lambda: korvane.sheet(LABELS, label_text=["one"]), ValueError, None, None),
    (lambda: korvane.sheet(LABELS, dpi=0), ValueError, None, None),
    (lambda: korvane.sheet(LABELS, path="/nonexistent-folder/sheet.pdf"), OSError, None, None),
    (lambda: korvane.sheet(LABELS, path="sheet.txt"), korvane.EncodeError, "unknown-format", None),
]


@pytest.mark.parametrize("call,exception,code,position", ERROR_CASES)
def test_errors(call, exception, code, position):
    with pytest.raises(exception) as caught:
        call()
    if code is not None:
        assert isinstance(caught.value, ValueError)
        assert (caught.value.code, caught.value.position) == (code, position)
        assert str(caught.value) and "\n" not in str(caught.value)


@pytest.mark.parametrize("name", NAMES)
def test_every_option_of_the_table_has_a_conversion(name):
    # A wrong type is refused by the option's own conversion, never as an option Python lacks.
    for keyword in next(s for s in korvane.symbologies() if s.name == name).options:
        with pytest.raises(TypeError) as caught:
            korvane.encode(name, SAMPLES[name][0], **{keyword: object()})
        assert "not yet available" not in str(caught.value)


def test_symbologies_carry_the_registry():
    infos = {s.name: s for s in korvane.symbologies()}
    assert infos["aztec"].matrix and "eci" in infos["aztec"].capabilities and "ecc" in infos["aztec"].options
    assert "add-on" in infos["ean13"].capabilities and "ecc" not in infos["ean13"].options
    assert (infos["qr"].max_data_bytes, infos["ean13"].max_data_bytes) == (7089, 19)
    for info in infos.values():  # every alias names its symbology
        for alias in info.aliases:
            assert korvane.encode(alias, SAMPLES[info.name][0]).symbology == info.name


VALUES = ["590123412345", "59012341234X", b"400638133393", "12", "9780201379624"]


@pytest.mark.parametrize("fmt", [None, "svg", "png"])
def test_encode_many_keeps_order_and_failures(fmt):
    results = korvane.encode_many("ean13", VALUES * 40, format=fmt, x_dim="0.33mm")
    assert len(results) == len(VALUES) * 40
    for value, result in zip(VALUES * 40, results):
        try:
            expected = korvane.encode("ean13", value, x_dim="0.33mm")
        except korvane.EncodeError as error:
            assert isinstance(result, korvane.EncodeError)
            assert (result.code, str(result)) == (error.code, str(error))
            continue
        if fmt is None:
            assert result.svg() == expected.svg() and result.facts == expected.facts
        else:
            assert result == getattr(expected, fmt)()


def test_encode_many_on_one_thread_gives_the_same():
    values = [f"{n:012d}" for n in range(500)]
    assert korvane.encode_many("ean13", values, format="svg", jobs=1) == korvane.encode_many("ean13", values, format="svg")


def test_threads_give_what_one_thread_gives():
    values = [f"Item {n}" for n in range(200)]
    expected = [korvane.encode("aztec", v).png() for v in values]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        assert list(pool.map(lambda v: korvane.encode("aztec", v).png(), values)) == expected


@pytest.mark.parametrize("data,facts_data", [
    ("Grüße €", "Grüße €"),                       # str goes in as UTF-8 and comes back as str
    ("Grüße €".encode(), "Grüße €".encode()),     # bytes stay bytes
    (b"\x00\xff\x80", b"\x00\xff\x80"),           # any byte
    (bytearray(b"AB"), b"AB"),
])
def test_unicode_and_bytes_data(data, facts_data):
    symbol = korvane.encode("aztec", data)
    assert symbol.facts["data"] == facts_data
    as_bytes = data.encode() if isinstance(data, str) else bytes(data)
    assert symbol.png() == korvane.encode("aztec", as_bytes).png()
    assert read_png(symbol.png()).bytes == as_bytes


def test_to_array_shape_and_sharing():
    symbol = korvane.encode("aztec", "Seat 14C", x_dim="2px", dpi=None, quiet_zone=0)
    array = symbol.to_array()
    side = 2 * symbol.rows
    assert array.shape == (side, side) and array.dtype == numpy.uint8
    assert set(numpy.unique(array)) == {0, 255}
    assert numpy.array_equal(array[::2, ::2], symbol.to_array(x_dim="1px"))
    raster = symbol.raster(scale=3)
    first, second = numpy.asarray(raster), numpy.asarray(raster)
    assert first.shape == (3 * side, 3 * side) and numpy.shares_memory(first, second)
    first[0, 0] = 7  # the raster's own memory, not a copy
    assert second[0, 0] == 7


def test_image_and_notebook_views():
    symbol = korvane.encode("ean13", "590123412345", dpi=200)
    assert symbol._repr_svg_() == symbol.svg() and symbol._repr_png_() == symbol.png()
    assert symbol._repr_png_().startswith(b"\x89PNG\r\n\x1a\n")
    image = symbol.to_image()
    assert image.size == tuple(reversed(symbol.to_array().shape))


def test_save_writes_the_format_of_the_extension(tmp_path):
    symbol = korvane.encode("code128", "Saved", dpi=150)
    for fmt in FORMATS:
        symbol.save(tmp_path / f"a.{fmt}")
        expected = getattr(symbol, fmt)()
        assert (tmp_path / f"a.{fmt}").read_bytes() == (expected.encode() if fmt == "svg" else expected)
    symbol.save(str(tmp_path / "b.out"), format="pdf")
    assert (tmp_path / "b.out").read_bytes() == symbol.pdf()


def test_help_shows_the_docstrings():
    text = pydoc.render_doc(korvane)
    for phrase in ("encode(symbology, data, **options)", "encode_many(symbology, values", "svg(**layout)",
                   "to_array(scale=1", "EncodeError",
                   "sheet(symbols, page="):
        assert phrase in text


@pytest.mark.parametrize("name,key,options,expected", [
    ("qr", "qr", {"qr_version": 3, "qr_level": "h", "no_boost": True}, {"version": 3, "level": "H"}),
    ("datamatrix", "data_matrix", {"dm_shape": "rect"}, {"shape": "rectangular"}),
    ("pdf417", "pdf417", {"pdf_columns": 4, "pdf_level": 3, "pdf_macro": {"file_name": "a.pdf"}},
     {"columns": 4, "level": 3}),
    ("microqr", "qr", {"qr_version": 3, "qr_level": "m", "no_boost": True}, {"version_name": "M3", "level": "M"}),
    ("rmqr", "qr", {"rmqr_size": (13, 43), "qr_level": "h"}, {"version_name": "R13x43", "level": "H"}),
])
def test_matrix_facts_follow_the_options(name, key, options, expected):
    facts = korvane.encode(name, SAMPLES[name][0], **options).facts[key]
    assert {k: facts[k] for k in expected} == expected and facts["check_codewords"] > 0


@pytest.mark.parametrize("name,printer,layout,letter", [
    ("ean13", "ideal", {}, "A"),
    ("code128", "ideal", {"fg": "808080"}, "F"),   # grey bars: minimum reflectance fails
    ("aztec", "thermal203", {}, None),              # graded, whatever the printer makes of it
    ("postnet", "ideal", {}, ""),                   # read by bar heights: not graded
])
def test_grade(name, printer, layout, letter):
    g = korvane.encode(name, SAMPLES[name][0]).grade(printer, **layout)
    if letter == "":
        assert not g.graded and g.reason
        return
    assert g.graded and g.printer == printer and g.parameters
    if letter is not None:
        assert g.letter == letter


def test_grade_refuses_an_unknown_printer():
    with pytest.raises(korvane.EncodeError) as caught:
        korvane.encode("ean13", "590123412345").grade("inkjet")
    assert caught.value.code == "invalid-option"
# Sheets: the command's pages for the same batch, and what a PDF reader makes of them.
SHEET_CASES = [
    # keywords, the command's arguments, pages, page size in pt, labels fitted at a smaller X
    (dict(page="A4", grid=(3, 8), cut_marks=True, label_text="{n}"),
     ["--sheet", "A4", "--grid", "3x8", "--cut-marks", "--label-text", "{n}"], 2, (595.2, 841.92), False),
    (dict(page="4x6in", grid="2x3", margins=("5mm", 3), gap=(2, "1mm")),
     ["--sheet", "4x6in", "--grid", "2x3", "--margins", "5mm,3", "--gap", "2,1mm"], 5, (288, 432), False),
    (dict(page=(60, "40mm"), grid=(2, 2), margins=(2, 1, 3, 4), dpi=600),
     ["--sheet", "60x40mm", "--grid", "2x2", "--margins", "2,1,3,4", "--dpi", "600"], 7, (170.04, 113.4), True),
]


@pytest.mark.parametrize("keywords,arguments,pages,size,fitted", SHEET_CASES)
def test_sheet_equal_to_command_and_read_by_poppler(korvane_command, tmp_path, keywords, arguments, pages, size, fitted):
    (tmp_path / "codes.txt").write_text("\n".join(EAN) + "\n")
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        pdf = korvane.sheet([korvane.encode("ean13", v, dpi=keywords.get("dpi", 300)) for v in EAN], **keywords)
    assert bool(caught) == fitted
    assert pdf == korvane_command("-b", "ean13", "--batch", str(tmp_path / "codes.txt"), *arguments, "-f", "pdf", "-o", "-")
    info = subprocess.run(["pdfinfo", "-"], input=pdf, capture_output=True, check=True).stdout.decode()
    assert int(re.search(r"Pages:\s+(\d+)", info).group(1)) == pages
    width, height = map(float, re.search(r"Page size:\s+([\d.]+) x ([\d.]+) pts", info).groups())
    assert (width, height) == pytest.approx(size, abs=0.01)


def test_sheet_files_per_page_as_the_command_names_them(korvane_command, tmp_path):
    (tmp_path / "codes.txt").write_text("\n".join(EAN) + "\n")
    korvane.sheet(LABELS, "A5", (2, 4), path=tmp_path / "py.png")
    korvane_command("-b", "ean13", "--batch", str(tmp_path / "codes.txt"), "--sheet", "A5", "--grid", "2x4",
                    "-o", str(tmp_path / "cmd.png"))
    in_memory = korvane.sheet(LABELS, "A5", (2, 4), format="png")
    assert len(in_memory) == 4
    for n, page in enumerate(in_memory, 1):
        assert (tmp_path / f"py-{n}.png").read_bytes() == (tmp_path / f"cmd-{n}.png").read_bytes() == page
    korvane.sheet(LABELS[:3], "A5", (2, 4), path=tmp_path / "one.svg")  # a single page keeps its name
    assert (tmp_path / "one.svg").read_text() == korvane.sheet(LABELS[:3], "A5", (2, 4), format="svg")[0]


def doc_examples():
    """The Python sessions (```python blocks starting >>>) of README.md and of every page of docs/."""
    readme = Path(os.environ.get("KORVANE_README", REPO / "README.md"))
    found = []
    for page in [readme, *sorted((readme.parent / "docs").glob("*.md"))]:
        blocks = re.findall(r"```python\n(>>> .*?)```", page.read_text(encoding="utf-8"), re.S)
        found += [pytest.param(page, block, id=f"{page.name}-{n}") for n, block in enumerate(blocks, 1)]
    return found


def test_readme_and_docs_keep_their_python_examples():
    pages = {param.values[0].name for param in doc_examples()}
    assert {"README.md", "python.md"} <= pages, pages


@pytest.mark.parametrize("page, example", doc_examples())
def test_readme_example_runs_as_printed(page, example, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    out = io.StringIO()
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
    runner.run(doctest.DocTestParser().get_doctest(example, {}, page.name, str(page), 0), out=out.write)
    assert runner.failures == 0, out.getvalue()
    # The files the session saves are there.
    for name in re.findall(r'(?:save\(|path=)"([^"]+)"', example):
        assert (tmp_path / name).is_file(), name
