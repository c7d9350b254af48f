// Making the point of the stroke nearest a given point an anchor, and pulling the stroke through it.
#include <cmath>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQUtTolerance.h"

bool TAQMoStroke::InsertAnchor(VORSoftwareConfiguration* config, VORGeoFactory* factory, const VORMathPoint& point) {
  if (!point.IsFinite()) return false;
  VORListValVORMathPoint source;
  GetSourcePoints(source, nullptr, nullptr, nullptr, nullptr);
  VORMathPoint foot;
  const double t = TAQMoCSStrokeUtilities::PolylineProjection(point, nullptr, source, foot, nullptr);
  const double lengthTol = TAQUtTolerance().LengthTol();
  const int k = static_cast<int>(t + lengthTol);
  if (lengthTol > std::fabs(t - k) && mAnchors.Locate(k, 1) > 0) return false;  // already an anchor
  return ReshapeCurve(config, factory, this, foot, point, true, true);
}
