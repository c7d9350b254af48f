// Writing an edited point list back into a stroke by rebuilding its data segments.
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"

namespace {

bool AllFinite(const VORListValVORMathPoint& points) {
  for (const VORMathPoint& p : points)
    if (!p.IsFinite()) return false;
  return true;
}

}  // namespace

bool TAQMoStroke::UpdateStroke(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                               VORListValVORMathPoint& points, bool resetRange) {
  if (!stroke) return false;
  // A non-finite point would end up in the segments (or drop them all on a target): refused, stroke kept.
  if (!AllFinite(points)) return false;
  const bool hasTarget = stroke->mTargets.Size() > 0;
  const VORMathPlane target = hasTarget ? stroke->mTargets[1] : VORMathPlane();

  VORListValVORMathPoint source;
  stroke->GetSourcePoints(source, nullptr, nullptr, nullptr, nullptr);
  VORRawCollint inRange, anchors;
  bool closed = false;
  GetAnchorsInRange(config, factory, stroke, source, inRange, closed, nullptr);
  TAQMoCSStrokeUtilities::PrepareCurveData(points, source, inRange.Size(), inRange, anchors, 45.0);
  // A stroke left with only its two ends as anchors gets a third at its middle point.
  if (anchors.Size() == 2 && points.Size() > 2) anchors.InsertAt(2, (points.Size() + 1) / 2);

  VORListValVORMathPlane planes;
  VORListValVORMathPoint2D points2D;
  VORListValVORMathPoint points3D;
  if (hasTarget) {
    TAQMoCSStrokeUtilities::ForwardToPlane(target.GetNormal(), target, points, points2D);
    planes.Append(target);
  } else {
    points3D = points;
  }
  TAQUtVector<TAQMoStrokeData*> data;
  CreateDataFromReferences(planes, points2D, points3D, data);
  stroke->mAnchors = anchors;
  stroke->SetData(data, resetRange);
  stroke->UpdateGeometry(factory, config, nullptr, nullptr, nullptr, nullptr, nullptr);
  return true;
}

bool TAQMoStroke::UpdateDataPointsInRange(VORSoftwareConfiguration* /*config*/, TAQMoStroke* stroke,
                                          VORListValVORMathPoint& points, int first, int last,
                                          VORListValVORMathPoint2D& points2D, VORListValVORMathPlane& planes) {
  // Non-finite points would be written into the segments: refused, and nothing changes.
  if (!AllFinite(points)) return false;
  // No plane coordinates at all (segments without reference, whose planes are only their default bases):
  // the points are kept as 3D points, not flattened onto a plane they never lay on.
  if (points2D.Size() == 0) planes.RemoveAll();
  if (planes.Size() > 0) {
    // The moved run must lie inside both lists: a 2D list shorter than the run (a segment without 2D
    // points emptied it) is refused, and nothing changes.
    if (first <= last && (first < 1 || last > points2D.Size() || last > points.Size())) return false;
    const VORMathPlane base = planes[1];
    for (int i = first; i <= last; ++i) {
      double u = 0.0, v = 0.0;
      base.Project(points[i], u, v);
      points2D[i] = VORMathPoint2D(u, v);
    }
    planes.RemoveAll();
    planes.Append(base);
  }
  TAQUtVector<TAQMoStrokeData*> data;
  if (!CreateDataFromReferences(planes, points2D, points, data) || !stroke) {
    // Segments made for a stroke that is not there are the caller's no more: free them here.
    for (unsigned i = 0; i < data.Size(); ++i) delete data[i];
    return false;
  }
  return stroke->SetData(data, false) >= 0;
}
