// MSI.

#include "LinearSymbol.h"

void LinearSymbol::encodeMsi() {}
int LinearSymbol::msiMod10Digit(const std::string&) const { return 0; }
