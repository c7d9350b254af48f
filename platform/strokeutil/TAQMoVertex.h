// Vertex queries.
#ifndef TAQMoVertex_h
#define TAQMoVertex_h

#include "TAQExport.h"
#include "VORMathPoint.h"

class VORVertex;

class TAQ_EXPORT TAQMoVertex {
 public:
  // The vertex's point; false for a null vertex.
  static bool GetPoint(VORVertex* vertex, VORMathPoint& point);
};

#endif
