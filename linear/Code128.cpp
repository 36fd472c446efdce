// Code 128.

#include "LinearSymbol.h"

void LinearSymbol::encodeCode128() {}
