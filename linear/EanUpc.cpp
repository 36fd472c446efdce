// EAN-13, EAN-8 and UPC-A.

#include "LinearSymbol.h"

void LinearSymbol::encodeEan13() {}
void LinearSymbol::encodeEan8() {}
void LinearSymbol::encodeUpcA() {}
std::string LinearSymbol::eanCheckDigit(const std::string&) const { return {}; }
