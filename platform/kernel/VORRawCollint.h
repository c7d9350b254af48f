// A 1-based list of ints (see VORListVal); Locate(value, from) gives a position or 0.
#ifndef VORRawCollint_h
#define VORRawCollint_h

#include "VORListVal.h"

typedef VORListVal<int> VORRawCollint;

#endif
