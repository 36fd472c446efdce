// Code 93 and its full-ASCII form.

#include "LinearSymbol.h"

void LinearSymbol::encodeCode93() {}
void LinearSymbol::encodeCode93Extended() {}
