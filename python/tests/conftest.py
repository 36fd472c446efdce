"""Shared fixtures: the korvane command built from the same sources, and zxing-cpp as the reader."""

import io
import os
import subprocess
from pathlib import Path

import pytest

# The repository: where the README the tests are pointed at stands (they run
# from a copy of this folder), else two folders up.
REPO = (Path(os.environ["KORVANE_README"]).resolve().parent if "KORVANE_README" in os.environ
        else Path(__file__).resolve().parents[2])

# One value per symbology, with what zxing-cpp reads from it (None where it
# reads no such symbol; verify() reads those).
SAMPLES = {
    "code39": ("CODE-39", "CODE-39"),
    "code39ext": ("Code39 ext", "C+O+D+E39 +E+X+T"),  # zxing-cpp reads the full-ASCII pairs as they are
    "code93": ("CODE93", "CODE93"),
    "code93ext": ("Code93ext", "Code93ext"),
    "code11": ("123-45", None),
    "codabar": ("A1234B", "1234"),
    "msi": ("1234", None),
    "itf": ("123456", "123456"),
    "industrial25": ("1234", None),
    "matrix25": ("1234", None),
    "ean13": ("590123412345", "5901234123457"),
    "ean8": ("9638507", "96385074"),
    "upca": ("03600029145", "036000291452"),
    "upce": ("0123456", "01234565"),
    "code128": ("Hello 128", "Hello 128"),
    "gs1-128": ("(01)09501101530003(10)AB12", "010950110153000310AB12"),
    "postnet": ("12345", None),
    "aztec": ("Seat 14C", "Seat 14C"),
    "qr": ("https://example.com/q", "https://example.com/q"),
    "datamatrix": ("Lot 42", "Lot 42"),
    "pdf417": ("Invoice 2026-0042", "Invoice 2026-0042"),
    "logmars": ("NSN-42", "NSN-42"),
    "vin": ("1M8GDM9AXKP042788", "1M8GDM9AXKP042788"),
    "pzn": ("1234567", "-12345678"),
    "code32": ("12345678", "3PRM8N"),
    "iata25": ("1234", None),
    "datalogic25": ("1234", None),
    "pharmacode": ("1234", None),
    "plessey": ("12AB", None),
    "telepen": ("Telepen", None),
    "telepen-num": ("1234", None),
    "databar": ("0950110153001", None),
    "databar-truncated": ("0950110153001", None),
    "databar-stacked": ("0950110153001", None),
    "databar-stacked-omni": ("0950110153001", None),
    "databar-expanded": ("(01)98898765432106(3202)012345(15)991231", None),
    "databar-expanded-stacked": ("(01)98898765432106(3202)012345(15)991231", None),
    "imb": ("01234567094987654321-01234", None),
    "planet": ("12345678901", None),
    "rm4scc": ("SN34RD1A", None),
    "kix": ("1231FZ13XHS", None),
    "auspost": ("1234567801234567", None),
    "ausreply": ("12345678", None),
    "ausroute": ("34567890", None),
    "ausredirect": ("98765432", None),
    "daft": ("FADTDAFT", None),
    "microqr": ("12345", "12345"),
    "rmqr": ("RMQR 2026", None),
    "upnqr": ("UPNQR", "UPNQR"),
}


@pytest.fixture(scope="session")
def korvane_run():
    """Runs the korvane command (KORVANE_CLI, else build/cli/korvane) and returns its status and standard output."""
    path = Path(os.environ.get("KORVANE_CLI", REPO / "build" / "cli" / "korvane"))
    if not os.access(path, os.X_OK):
        pytest.fail(f"the korvane command is needed at {path} (build it, or set KORVANE_CLI)")

    def run(*args: str):
        done = subprocess.run([str(path), *args], capture_output=True, check=False)
        return done.returncode, done.stdout, done.stderr.decode(errors="replace")

    return run


@pytest.fixture(scope="session")
def korvane_command(korvane_run):
    """Runs the korvane command and returns its standard output; it must succeed."""

    def run(*args: str) -> bytes:
        status, out, _ = korvane_run(*args)
        assert status == 0, f"status {status}"
        return out

    return run


def read_png(png: bytes):
    """What zxing-cpp reads from a PNG, or None."""
    import zxingcpp
    from PIL import Image

    return zxingcpp.read_barcode(Image.open(io.BytesIO(png)))
