// korvane: barcodes from the command line. Everything but the process's own
// streams lives in the korvane_cli library.

#include "Console.h"
#include "Pipeline.h"
#include "Run.h"

int main(int argc, char** argv) {
    korvane::cli::StdioConsole console;
    int status = korvane::cli::runKorvane(argc, argv, console);
    if (console.outputFailed() && status == korvane::cli::EXIT_WRITTEN) {
        console.err("korvane: cannot write to standard output\n");
        status = 3;
    }
    return status;
}
