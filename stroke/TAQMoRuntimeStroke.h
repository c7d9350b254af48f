// Marker of the stroke runtime library: lets a loader or a consumer check that this library is present.
#ifndef TAQMoRuntimeStroke_h
#define TAQMoRuntimeStroke_h

#include "TAQExport.h"

extern "C" TAQ_EXPORT int KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke();

#endif
