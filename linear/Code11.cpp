// Code 11.

#include "LinearSymbol.h"

void LinearSymbol::encodeCode11() {}
