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
#undef FT_CONFIG_OPTION_POSTSCRIPT_NAMES
#undef TT_CONFIG_OPTION_POSTSCRIPT_NAMES
/* Both fonts are built in without TrueType instructions, so FreeType gives
 * their glyphs to the auto-hinter whether or not the interpreter is there. */
#undef TT_CONFIG_OPTION_BYTECODE_INTERPRETER
#undef TT_CONFIG_OPTION_SUBPIXEL_HINTING
#undef TT_USE_BYTECODE_INTERPRETER
#undef TT_SUPPORT_SUBPIXEL_HINTING_INFINALITY
#undef TT_SUPPORT_SUBPIXEL_HINTING_MINIMAL
#undef TT_SUPPORT_COLRV1
/* Both fonts map characters with a format 4 cmap only. */
#undef TT_CONFIG_CMAP_FORMAT_0
#undef TT_CONFIG_CMAP_FORMAT_2
#undef TT_CONFIG_CMAP_FORMAT_6
#undef TT_CONFIG_CMAP_FORMAT_8
#undef TT_CONFIG_CMAP_FORMAT_10
#undef TT_CONFIG_CMAP_FORMAT_12
#undef TT_CONFIG_CMAP_FORMAT_13
#undef TT_CONFIG_CMAP_FORMAT_14
/* Fonts come from memory, never from Mac resource forks, SVG glyphs or the
 * environment; the built-in characters are Latin, never CJK or Indic. */
#undef FT_CONFIG_OPTION_MAC_FONTS
#undef FT_CONFIG_OPTION_GUESSING_EMBEDDED_RFORK
#undef FT_CONFIG_OPTION_SVG
#undef FT_CONFIG_OPTION_ENVIRONMENT_PROPERTIES
#undef TT_CONFIG_OPTION_SFNT_NAMES
#undef AF_CONFIG_OPTION_CJK
#undef AF_CONFIG_OPTION_INDIC
