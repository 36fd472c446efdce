/* FreeType's own options, less the compressed-font readers: the fonts are
 * built in, uncompressed, and there is no zlib of FreeType's in the build. */
#include <freetype/config/ftoption.h>
#undef FT_CONFIG_OPTION_USE_ZLIB
#undef FT_CONFIG_OPTION_USE_LZW
/* Nor font variations, Type 1 metrics or bitmap strikes: the built-in fonts
 * have none, and each costs code in every page that loads the module. */
#undef TT_CONFIG_OPTION_GX_VAR_SUPPORT
#undef TT_CONFIG_OPTION_BDF
#undef TT_CONFIG_OPTION_EMBEDDED_BITMAPS
#undef TT_CONFIG_OPTION_COLOR_LAYERS
#undef FT_CONFIG_OPTION_INCREMENTAL
#define T1_CONFIG_OPTION_NO_AFM
/* Glyphs are found through the fonts' cmaps, never by PostScript name. */
#undef FT_CONFIG_OPTION_ADOBE_GLYPH_LIST
