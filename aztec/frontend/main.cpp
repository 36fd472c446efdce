#include "AztecCli.h"

#include <iostream>

int main(int argc, char** argv) { return aztec(argc, argv, std::cout, std::cerr); }
