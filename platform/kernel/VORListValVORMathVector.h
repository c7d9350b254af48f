// A 1-based list of vectors (see VORListVal).
#ifndef VORListValVORMathVector_h
#define VORListValVORMathVector_h

#include "VORListVal.h"
#include "VORMathVector.h"

typedef VORListVal<VORMathVector> VORListValVORMathVector;

#endif
