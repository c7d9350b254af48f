// A 1-based list of curve pointers (see VORListVal). The curves belong to the factory that made them:
// emptying or assigning the list never deletes a curve.
#ifndef VORListPtrVORCurve_h
#define VORListPtrVORCurve_h

#include "VORListVal.h"

class VORCurve;
typedef VORListVal<VORCurve*> VORListPtrVORCurve;

#endif
