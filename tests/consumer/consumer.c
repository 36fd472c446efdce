/* The same through the C API, built with pkg-config. */
#include <korvane/korvane.h>

#include <stdio.h>
#include <string.h>

int main(void) {
    char error[256];
    kv_symbol* symbol = NULL;
    if (kv_encode("ean13", "590123412345", strlen("590123412345"), NULL, &symbol, error, sizeof error) != KV_OK) {
        fprintf(stderr, "%s\n", error);
        return 1;
    }
    kv_drawing* drawing = NULL;
    if (kv_layout(symbol, NULL, &drawing, error, sizeof error) != KV_OK) {
        fprintf(stderr, "%s\n", error);
        return 1;
    }
    size_t length = 0;
    printf("%s %s %dx%d X=%.4f\n", kv_version(), kv_symbol_data(symbol, &length), kv_drawing_width(drawing),
           kv_drawing_height(drawing), kv_drawing_x_mm(drawing));
    kv_drawing_free(drawing);
    kv_symbol_free(symbol);
    return 0;
}
