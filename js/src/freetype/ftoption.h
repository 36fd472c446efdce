/* FreeType's own options, less the compressed-font readers: the fonts are
 * built in, uncompressed, and there is no zlib of FreeType's in the build. */
#include <freetype/config/ftoption.h>
#undef FT_CONFIG_OPTION_USE_ZLIB
#undef FT_CONFIG_OPTION_USE_LZW
