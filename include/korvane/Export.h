#pragma once
// Symbols of the public API are the only ones the shared library exports.

#if defined(_WIN32)
#  if defined(KORVANE_SHARED) && defined(KORVANE_BUILDING)
#    define KORVANE_API __declspec(dllexport)
#  elif defined(KORVANE_SHARED)
#    define KORVANE_API __declspec(dllimport)
#  else
#    define KORVANE_API
#  endif
#elif defined(__GNUC__)
#  define KORVANE_API __attribute__((visibility("default")))
#else
#  define KORVANE_API
#endif
