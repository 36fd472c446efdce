// Codabar.

#include "LinearSymbol.h"

void LinearSymbol::encodeCodabar() {}
