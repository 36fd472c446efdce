// Postnet.

#include "LinearSymbol.h"

void LinearSymbol::encodePostnet() {}
void LinearSymbol::addPostnetPattern(const std::string&) {}
