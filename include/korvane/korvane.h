/* The korvane C API: encode, lay out and write barcodes from C and from any
 * language with a C foreign-function interface. No C++ types cross it.
 *
 * Every call that can fail returns a kv_status (KV_OK = 0) and, when `error`
 * is not null, writes a one-line message of at most `error_size` - 1 bytes
 * (always terminated) into it. Handles are opaque; free each with its
 * kv_*_free function. Calls on different handles may run on different threads
 * at once; nothing is global.
 *
 * Option structs grow by appending fields. Each starts with `size`, which its
 * kv_*_options_init macro sets to sizeof the struct as the caller's header
 * declares it: the library reads only the fields that fit in `size`, takes
 * its defaults for the rest and never writes past it, so a program keeps
 * working, unchanged, against later libraries. Start every struct from its
 * init macro (a struct set up by hand needs `size` = sizeof it). Programs built
 * against the 2.0 header, whose structs had no size, call the unsuffixed
 * functions, which keep reading the 2.0 layouts. (For this header's
 * maintainers: a field appended must start at or past the released struct's
 * sizeof, never in its tail padding, which callers need not copy.) */
#ifndef KORVANE_KORVANE_H
#define KORVANE_KORVANE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(KORVANE_SHARED)
#  ifdef KORVANE_BUILDING
#    define KV_API __declspec(dllexport)
#  else
#    define KV_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define KV_API __attribute__((visibility("default")))
#else
#  define KV_API
#endif

typedef enum kv_status {
    KV_OK = 0,
    KV_UNKNOWN_SYMBOLOGY = 1,
    KV_INVALID_DATA = 2,
    KV_CHECK_DIGIT = 3,
    KV_DATA_TOO_LONG = 4,
    KV_INVALID_OPTION = 5,
    KV_SIZE_TOO_LARGE = 6,
    KV_UNKNOWN_FORMAT = 7,
    KV_WRITE_FAILED = 8,
    KV_VERIFY_FAILED = 9,
    KV_INVALID_ARGUMENT = 10 /* a null handle or pointer */
} kv_status;

typedef struct kv_symbol kv_symbol;
typedef struct kv_drawing kv_drawing;

/* Encoding options; start from kv_encode_options_init(). Negative or zero
 * numbers mean "the symbology's default" where noted. */
typedef struct kv_encode_options {
    uint64_t size;       /* sizeof(kv_encode_options): set by kv_encode_options_init */
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
    int gs1_digital_link;      /* QR Code, Data Matrix: 1 holds the GS1 Digital Link URI of element strings, */
    const char* gs1_dl_domain; /* ... on this scheme and host, or null: https://id.gs1.org */
    int databar_segments;      /* GS1 DataBar Expanded Stacked segments a row, 2-22 even; 0 4 */
    int rmqr_height;           /* rMQR fixed size: height 7-17 ... */
    int rmqr_width;            /* ... and width 27-139; 0 0 the smallest */
} kv_encode_options;

typedef struct kv_layout_options {
    uint64_t size;         /* sizeof(kv_layout_options): set by kv_layout_options_init */
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
    /* Print colours in CMYK, whole percent as 0xCCMMYYKK, or -1: the RGBA
     * colour above. PDF and EPS write them as they are; the other formats
     * draw the RGB they convert to. */
    int32_t foreground_cmyk;
    int32_t background_cmyk;
} kv_layout_options;

/* Fills the first `size` bytes of *options with the defaults and sets
 * options->size; call through the macros, which pass sizeof as the caller
 * compiled it. */
KV_API void kv_encode_options_init_sized(kv_encode_options* options, size_t size);
KV_API void kv_layout_options_init_sized(kv_layout_options* options, size_t size);
#define kv_encode_options_init(options) kv_encode_options_init_sized((options), sizeof *(options))
#define kv_layout_options_init(options) kv_layout_options_init_sized((options), sizeof *(options))

/* The calls that take option structs read them by their size; the macros keep
 * the 2.0 names in source. */
#define kv_encode kv_encode_sized
#define kv_layout kv_layout_sized
#define kv_sheet_open kv_sheet_open_sized
#define kv_sheet_add kv_sheet_add_sized

/* The library's version, "MAJOR.MINOR.PATCH". */
KV_API const char* kv_version(void);

/* Encodes `length` bytes of `data` as the symbology named `symbology`
 * ("ean13", "code128", "aztec", ... or an alias). `options` may be null for
 * the defaults. On success *symbol receives a new handle. */
KV_API kv_status kv_encode(const char* symbology, const char* data, size_t length,
                           const kv_encode_options* options, kv_symbol** symbol,
                           char* error, size_t error_size);
KV_API void kv_symbol_free(kv_symbol* symbol);

/* Facts of a symbol. Strings stay valid until the symbol is freed. */
KV_API const char* kv_symbol_text(const kv_symbol* symbol);   /* human-readable text */
KV_API const char* kv_symbol_data(const kv_symbol* symbol, size_t* length); /* data as encoded */
KV_API int kv_symbol_width_modules(const kv_symbol* symbol);  /* linear width, or matrix columns */
KV_API int kv_symbol_height_modules(const kv_symbol* symbol); /* matrix rows; 0 for a linear symbol */
KV_API int kv_symbol_is_matrix(const kv_symbol* symbol);
KV_API int kv_symbol_warning_count(const kv_symbol* symbol);
KV_API const char* kv_symbol_warning(const kv_symbol* symbol, int index);

/* The facts of a symbol that the command's JSON report gives (check
 * characters, add-on, Aztec layers, QR Code version, ...): a record of named
 * entries in a fixed order; a list or a nested record is a kv_facts of its own. Names are
 * snake_case ("data_codewords"), empty for a list's items. Everything stays
 * valid until the symbol is freed. An index out of range gives KV_FACT_NONE,
 * 0, NULL. */
typedef struct kv_facts kv_facts;

typedef enum kv_fact_type {
    KV_FACT_NONE = 0,
    KV_FACT_INTEGER = 1,
    KV_FACT_BOOLEAN = 2,
    KV_FACT_REAL = 3,
    KV_FACT_TEXT = 4,    /* bytes with a length: the data as encoded may hold NULs */
    KV_FACT_LIST = 5,
    KV_FACT_RECORD = 6
} kv_fact_type;

KV_API const kv_facts* kv_symbol_facts(const kv_symbol* symbol);
KV_API int kv_facts_count(const kv_facts* facts);
KV_API int kv_facts_find(const kv_facts* facts, const char* name); /* its index, or -1 */
KV_API const char* kv_facts_name(const kv_facts* facts, int index);
KV_API kv_fact_type kv_facts_type(const kv_facts* facts, int index);
KV_API long long kv_facts_integer(const kv_facts* facts, int index); /* integers; booleans as 0 or 1 */
KV_API double kv_facts_real(const kv_facts* facts, int index);       /* reals; integers too */
KV_API const char* kv_facts_text(const kv_facts* facts, int index, size_t* length);
KV_API const kv_facts* kv_facts_nested(const kv_facts* facts, int index); /* lists and records */

/* Lays a symbol out; `options` may be null for the defaults. */
KV_API kv_status kv_layout(const kv_symbol* symbol, const kv_layout_options* options,
                           kv_drawing** drawing, char* error, size_t error_size);
KV_API void kv_drawing_free(kv_drawing* drawing);
KV_API int kv_drawing_width(const kv_drawing* drawing);   /* dots */
KV_API int kv_drawing_height(const kv_drawing* drawing);
KV_API double kv_drawing_x_mm(const kv_drawing* drawing); /* X reached */

/* The drawing's bars or modules as 8-bit grey pixels (0 dark, 255 light; text
 * is not drawn), `scale` pixels per dot (1-64): *pixels receives
 * *width x *height bytes, row-major, to release with kv_free. */
KV_API kv_status kv_rasterize(const kv_drawing* drawing, int scale, unsigned char** pixels, int* width,
                              int* height, char* error, size_t error_size);

/* Writes a drawing in `format` ("svg", "pdf", "eps", "png", "emf", "bmp") into
 * memory: *bytes receives a buffer of *length bytes to release with kv_free. */
KV_API kv_status kv_write(const kv_drawing* drawing, const char* format, unsigned char** bytes,
                          size_t* length, char* error, size_t error_size);
/* Writes a file whole; `format` null takes it from the extension; "-" is standard output. */
KV_API kv_status kv_write_file(const kv_drawing* drawing, const char* path, const char* format,
                               char* error, size_t error_size);
KV_API void kv_free(void* bytes);

/* Label sheets: symbols laid out for the cells of a grid on pages, each page
 * written as it fills. */
typedef struct kv_sheet kv_sheet;

typedef struct kv_sheet_options {
    uint64_t size;                         /* sizeof(kv_sheet_options): set by kv_sheet_options_init */
    double page_width_mm, page_height_mm; /* default A4: 210 x 297 */
    int columns, rows;                     /* 1-100 each */
    double margin_top_mm, margin_right_mm, margin_bottom_mm, margin_left_mm; /* default 10 */
    double gap_horizontal_mm, gap_vertical_mm;
    double dpi;                            /* the labels' resolution too */
    int text_line;                         /* 1: room for a line of text under each label */
    double text_size_mm;
    int cut_marks;
    uint32_t foreground, background;       /* 0xRRGGBBAA, the labels' colours too */
} kv_sheet_options;

KV_API void kv_sheet_options_init_sized(kv_sheet_options* options, size_t size);
#define kv_sheet_options_init(options) kv_sheet_options_init_sized((options), sizeof *(options))

/* Starts a sheet written to `path` in `format` (null: from the extension):
 * a PDF is one file of pages, written whole by kv_sheet_close ("-" standard
 * output); any other format is a file per page, "-1", "-2", ... before the
 * extension, each written when its page is full. `options` may be null. */
KV_API kv_status kv_sheet_open(const kv_sheet_options* options, const char* path, const char* format,
                               kv_sheet** sheet, char* error, size_t error_size);
/* Lays `symbol` out with `layout` (null: the defaults; the sheet's resolution
 * and colours replace its own) for the next cell and places it there, with
 * `text` (may be null) under it. With `fit` nonzero, a label larger than its
 * cell is made at the largest X in whole dots that fits. After a write
 * failure every call fails. */
KV_API kv_status kv_sheet_add(kv_sheet* sheet, const kv_symbol* symbol, const kv_layout_options* layout,
                              const char* text, int fit, char* error, size_t error_size);
/* Writes the last page and completes the output. */
KV_API kv_status kv_sheet_close(kv_sheet* sheet, char* error, size_t error_size);
/* Pages written so far. */
KV_API long long kv_sheet_pages(const kv_sheet* sheet);
/* Frees the sheet; without kv_sheet_close a PDF file is not written. */
KV_API void kv_sheet_free(kv_sheet* sheet);
/* The print-quality grade (ISO/IEC 15416 for linear symbols, 15415 for Aztec)
 * of the drawing as `printer` prints it: a profile name ("ideal", "thermal203",
 * "thermal300", "laser600") or "DPI[,GAIN[,BLUR]]"; NULL is "ideal". The symbol
 * is the one the drawing was laid out from. *grade receives the symbol grade,
 * 0.0 (F) to 4.0 (A); `text`, when not NULL, the grade as the standards write
 * it ("3.5/06/670"), cut to text_size. A symbology that is not graded
 * (Postnet) is KV_INVALID_OPTION with the reason. */
KV_API kv_status kv_grade(const kv_symbol* symbol, const kv_drawing* drawing, const char* printer, double* grade,
                          char* text, size_t text_size, char* error, size_t error_size);
/* kv_grade, and what set the grade: `reason`, when not NULL, receives the
 * parameters at the lowest grade with their letter ("set by decodability (F)"),
 * after a note where the drawing was made for another resolution than the
 * printer's, cut to reason_size; empty on failure. */
KV_API kv_status kv_grade_reason(const kv_symbol* symbol, const kv_drawing* drawing, const char* printer,
                                 double* grade, char* text, size_t text_size, char* reason, size_t reason_size,
                                 char* error, size_t error_size);

/* Sets the encoding option named as the command names it ("ecc-words",
 * "qr-level", "structured") from its text as the command takes it ("12", "Q",
 * "2/3:ID"; "" or "1" turns a flag on, "0" off), with the command's checks: an
 * option out of its range is refused here, as by the command, with a message
 * that names it ("ecc: '91' is out of range; it must be 0 to 90"). The fields
 * of the option alone change. Text fields it sets (add_on, structured_id, the
 * Macro PDF417 texts) point into `text`, which must outlive the options' use.
 * KV_INVALID_OPTION for no such option or a value refused. */
KV_API kv_status kv_set_option(kv_encode_options* options, const char* name, const char* text, char* error,
                               size_t error_size);

/* Sets the layout option named as the command names it ("x-dim", "height",
 * "quiet-zone", "fg", "rotate", ...) from its text as the command takes it
 * ("0.33mm", "50x", "10,2", "navy", "90"), with the command's checks and
 * messages; the fields of the option alone change. The struct keeps one unit
 * a field: lengths are converted to its millimetres (X to module_dots without
 * a resolution; a height in modules to height_modules); quiet zones are
 * modules, and one given as a length is refused. KV_INVALID_OPTION for no
 * such option or a value refused. */
KV_API kv_status kv_set_layout_option(kv_layout_options* options, const char* name, const char* text, char* error,
                                      size_t error_size);

/* GS1 data without a symbol, as `korvane gs1` gives it. `what`: */
typedef enum kv_gs1_action {
    KV_GS1_CHECK = 0,        /* notes of AIs that need others the data lacks, one a line ("" for none) */
    KV_GS1_DIGITAL_LINK = 1, /* the GS1 Digital Link URI of element strings, on `domain` (NULL: id.gs1.org) */
    KV_GS1_ELEMENTS = 2,     /* the element strings of a GS1 Digital Link URI */
    KV_GS1_HRI = 3           /* element strings as printed under a symbol */
} kv_gs1_action;
/* The answer goes to `out`, NUL-ended, when it fits in out_size bytes; its
 * length (without the NUL) to *length when `length` is not NULL, so a caller
 * may ask again with room enough. An answer that does not fit is
 * KV_SIZE_TOO_LARGE and leaves `out` empty, never cut. Data GS1's rules
 * refuse is KV_INVALID_DATA or KV_CHECK_DIGIT with the message. */
KV_API kv_status kv_gs1(kv_gs1_action what, const char* data, const char* domain, char* out, size_t out_size,
                        size_t* length, char* error, size_t error_size);

#ifdef __cplusplus
}
#endif

#endif
