// Changing an end tangent, and bending the stroke's end region to follow it.
#include <algorithm>
#include <cstdlib>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQUtTolerance.h"
#include "VORMathLine.h"

namespace {
// A neighbour anchor closer to the end than this many unit lengths gives way to the bend.
const double kBendReach = 12.0;
}  // namespace

bool TAQMoStroke::UpdateEndTangent(VORSoftwareConfiguration* config, VORGeoFactory* factory,
                                   const VORMathPoint& point, const VORMathDirection& /*firstDirection*/,
                                   const VORMathDirection& newDirection, bool reshape) {
  const TAQUtTolerance tol;
  const TAQUtVector<TAQMoStrokeData*> records(mTangents);
  const VORListValVORMathPoint ends = mEndPoints;
  int k = 0;
  for (int i = 1; i <= ends.Size() && k == 0; ++i)
    if (TAQMoCSStrokeUtilities::IsCoincident(ends[i], point, tol.LengthTolSq())) k = i;
  if (records.Size() != 2 || k == 0) return false;

  UpdatePointTangentData(records[k == 1 ? 0 : 1], point, newDirection, VORMathDirection());
  if (!reshape) return true;

  VORListValVORMathPoint anchorPoints;
  GetAnchors(anchorPoints);
  const int n = anchorPoints.Size();
  if (n <= 2) return true;
  const int endIndex = k == 1 ? 1 : n;
  const int neighbour = k == 1 ? 2 : n - 1;
  const VORMathPoint a = anchorPoints[endIndex];
  const VORMathPoint b = anchorPoints[neighbour];
  if (kBendReach * GetUnitLength() > a.DistanceTo(b)) {
    VORRawCollint anchors = mAnchors;
    anchors.RemovePosition(neighbour);
    mAnchors = anchors;
  }
  ReshapeCurveToDirection(config, factory, this, a, b, newDirection);
  return true;
}

bool TAQMoStroke::ReshapeCurveToDirection(VORSoftwareConfiguration* config, VORGeoFactory* factory,
                                          TAQMoStroke* stroke, const VORMathPoint& start, const VORMathPoint& target,
                                          const VORMathDirection& direction) {
  const TAQUtTolerance tol;
  if (!stroke || TAQMoCSStrokeUtilities::IsCoincident(start, target, tol.LengthTolSq())) return false;
  if (!start.IsFinite() || !target.IsFinite()) return false;
  HardSubsetStroke(config, factory, stroke);

  VORListValVORMathPoint points;
  VORListValVORMathPoint2D points2D;
  VORListValVORMathPlane planes;
  stroke->GetSourcePoints(points, &points2D, &planes, nullptr, nullptr);
  if (points.Size() < 2) return false;

  const VORMathPoint foot = VORMathLine(start, direction.GetVector()).Project(target);
  if (TAQMoCSStrokeUtilities::IsCoincident(start, foot, tol.LengthTolSq())) return false;
  const VORMathLine line(start, foot);  // parameter 0 at the start point, 1 at the foot

  const int i = TAQMoCSStrokeUtilities::GetNearestPoint(points, start, nullptr);
  const int j = TAQMoCSStrokeUtilities::GetNearestPoint(points, target, nullptr);
  if (std::abs(i - j) <= 1) return false;
  const int stepDir = i < j ? 1 : -1;
  for (int m = i; m != j; m += stepDir) {
    double s = 0.0;
    line.Project(points[m], s);
    const VORMathPoint q = line.EvalPoint(s);
    // Pulled fully onto the line level with the start, not at all level with the foot.
    points[m] = points[m] + (q - points[m]) * (1.0 - s);
  }
  if (!UpdateDataPointsInRange(config, stroke, points, std::min(i, j), std::max(i, j), points2D, planes)) return false;
  return stroke->UpdateGeometry(factory, config, nullptr, nullptr, nullptr, nullptr, nullptr);
}
