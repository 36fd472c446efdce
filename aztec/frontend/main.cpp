#include "AztecCli.h"

#include <iostream>

int main(int argc, char** argv) { return runAztec(argc, argv, std::cout, std::cerr); }
