"""Barcodes in every symbology the korvane library knows, at real printed sizes.

    >>> import korvane
    >>> symbol = korvane.encode("ean13", "590123412345", x_dim="0.33mm", dpi=300)
    >>> symbol.save("label.png")
    >>> svg = korvane.encode("aztec", "Seat 14C").svg()

encode() makes a Symbol; its methods draw it as SVG, PDF, EPS, PNG, EMF or
BMP, read it back (verify()), or give its dots to NumPy (to_array()) and
Pillow (to_image()). encode_many() encodes a batch on all cores; sheet()
places symbols on pages of labels.
"""

import io as _io

from ._types import EncodeError, SymbologyInfo
from ._korvane import (Grade, QualityParameter, Raster, Symbol, Verdict, __version__, encode, encode_many,
                       gs1_check, gs1_digital_link, gs1_from_digital_link, gs1_hri, sheet, symbologies)

# Shown as korvane.EncodeError in tracebacks, where users catch it.
EncodeError.__module__ = SymbologyInfo.__module__ = "korvane"

__all__ = [
    "EncodeError",
    "Grade",
    "QualityParameter",
    "Raster",
    "Symbol",
    "SymbologyInfo",
    "Verdict",
    "encode",
    "encode_many",
    "gs1_check",
    "gs1_digital_link",
    "gs1_from_digital_link",
    "gs1_hri",
    "sheet",
    "symbologies",
    "__version__",
]


def _extra(feature, module, project, extra, debian):
    """Imports what an optional feature needs, or says what to install."""
    import importlib

    try:
        return importlib.import_module(module)
    except ImportError as e:
        raise ImportError(f"{feature} needs {project}, which is not installed: pip install 'korvane[{extra}]' "
                          f"(or Debian's {debian})", name=e.name) from e


def _to_array(self, scale=1, **layout):
    """to_array(scale=1, **layout) -> numpy.ndarray

    The bars or modules as a (height, width) array of uint8, 0 where dark and
    255 elsewhere (text is not drawn). The array shares the raster's memory:
    nothing is copied.
    """
    numpy = _extra("to_array()", "numpy", "NumPy", "array", "python3-numpy")
    return numpy.asarray(self.raster(scale=scale, **layout))


def _to_image(self, **layout):
    """to_image(**layout) -> PIL.Image.Image

    The symbol as a Pillow image, as png() draws it (text included). Needs
    Pillow: pip install 'korvane[image]'.
    """
    Image = _extra("to_image()", "PIL.Image", "Pillow", "image", "python3-pil")
    image = Image.open(_io.BytesIO(self.png(**layout)))
    image.load()
    return image


Symbol.to_array = _to_array
Symbol.to_image = _to_image
