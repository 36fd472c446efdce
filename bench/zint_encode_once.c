/* Encodes one value once through zint's ZBarcode_Encode, the reference for
 * bench/api_instructions.sh: zint_encode_once TYPE DATA | TYPE -f FILE */
#include <zint.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    static unsigned char buffer[1 << 16];
    int length;
    if (argc == 4) {
        FILE* f = fopen(argv[3], "rb");
        if (!f)
            return 2;
        length = (int)fread(buffer, 1, sizeof buffer, f);
        fclose(f);
    } else if (argc == 3) {
        length = (int)strlen(argv[2]);
        memcpy(buffer, argv[2], (size_t)length);
    } else {
        return 2;
    }
    struct zint_symbol* symbol = ZBarcode_Create();
    symbol->symbology = atoi(argv[1]);
    symbol->input_mode = DATA_MODE;
    const int error = ZBarcode_Encode(symbol, buffer, length);
    printf("%d %d\n", error, symbol->width);
    ZBarcode_Delete(symbol);
    return error >= ZINT_ERROR ? 1 : 0;
}
