// The option structs of the 2.0 C API, which carried no size: programs built
// against that header call the unsuffixed kv_* functions with these layouts.
// Frozen; the current structs are these fields after `size`, then any appended.
#pragma once

#include <stddef.h>
#include <stdint.h>

extern "C" {

typedef struct kv_encode_options_2_0 {
    int check;           /* -1 default, 0 off, 1 on */
    int escapes;         /* tilde escapes: 0 off, 1 on */
    int gs1;             /* 1: GS1 element strings (Code 128 becomes GS1-128) */
    int eci;             /* ECI designator 0-999999 at the start; -1 none */
    int wide_ratio;      /* 0 default, 2 or 3 */
    char code128_start;  /* 0 automatic, 'A', 'B' or 'C' */
    int msi_check;       /* 0 mod 10, 1 mod 11, 2 mod 11 + mod 10, 3 mod 10 + mod 10 */
    char codabar_start;  /* 'A'-'D' */
    char codabar_stop;
    int upce_number_system; /* -1 from the data, 0 or 1 */
    const char* add_on;  /* 2 or 5 digits, or null */
    int add_on_gap;      /* modules: 0 the least (7 after EAN, 9 after UPC), up to 12 */
    int aztec_specified; /* 1: the aztec program's encoder */
    int ecc_percent;     /* Aztec check words, 0-90 % */
    int ecc_extra_words; /* Aztec check words beyond that share, 0-1664 */
    int min_size;        /* Aztec smallest side in modules, 0 any */
    int compact_only;    /* 1: compact Aztec symbols only */
    int full_only;       /* 1: full-range Aztec symbols only */
    int aztec_bytes;     /* Aztec (specified encoder): byte mode */
    int reader_init;     /* reader initialisation */
    int structured_index; /* structured append: position in the set from 1, 0 none */
    int structured_count; /* ... and the number of symbols in the set */
    const char* structured_id; /* ... and an optional identifier, or null */
    int qr_level;        /* QR Code error correction: 0 L, 1 M (default), 2 Q, 3 H */
    int qr_version;      /* QR Code version 1-40; 0 the smallest */
    int qr_mask;         /* QR Code mask 0-7; -1 chosen */
    int qr_no_boost;     /* 1: keep the QR Code level even where a higher one fits */
    int qr_no_kanji;     /* 1: no QR Code Kanji mode */
    int dm_rows;         /* Data Matrix fixed size: rows ... */
    int dm_columns;      /* ... and columns; 0 0 the smallest of the shape */
    int dm_shape;        /* Data Matrix: 0 square, 1 rectangular, 2 any */
    int dmre;            /* 1: DMRE rectangles may be chosen */
    int pdf_level;       /* PDF417 error correction 0-8; -1 the recommended minimum */
    int pdf_columns;     /* PDF417 data columns 1-30; 0 chosen */
    int pdf_rows;        /* PDF417 rows 3-90; 0 chosen */
    int pdf_compact;     /* 1: compact (truncated) PDF417 */
    double pdf_aspect;   /* PDF417 width over height to approach (default 3) */
    int row_height;      /* PDF417 row height in modules 1-20; 0 3 */
    const char* pdf_file_name; /* Macro PDF417 optional fields: file name or null, ... */
    long long pdf_time_stamp;  /* ... seconds since 1970, -1 none, ... */
    const char* pdf_sender;    /* ... sender and addressee, or null, ... */
    const char* pdf_addressee;
    long long pdf_file_size;   /* ... file size in bytes, -1 none, ... */
    int pdf_checksum;          /* ... and CRC-16 of the file 0-65535, -1 none */
} kv_encode_options_2_0;

typedef struct kv_layout_options_2_0 {
    double dpi;            /* 0: pixels, module_dots per module */
    double x_mm;           /* 0: the symbology's nominal X */
    int module_dots;
    double height_mm;      /* 0: default */
    double height_modules; /* 0: default */
    double bar_reduction_mm;
    double quiet_left, quiet_right, quiet_vertical; /* modules; negative: standard */
    int text;              /* 1: human-readable text */
    double font_size_mm;   /* 0: from X */
    uint32_t foreground;   /* 0xRRGGBBAA */
    uint32_t background;   /* 0xRRGGBBAA; alpha 0 = transparent */
    int rotation;          /* 0, 90, 180, 270 */
} kv_layout_options_2_0;

typedef struct kv_sheet_options_2_0 {
    double page_width_mm, page_height_mm; /* default A4: 210 x 297 */
    int columns, rows;                     /* 1-100 each */
    double margin_top_mm, margin_right_mm, margin_bottom_mm, margin_left_mm; /* default 10 */
    double gap_horizontal_mm, gap_vertical_mm;
    double dpi;                            /* the labels' resolution too */
    int text_line;                         /* 1: room for a line of text under each label */
    double text_size_mm;
    int cut_marks;
    uint32_t foreground, background;       /* 0xRRGGBBAA, the labels' colours too */
} kv_sheet_options_2_0;

}  // extern "C"
