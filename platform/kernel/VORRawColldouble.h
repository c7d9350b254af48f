// A 1-based list of doubles (see VORListVal).
#ifndef VORRawColldouble_h
#define VORRawColldouble_h

#include "VORListVal.h"

typedef VORListVal<double> VORRawColldouble;

#endif
