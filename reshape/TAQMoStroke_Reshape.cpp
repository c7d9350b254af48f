// Dragging a stroke through a point: its source points move between the anchors around the dragged one,
// or the dragged point first becomes a point of the stroke and an anchor.
#include <cmath>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQUtTolerance.h"

namespace {

// Inserts point at position k of the source points, with the parallel lists following.
void InsertSourcePoint(VORListValVORMathPoint& points, VORListValVORMathPoint2D& points2D,
                       VORListValVORMathPlane& planes, int k, const VORMathPoint& point) {
  const int n = points.Size();
  const int at = k <= n ? k : n;  // the placeholder copies the neighbour that exists
  if (points2D.Size() == n && n > 0) points2D.InsertAt(k, points2D[at]);
  if (planes.Size() == n && n > 0) planes.InsertAt(k, planes[at]);
  points.InsertAt(k, point);
}

}  // namespace

bool TAQMoStroke::ReshapeCurve(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                               const VORMathPoint& from, const VORMathPoint& to, bool project, bool noUpdate) {
  const TAQUtTolerance tol;
  if (TAQMoCSStrokeUtilities::IsCoincident(from, to, tol.LengthTolSq()) || !stroke || stroke->mType != 1)
    return false;
  if (!from.IsFinite() || !to.IsFinite()) return false;
  HardSubsetStroke(config, factory, stroke);

  VORListValVORMathPoint points;
  VORListValVORMathPoint2D points2D;
  VORListValVORMathPlane planes;
  stroke->GetSourcePoints(points, &points2D, &planes, nullptr, nullptr);
  if (points.Size() < 2) return false;

  const VORRawCollint anchorsBefore = stroke->mAnchors;
  VORRawCollint anchors = stroke->mAnchors;
  VORListValVORMathPoint anchorPoints;
  for (int k = 1; k <= anchors.Size(); ++k)
    if (anchors[k] >= 1 && anchors[k] <= points.Size()) anchorPoints.Append(points[anchors[k]]);

  int first = 1, last = 1;
  bool changed = false, newAnchor = false;
  if (!project) {
    if (!TAQMoCSStrokeUtilities::DeformPolyLine(points, anchorPoints, from, to, first, last)) {
      if (last - first != 1) return false;
      // The dragged point lies inside a piece with no inner point: the target becomes a new point there.
      InsertSourcePoint(points, points2D, planes, last, to);
      for (int k = 1; k <= anchors.Size(); ++k)
        if (anchors[k] > first) ++anchors[k];
      first = last;
      stroke->mAnchors = anchors;
    }
  } else {
    VORMathPoint foot;
    const double t = TAQMoCSStrokeUtilities::PolylineProjection(from, nullptr, points, foot, nullptr);
    int k = static_cast<int>(t + tol.LengthTol());
    newAnchor = true;
    const bool inserted = std::fabs(t - k) > tol.TessellationTol();
    if (inserted) {
      ++k;
      InsertSourcePoint(points, points2D, planes, k, foot);
      first = last = k;
      changed = true;
    } else {
      newAnchor = anchors.Locate(k, 1) == 0;
    }
    if (!TAQMoCSStrokeUtilities::IsCoincident(to, foot, tol.LengthTolSq())) {
      TAQMoCSStrokeUtilities::DeformPolyLine(points, anchorPoints, foot, to, first, last);
      // The run written back is the one the deformation reports: widening it to k would move the point
      // of an anchor k the foot lies just past onto its moved neighbour.
      if (k >= 1 && k <= points.Size()) points[k] = to;
      changed = true;
    }
    if (newAnchor) {
      int j = 0;
      for (int p = 1; p <= anchors.Size() && j == 0; ++p)
        if (anchors[p] >= k) j = p;
      if (j > 0) {
        anchors.InsertAt(j, k);
        if (inserted)
          for (int p = j + 1; p <= anchors.Size(); ++p) ++anchors[p];
      }
      stroke->mAnchors = anchors;
    }
    if (!changed) {
      if (!newAnchor) return false;
      return noUpdate ? true : stroke->UpdateGeometry(factory, config, nullptr, nullptr, nullptr, nullptr, nullptr);
    }
  }
  if (!UpdateDataPointsInRange(config, stroke, points, first, last, points2D, planes)) {
    stroke->mAnchors = anchorsBefore;  // the points did not move: neither do the anchors
    return false;
  }
  if (noUpdate) return true;
  return stroke->UpdateGeometry(factory, config, nullptr, nullptr, nullptr, nullptr, nullptr);
}
