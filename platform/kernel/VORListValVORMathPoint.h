// A 1-based list of 3D points (see VORListVal).
#ifndef VORListValVORMathPoint_h
#define VORListValVORMathPoint_h

#include "VORListVal.h"
#include "VORMathPoint.h"

typedef VORListVal<VORMathPoint> VORListValVORMathPoint;

#endif
