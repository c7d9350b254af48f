#include "TAQMoRuntimeStroke.h"

extern "C" int KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke() { return 1; }
