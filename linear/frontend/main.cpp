// barlane: one value, one linear barcode, one EMF file.

#include "BarlaneCli.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return runBarlane(argc, argv, std::cout, std::cerr);
}
