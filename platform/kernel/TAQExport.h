// Export control of the stroke runtime library.
// The library is built with hidden default visibility; only what carries TAQ_EXPORT is visible to callers.
#ifndef TAQExport_h
#define TAQExport_h

#if defined(_WIN32)
#  if defined(TAQMoRuntimeStroke_EXPORTS)
#    define TAQ_EXPORT __declspec(dllexport)
#  else
#    define TAQ_EXPORT __declspec(dllimport)
#  endif
#  define TAQ_HIDDEN
#else
#  define TAQ_EXPORT __attribute__((visibility("default")))
// Marks a private part of an exported class (an implementation struct) so that it stays out of the library's
// exported names.
#  define TAQ_HIDDEN __attribute__((visibility("hidden")))
#endif

// Result codes of the operations that fill or query a stroke. A failure is negative: E_FAIL is the 32-bit
// code 0x80004005 read as a signed value, whatever the width of long, so that `result < 0` detects it.
#ifndef S_OK
#  define S_OK 0L
#endif
#ifndef E_FAIL
#  define E_FAIL (-0x7FFFBFFBL)
#endif

#endif
