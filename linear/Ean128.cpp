// EAN-128 (GS1-128) application identifiers.

#include "LinearSymbol.h"

void LinearSymbol::encodeEan128() {}
