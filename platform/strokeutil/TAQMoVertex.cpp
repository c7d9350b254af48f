#include "TAQMoVertex.h"

#include "VORVertex.h"

bool TAQMoVertex::GetPoint(VORVertex* vertex, VORMathPoint& point) {
  if (!vertex) return false;
  point = vertex->GetPoint();
  return true;
}
