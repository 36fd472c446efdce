"""Python types the extension returns and raises."""

from typing import NamedTuple, Optional, Tuple


class EncodeError(ValueError):
    """The data or an option cannot make a symbol.

    ``code`` is the library's short name for the cause ("invalid-data",
    "check-digit", "data-too-long", "invalid-option", "unknown-symbology",
    "size-too-large", "unknown-format"); ``position`` the 1-based position of
    the character at fault where the message names one, else None.
    """

    def __init__(self, message: str, code: str = "invalid-data", position: Optional[int] = None) -> None:
        super().__init__(message)
        self.message = message
        self.code = code
        self.position = position

    def __reduce__(self):  # picklable, so errors cross process pools intact
        return (type(self), (self.message, self.code, self.position))

    def __repr__(self) -> str:
        return f"EncodeError({self.message!r}, code={self.code!r}, position={self.position!r})"


class SymbologyInfo(NamedTuple):
    """One symbology as the library's registry describes it."""

    name: str
    title: str
    aliases: Tuple[str, ...]
    characters: str
    check: str  # "none", "optional", "optional-on" or "mandatory"
    matrix: bool
    capabilities: Tuple[str, ...]
    options: Tuple[str, ...]  # the encoder keywords that apply
    default_x_mm: float
    max_data_bytes: int  # longer data is refused before any other work
