// The two-of-five family: Interleaved, Industrial and Matrix 2 of 5.

#include "LinearSymbol.h"

void LinearSymbol::encodeInterleaved2of5() {}
void LinearSymbol::encodeIndustrial2of5() {}
void LinearSymbol::encodeMatrix2of5() {}
