// Projecting a point onto the stroke, and the source curve through all its drawn points.
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "VORCurve.h"

namespace {
// A first projection farther than this from the given curves is tried again on fresh curves (model units).
const double kNearEnough = 0.1;
}  // namespace

bool TAQMoStroke::GetProjection(VORGeoFactory* factory, VORSoftwareConfiguration* config, const VORMathPoint& point,
                                VORMathPoint& projected, VORMathDirection& direction, VORListPtrVORCurve& curves,
                                bool wholeStroke) {
  if (!point.IsFinite()) return false;
  if (curves.Size() == 0 && !wholeStroke) curves = mCurveCache;

  double param = 0.0;
  VORCurve* found = nullptr;
  bool result = false;
  if (curves.Size() > 0) {
    double distance = 0.0;
    result = TAQMoCSStrokeUtilities::GetProjectionOnCurves(config, curves, point, nullptr, param, found, &distance,
                                                           wholeStroke) &&
             found && distance < kNearEnough;
  }
  if (!result) {
    double whole[2] = {0.0, 1.0};
    Evaluate(factory, config, curves, wholeStroke ? whole : nullptr, nullptr, nullptr, nullptr);
    double distance = 0.0;
    found = nullptr;
    result = TAQMoCSStrokeUtilities::GetProjectionOnCurves(config, curves, point, nullptr, param, found, &distance,
                                                           wholeStroke);
    if (!result) return false;
  }
  if (!found) return result;

  const VORCrvParam p = found->CreateParam(param);
  projected = found->EvalPoint(p);
  direction = VORMathDirection(found->EvalFirstDerivative(p));
  // Turn the direction the way the stroke was drawn: the order of the display polyline.
  const VORListValVORMathPoint polyline = mCoords;
  VORMathPoint foot;
  VORMathVector tangent;
  TAQMoCSStrokeUtilities::PolylineProjection(point, nullptr, polyline, foot, &tangent);
  if (direction.Dot(tangent) < 0.0) direction = VORMathDirection(-direction.GetVector());
  return true;
}

VORCurve* TAQMoStroke::GetSourceCurve(VORGeoFactory* factory, VORSoftwareConfiguration* config,
                                      VORMathDirection& /*direction*/, VORListValVORMathPoint* points) {
  VORListValVORMathPoint gathered, segmentPoints;
  for (unsigned i = 0; i < mData.Size(); ++i) {
    if (!mData[i]) continue;
    mData[i]->GetSourcePoints(segmentPoints, nullptr);
    gathered.Append(segmentPoints);
  }
  if (gathered.Size() == 0) gathered = mCoords;
  VORCurve* curve = nullptr;
  if (gathered.Size() > 0) {
    VORMathVector tangents[2];
    VORMathPoint ends[2];
    VORMathDirection directions[2];
    if (GetEndTangents(ends, directions)) {
      tangents[0] = directions[0].GetVector();
      tangents[1] = directions[1].GetVector();
      if (mBlends.Size() == 2) {
        tangents[0] *= mBlends[1];
        tangents[1] *= mBlends[2];
      }
    }
    const VORRawCollint anchors = mAnchors;
    curve = TAQMoCSStrokeUtilities::CreateFitCurve(factory, config, gathered, &anchors, tangents, nullptr);
  }
  if (points) *points = gathered;
  return curve;
}
