// Wire bodies from curves.
#ifndef TAQMoWire_h
#define TAQMoWire_h

#include "TAQExport.h"
#include "VORBody.h"
#include "VORGeoFactory.h"
#include "VORListPtrVORCurve.h"
#include "VORMathVector.h"
#include "VORRawCollint.h"

class VORTopData;
class VORVertex;

class TAQ_EXPORT TAQMoWire {
 public:
  // A wire body in factory of the curves joined head to tail; orientations (1 or -1, parallel to curves,
  // may be empty for all 1) say which way each curve runs; closed asks for a closed wire. An empty handle
  // when no wire can be made (no curve, null factory, gaps wider than the factory's resolution).
  static VORBody_var MakeWireFromCurves(const VORGeoFactory_var& factory, VORListPtrVORCurve& curves,
                                        VORRawCollint orientations, VORTopData* topData, bool closed);
  // The start and end vertices of a wire body (owned by the body), and the unit tangents there when asked.
  // Non-zero on success.
  static int GetWireBodyEndVertices(VORBody* body, VORVertex*& start, VORVertex*& end, VORMathVector* startTangent,
                                    VORMathVector* endTangent);
};

#endif
