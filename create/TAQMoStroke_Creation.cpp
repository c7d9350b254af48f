// Creation of a stroke from reference planes with 2D and 3D points, grouped into segments by plane.
#include "TAQMoStroke.h"
#include "TAQUtTolerance.h"

namespace {

bool AllFinite(const VORListValVORMathPoint& points) {
  for (const VORMathPoint& p : points)
    if (!p.IsFinite()) return false;
  return true;
}

bool AllFinite(const VORListValVORMathPoint2D& points) {
  for (const VORMathPoint2D& p : points)
    if (!p.IsFinite()) return false;
  return true;
}

}  // namespace

bool TAQMoStroke::IsSameReference(const VORMathPlane& a, const VORMathPlane& b, double tolerance) {
  // The tolerance is compared with squared lengths; equal to it counts as the same.
  if (a.GetOrigin().SquareDistanceTo(b.GetOrigin()) > tolerance) return false;
  VORMathDirection a1, a2, b1, b2;
  a.GetDirections(a1, a2);
  b.GetDirections(b1, b2);
  if ((b1.GetVector() - a1.GetVector()).GetSquareNorm() > tolerance) return false;
  if ((b2.GetVector() - a2.GetVector()).GetSquareNorm() > tolerance) return false;
  return true;
}

TAQMoStrokeData* TAQMoStroke::CreateData(const VORMathPlane* plane, VORListValVORMathPoint2D& points2D,
                                         VORListValVORMathPoint& points3D) {
  TAQMoStrokeData* segment = new TAQMoStrokeData();
  segment->SetData(points2D);
  segment->SetCoords(points3D);
  if (plane) segment->SetBase(*plane);
  return segment;
}

bool TAQMoStroke::CreateDataFromReferences(VORListValVORMathPlane& planes, VORListValVORMathPoint2D& points2D,
                                           VORListValVORMathPoint& points3D, TAQUtVector<TAQMoStrokeData*>& data) {
  data.RemoveAll();  // the segments it held are the caller's: not deleted
  const double tolerance = TAQUtTolerance().ModelResolution();

  if (planes.Size() == 0 || points2D.Size() < 2) {
    // No reference: one segment of plain 3D points, keeping the 2D points it was given.
    if (points3D.Size() >= 1) data.Append(CreateData(nullptr, points2D, points3D));
    return data.Size() > 0;
  }
  if (planes.Size() == 1) {
    data.Append(CreateData(&planes[1], points2D, points3D));
    return true;
  }
  // One plane per point; the 3D list must then be read at every 2D position.
  if (planes.Size() != points2D.Size() || points3D.Size() < points2D.Size()) return false;

  // Grouping by runs: each point is compared with the plane that opened its group (held in a copy, so
  // the caller's plane list is left as it came).
  VORMathPlane current = planes[1];
  VORListValVORMathPoint2D group2D;
  VORListValVORMathPoint group3D;
  auto close = [&]() {
    TAQMoStrokeData* segment = new TAQMoStrokeData();
    segment->SetData(group2D);
    segment->SetCoords(group3D);
    segment->SetBase(current);
    data.Append(segment);
  };
  for (int i = 1; i <= points2D.Size();) {
    if (IsSameReference(current, planes[i], tolerance)) {
      group2D.Append(points2D[i]);
      group3D.Append(points3D[i]);
      ++i;
    } else {
      close();
      current = planes[i];
      group2D.RemoveAll(1);
      group3D.RemoveAll(1);
    }
  }
  if (group2D.Size() > 0) close();
  return data.Size() > 0;
}

long TAQMoStroke::CreateFromReferences(TAQMoStroke& stroke, bool isSketch, bool addTarget, int type, int color,
                                       double width, VORListValVORMathPlane& planes,
                                       VORListValVORMathPoint2D& points2D, VORListValVORMathPoint& points3D,
                                       VORRawCollint* anchors) {
  if (!stroke.mSketchPlaneDefined) return E_FAIL;
  if (planes.Size() == 0) return E_FAIL;
  if (points2D.Size() < 2 && points3D.Size() < 2) return E_FAIL;
  // Non-finite coordinates and degenerate planes are refused here, once, before anything is made.
  if (!AllFinite(points2D) || !AllFinite(points3D)) return E_FAIL;
  for (const VORMathPlane& p : planes)
    if (!p.IsValid()) return E_FAIL;

  TAQUtVector<TAQMoStrokeData*> segments;
  if (!CreateDataFromReferences(planes, points2D, points3D, segments)) return E_FAIL;

  VORListValVORMathPlane targets;
  if (addTarget) targets.Append(stroke.mSketchPlane);

  stroke.mIsSketch = isSketch;
  stroke.mType = type;
  stroke.mColor = color;
  stroke.mWidth = width;
  stroke.mBlends.RemoveAll(1);
  const long result = stroke.SetData(segments, false);
  stroke.mTargets = targets;
  if (anchors) stroke.mAnchors = *anchors;
  return result;
}
