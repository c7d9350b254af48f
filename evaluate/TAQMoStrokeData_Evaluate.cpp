// Geometry of one data segment: its fitted curve, optionally projected onto a body, and the display
// polyline tessellated from it.
#include <algorithm>
#include <cmath>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStrokeData.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"

namespace {
// Chordal deviation of the display polyline, model units, of a stroke whose points have no reach.
const float kDisplayTolerance = 0.1f;
// The display of a stroke follows its curve to this share of the stroke's reach, at every size: 0.1
// model units for a stroke that reaches 100 units from its centroid. A stroke drawn ten or a million
// times larger shows the same display, point for point, where its curve has the same shape; past a
// reach of 500 units the tolerance is coarser than the fit's, and Tessellate joins flat spans in a row
// (the fit of a large stroke holds a share of its extent and has spans the display does not need).
const double kDisplayShare = 1e-3;

// The chordal deviation of the display of a curve fitted to points: the share of the points' reach, the
// farthest distance from their centroid, which does not change when the stroke is moved, turned or
// reversed.
double DisplayTolerance(const VORListValVORMathPoint& points) {
  const int n = points.Size();
  if (n == 0) return kDisplayTolerance;
  double c[3] = {0.0, 0.0, 0.0};
  for (const VORMathPoint& p : points) c[0] += p.GetX(), c[1] += p.GetY(), c[2] += p.GetZ();
  const VORMathPoint centroid(c[0] / n, c[1] / n, c[2] / n);
  double far = 0.0;
  for (const VORMathPoint& p : points) far = std::max(far, p.SquareDistanceTo(centroid));
  const double share = kDisplayShare * std::sqrt(far);
  return std::isfinite(share) && share > 0.0 ? share : static_cast<double>(kDisplayTolerance);
}
}  // namespace

long TAQMoStrokeData::Evaluate(VORGeoFactory* factory, VORSoftwareConfiguration* config, bool isSketch,
                               VORBody* body, VORRawCollint* anchors, VORMathVector* tangents,
                               VORListValVORMathPoint& sourcePoints, svConstraintStatus& status,
                               VORListPtrVORCurve* curves, VORRawCollint* splits, VORListValVORMathPoint* points,
                               VORListValVORMathVector* normals, double* range, bool wholeCurve) {
  if (!factory) return E_FAIL;
  if (range) {
    const double width = std::fabs(range[1] - range[0]);
    // A NaN range is as short as none.
    if (!(factory->GetResolution() <= width)) return E_FAIL;
  }

  status = 0;
  sourcePoints.RemoveAll();
  if (curves) curves->RemoveAll();
  if (points) points->RemoveAll();
  if (splits) splits->RemoveAll();
  if (normals) normals->RemoveAll();

  // A segment without a reference plane takes the same path: its stored 3D points are its source points
  // and are fitted once, so the update gets exactly one curve and a split list ending with the display
  // point count (no extra fit of an empty list comes first).
  const long result = GetSourcePoints(sourcePoints, normals);
  if (result < 0) return result;

  const bool wantFit = curves || (splits && points);
  if (wantFit) {
    VORCurve* curve =
        TAQMoCSStrokeUtilities::CreateFitCurve(factory, config, sourcePoints, anchors, tangents, nullptr);
    if (curve) {
      if (!body) {
        if (curves) curves->Append(curve);
        if (points)
          TAQMoCSStrokeUtilities::Tessellate(curve, curve->GetStartLimit(), curve->GetEndLimit(),
                                             DisplayTolerance(sourcePoints), *points);
      } else {
        VORListPtrVORCurve pieces;
        VORRawCollint indices;
        if (wholeCurve) {
          pieces.Append(curve);
          indices.Append(1);
        } else {
          TAQMoCSStrokeUtilities::GetProjection(config, body, curve, curve->GetStartLimit().GetParam(),
                                                curve->GetEndLimit().GetParam(), pieces, indices);
        }
        if (curves) *curves = pieces;
        if (splits && points) {
          TAQMoCSStrokeUtilities::Tessellate(pieces, indices, *splits, *points, DisplayTolerance(sourcePoints),
                                             isSketch ? 3.0 : 0.0, false);
          if (normals) {
            VORListValVORMathVector estimated;
            TAQMoCSStrokeUtilities::EstimateNormals(sourcePoints, *normals, *points, VORMathVector(0.0, 0.0, 1.0),
                                                    estimated);
            *normals = estimated;
          }
        }
      }
    }
  }
  if (splits && points && splits->Size() == 0) splits->Append(points->Size());
  if (status == 0 && !range) mSourceCoords = sourcePoints;
  return result;
}
