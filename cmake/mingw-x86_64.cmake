# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64).
# The shipped programs are the 32-bit ones (mingw-i686.cmake); this build runs
# the same Windows tests under a 64-bit Wine where 32-bit code cannot run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(BARCODE_MINGW_TRIPLET x86_64-w64-mingw32)
set(BARCODE_WINE_NAMES wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
