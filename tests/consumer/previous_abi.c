/* A program built against the 2.0 header (tests/consumer/abi-2.0), whose
 * option structs carry no size, run against the current library: every option
 * struct set away from its defaults, down to its last field, and the results
 * checked. Built with -I tests/consumer/abi-2.0 before the library's own
 * headers; run under the sanitizers, an overrun of the caller's structs is a
 * failure. Takes a directory for the sheet it writes (default: here). */
#include <korvane/korvane.h>

#include <stdio.h>
#include <string.h>

static int failures = 0;

static void expect(int ok, const char* what, long long got) {
    if (!ok) {
        fprintf(stderr, "previous ABI: %s (got %lld)\n", what, got);
        ++failures;
    }
}

/* The struct sits between two guards that the library must leave alone. */
struct guarded_encode {
    unsigned char before[16];
    kv_encode_options o;
    unsigned char after[16];
};

static int guards_intact(const unsigned char* g) {
    int i;
    for (i = 0; i < 16; ++i)
        if (g[i] != 0xA5)
            return 0;
    return 1;
}

static kv_symbol* encoded(const char* symbology, const char* data, const kv_encode_options* o) {
    char error[256];
    kv_symbol* symbol = NULL;
    if (kv_encode(symbology, data, strlen(data), o, &symbol, error, sizeof error) != KV_OK) {
        fprintf(stderr, "previous ABI: %s: %s\n", symbology, error);
        ++failures;
    }
    return symbol;
}

int main(int argc, char** argv) {
    const char* dir = argc > 1 ? argv[1] : ".";
    char error[256];
    char path[1024];
    struct guarded_encode g;
    kv_encode_options o;
    kv_layout_options lo;
    kv_sheet_options so;
    kv_symbol* symbol;
    kv_drawing* drawing = NULL;
    kv_sheet* sheet = NULL;
    int i;

    memset(&g, 0xA5, sizeof g);
    kv_encode_options_init(&g.o);
    expect(guards_intact(g.before) && guards_intact(g.after), "kv_encode_options_init wrote past the struct", 0);
    expect(g.o.check == -1 && g.o.qr_mask == -1 && g.o.pdf_level == -1 && g.o.pdf_aspect == 3 &&
               g.o.pdf_checksum == -1,
           "kv_encode_options_init: the defaults", g.o.pdf_checksum);

    /* A field near the start, in the middle and at the end of the struct. */
    kv_encode_options_init(&o);
    o.qr_version = 5;
    o.qr_level = 3;
    symbol = encoded("qr", "HELLO", &o);
    expect(kv_symbol_width_modules(symbol) == 37, "qr_version 5 is 37 modules wide", kv_symbol_width_modules(symbol));
    kv_symbol_free(symbol);

    kv_encode_options_init(&o);
    o.pdf_columns = 4;
    o.pdf_file_name = "a.pdf";
    o.pdf_checksum = 4660;
    symbol = encoded("pdf417", "PDF417 label 42", &o);
    expect(kv_symbol_width_modules(symbol) == 4 * 17 + 69, "pdf_columns 4 is 137 modules wide",
           kv_symbol_width_modules(symbol));
    kv_symbol_free(symbol);

    kv_encode_options_init(&o);
    o.ecc_percent = 40;
    symbol = NULL;
    i = kv_encode("ean13", "590123412345", 12, &o, &symbol, error, sizeof error);
    expect(i == KV_INVALID_OPTION && strstr(error, "does not apply") != NULL, "ecc does not apply to EAN-13", i);
    o.ecc_percent = 23;
    o.ecc_extra_words = 3;
    symbol = encoded("aztec", "ABC", &o);
    expect(kv_symbol_width_modules(symbol) == 15, "ecc 23% + 3 words: compact, one layer",
           kv_symbol_width_modules(symbol));
    kv_symbol_free(symbol);

    kv_encode_options_init(&o);
    symbol = encoded("code39", "ABC", &o);
    i = kv_symbol_width_modules(symbol);
    kv_symbol_free(symbol);
    o.check = 1;
    symbol = encoded("code39", "ABC", &o);
    expect(kv_symbol_width_modules(symbol) > i, "check 1 draws a check character", kv_symbol_width_modules(symbol));

    kv_layout_options_init(&lo);
    expect(lo.text == 1 && lo.quiet_left == -1 && lo.background == 0xFFFFFFFFu, "kv_layout_options_init: the defaults",
           (long long)lo.background);
    lo.dpi = 0;
    lo.module_dots = 2;
    lo.height_modules = 10;
    lo.quiet_left = lo.quiet_right = lo.quiet_vertical = 0;
    lo.text = 0;
    lo.rotation = 90;
    if (kv_layout(symbol, &lo, &drawing, error, sizeof error) != KV_OK) {
        fprintf(stderr, "previous ABI: layout: %s\n", error);
        ++failures;
    } else {
        /* Turned a quarter: the bars' height across, the symbol's width down. */
        expect(kv_drawing_width(drawing) == 10 * 2, "layout: the height across, turned", kv_drawing_width(drawing));
        expect(kv_drawing_height(drawing) == kv_symbol_width_modules(symbol) * 2, "layout: the width down, turned",
               kv_drawing_height(drawing));
    }
    kv_drawing_free(drawing);

    kv_sheet_options_init(&so);
    expect(so.columns >= 1 && so.page_width_mm == 210 && so.background == 0xFFFFFFFFu,
           "kv_sheet_options_init: the defaults", (long long)so.page_width_mm);
    so.columns = 2;
    so.rows = 1;
    so.background = 0xFFFFFF00u;
    snprintf(path, sizeof path, "%s/previous_abi.pdf", dir);
    if (kv_sheet_open(&so, path, NULL, &sheet, error, sizeof error) != KV_OK) {
        fprintf(stderr, "previous ABI: sheet: %s\n", error);
        ++failures;
    } else {
        for (i = 0; i < 3; ++i)
            if (kv_sheet_add(sheet, symbol, &lo, "ABC", 1, error, sizeof error) != KV_OK) {
                fprintf(stderr, "previous ABI: sheet: %s\n", error);
                ++failures;
            }
        expect(kv_sheet_close(sheet, error, sizeof error) == KV_OK, "sheet closed", 0);
        expect(kv_sheet_pages(sheet) == 2, "three labels two to a page are two pages", kv_sheet_pages(sheet));
        kv_sheet_free(sheet);
        remove(path);
    }
    kv_symbol_free(symbol);

    if (failures == 0)
        printf("previous ABI: %s, all results as expected\n", kv_version());
    return failures == 0 ? 0 : 1;
}
