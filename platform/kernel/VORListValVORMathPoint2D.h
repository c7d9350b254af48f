// A 1-based list of plane coordinates (u, v) (see VORListVal).
#ifndef VORListValVORMathPoint2D_h
#define VORListValVORMathPoint2D_h

#include "VORListVal.h"
#include "VORMathPoint2D.h"

typedef VORListVal<VORMathPoint2D> VORListValVORMathPoint2D;

#endif
