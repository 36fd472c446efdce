#pragma once
// The exported entry: one Aztec symbol from a run of bytes, written as a BMP file.

// 32-bit Windows callers load it by the standard-call name createAztec@24.
#if defined(_WIN32)
#define AZTEC_EXPORT __declspec(dllexport)
#define AZTEC_CALL __stdcall
#elif defined(__GNUC__)
#define AZTEC_EXPORT __attribute__((visibility("default")))
#define AZTEC_CALL
#else
#define AZTEC_EXPORT
#define AZTEC_CALL
#endif

extern "C" {

// Encodes `dataLen` bytes of `data` and writes the symbol to the BMP file `file`.
// `format` is the configuration row to start from (0-35, negative means 0),
// `encoding` 0 for the character sets or 1 for bytes, `level` the error-correction
// percentage (0-99); the three are signed 8-bit values. Writes no file when a
// setting is out of range, the data fits no symbol, or `file` is null.
AZTEC_EXPORT void AZTEC_CALL createAztec(char format, char encoding, char level, unsigned short dataLen,
                                         char* data, char* file);
}
