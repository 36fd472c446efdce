// korvane: barcodes from the command line. Everything but the process's own
// streams lives in the korvane_cli library.

#include "Console.h"
#include "Pipeline.h"
#include "Run.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // A batch makes the same large buffers (rasters, the PNG encoder's state)
    // thousands of times over: kept in the heap rather than mapped and
    // unmapped for each symbol, they cost no page faults after the first.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
    korvane::cli::StdioConsole console;
    int status = korvane::cli::runKorvane(argc, argv, console);
    if (console.outputFailed() && status == korvane::cli::EXIT_WRITTEN) {
        console.err("korvane: cannot write to standard output\n");
        status = 3;
    }
    return status;
}
