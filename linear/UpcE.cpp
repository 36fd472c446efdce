// UPC-E and the add-on supplements.

#include "LinearSymbol.h"

void LinearSymbol::encodeUpcE() {}
std::string LinearSymbol::compressUpcE(const std::string&) const { return {}; }
void LinearSymbol::encodeSupplement2(const std::string&) {}
void LinearSymbol::encodeSupplement5(const std::string&) {}
