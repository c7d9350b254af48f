// Cutting a stroke down for good to its range: the data are rebuilt from the display polyline of the
// range, the range becomes the whole stroke, and the end tangents become those of the cut.
#include <cmath>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQUtTolerance.h"
#include "VORCurve.h"

namespace {
// An anchor within this fraction of a polyline piece of a display point is that point.
const double kPieceSnap = 0.1;

// True when some point lies farther than the tolerance from the first.
bool HasLength(const VORListValVORMathPoint& points, double tolSq) {
  for (const VORMathPoint& p : points)
    if (!TAQMoCSStrokeUtilities::IsCoincident(p, points[1], tolSq)) return true;
  return false;
}
}  // namespace

bool TAQMoStroke::HardSubsetStroke(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke) {
  if (!stroke) return false;
  const TAQUtTolerance tol;
  double range[2] = {stroke->mRange[0], stroke->mRange[1]};
  if (!(std::fabs(range[1] - range[0] - 1.0) > tol.LengthTol()) || stroke->mType != 1 || !stroke->mIsSketch)
    return false;

  VORListValVORMathPoint display = stroke->mCoords;
  // Nothing displayed, or a range shown as a point: nothing to rebuild the stroke from, and cutting it to
  // that would lose every drawn point. The stroke stays as it is.
  if (!HasLength(display, tol.LengthTolSq())) return false;
  VORListValVORMathPoint source;
  stroke->GetSourcePoints(source, nullptr, nullptr, nullptr, nullptr);

  VORRawCollint inRange;
  bool closed = false;
  GetAnchorsInRange(config, factory, stroke, source, inRange, closed, nullptr);

  VORRawCollint keep;
  keep.Append(1);
  for (int i = 1; i <= inRange.Size(); ++i) {
    const int a = inRange[i];
    if (a < 1 || a > source.Size()) continue;
    VORMathPoint foot;
    const double t = TAQMoCSStrokeUtilities::PolylineProjection(source[a], nullptr, display, foot, nullptr);
    int k = static_cast<int>(t + kPieceSnap);
    if (std::fabs(t - k) > kPieceSnap) {
      ++k;
      display.InsertAt(k, source[a]);
    }
    if (keep.Locate(k, 1) == 0) keep.Append(k);
  }

  const VORListValVORMathPoint ends = stroke->mEndPoints;
  if (ends.Size() == 2) {
    VORMathPoint points[2];
    VORMathDirection directions[2];
    if (GetSubsetEndTangents(config, factory, stroke, range, points, directions)) {
      const VORMathDirection unused(1.0, 0.0, 0.0);
      stroke->UpdateEndTangent(config, factory, ends[1], unused, directions[0], false);
      stroke->UpdateEndTangent(config, factory, ends[2], unused, directions[1], false);
    }
  }
  TAQMoCSStrokeUtilities::SimplifyFitPoints(factory, config, display, &keep,
                                            static_cast<double>(TAQMoCSStrokeUtilities::mFitTolerance2D));
  return UpdateStroke(config, factory, stroke, display, true);
}

bool TAQMoStroke::GetSubsetEndTangents(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                                       double* range, VORMathPoint points[2], VORMathDirection directions[2]) {
  if (!stroke || !config || !range) return false;
  const bool result = stroke->GetEndTangents(points, directions);
  const TAQUtTolerance tol;
  if (!(std::fabs(range[1] - range[0] - 1.0) > tol.LengthTol())) return result;

  VORListPtrVORCurve curves;
  stroke->Evaluate(factory, config, curves, range, nullptr, nullptr, nullptr);
  VORListValVORMathPoint tess;
  VORRawCollint indices, splits;
  TAQMoCSStrokeUtilities::Tessellate(curves, indices, splits, tess,
                                     static_cast<double>(TAQMoCSStrokeUtilities::mDisplayFitTolerance), 3.0, false);
  // A chord needs two points: with a single one the stored tangents stand.
  if (tess.Size() < 2) return result;
  for (int i = 0; i < 2; ++i) {
    if (!(std::fabs(range[i] - i) > tol.LengthTol())) continue;  // this end is the stroke's own end
    const int n = tess.Size();
    points[i] = i == 0 ? tess[1] : tess[n];
    directions[i] = i == 0 ? VORMathDirection(tess[2] - tess[1]) : VORMathDirection(tess[n] - tess[n - 1]);
    double param = 0.0;
    VORCurve* curve = nullptr;
    if (TAQMoCSStrokeUtilities::GetProjectionOnCurves(config, curves, points[i], nullptr, param, curve, nullptr,
                                                      false) &&
        curve) {
      VORMathVector d = curve->EvalFirstDerivative(curve->CreateParam(param));
      if (d.Dot(directions[i].GetVector()) < 0.0) d = -d;
      directions[i] = VORMathDirection(d);
    }
  }
  return result;
}
