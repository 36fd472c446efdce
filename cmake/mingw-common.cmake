# Shared part of the MinGW-w64 toolchain files; BARCODE_MINGW_TRIPLET is set by
# the including file.
# The posix thread model: GoogleTest needs std::mutex, which the win32 model
# lacks. Everything is linked statically, winpthread included, so no MinGW
# DLL is needed at run time.
find_program(CMAKE_C_COMPILER NAMES ${BARCODE_MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${BARCODE_MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${BARCODE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BARCODE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the test programs through Wine.
find_program(BARCODE_WINE NAMES ${BARCODE_WINE_NAMES} PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(BARCODE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BARCODE_WINE})
endif()
