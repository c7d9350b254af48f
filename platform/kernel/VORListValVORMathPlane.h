// A 1-based list of planes (see VORListVal).
#ifndef VORListValVORMathPlane_h
#define VORListValVORMathPlane_h

#include "VORListVal.h"
#include "VORMathPlane.h"

typedef VORListVal<VORMathPlane> VORListValVORMathPlane;

#endif
