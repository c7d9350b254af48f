// Anchors: reading them as points, deleting an inner one with its points, and the anchors in a range.
#include <cmath>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQUtTolerance.h"
#include "VORCurve.h"

namespace {

// The source points of the stroke's segments in order, or its display polyline when they yield none.
void GatherSourcePoints(const TAQUtVector<TAQMoStrokeData*>& data, const VORListValVORMathPoint& coords,
                        VORListValVORMathPoint& points) {
  points.RemoveAll();
  VORListValVORMathPoint segmentPoints;
  for (unsigned i = 0; i < data.Size(); ++i) {
    if (!data[i]) continue;
    data[i]->GetSourcePoints(segmentPoints, nullptr);
    points.Append(segmentPoints);
  }
  if (points.Size() == 0) points = coords;
}

}  // namespace

long TAQMoStroke::GetAnchors(VORListValVORMathPoint& points) {
  points.RemoveAll();
  const VORRawCollint anchors = mAnchors;
  const int n = anchors.Size();
  if (n == 0) return S_OK;
  VORListValVORMathPoint source;
  GatherSourcePoints(mData, mCoords, source);
  const int count = source.Size();
  if (count >= 2) {
    points.Append(source[1]);
    for (int k = 1; k <= n; ++k) {
      const int a = anchors[k];
      if (1 < a && a < count) points.Append(source[a]);
    }
    points.Append(source[count]);
  }
  return points.Size() == n ? S_OK : E_FAIL;
}

void TAQMoStroke::DeleteAnchor(int position) {
  VORRawCollint anchors = mAnchors;
  const int n = anchors.Size();
  if (position <= 1 || position >= n) return;  // the ends of the stroke stay
  const int prev = anchors[position - 1];
  const int next = anchors[position + 1];
  anchors.RemovePosition(position);
  mAnchors = anchors;
  ClearDataBetween(prev + 1, next - 1);
}

void TAQMoStroke::ClearDataBetween(int first, int last) {
  if (last - first < 2) return;
  VORListValVORMathPoint points;
  VORListValVORMathPoint2D points2D;
  VORListValVORMathPlane planes;
  GetSourcePoints(points, &points2D, &planes, nullptr, nullptr);
  // Positions count from 1: a run that starts before the first point is refused, and the stroke stays.
  if (first < 1) return;
  VORRawCollint anchors = mAnchors;
  // The points of the run leave every list at once (a run reaching past the last point takes what there
  // is); anchors after the run move back by its length, and an anchor inside it lands on the point before
  // it.
  const int count = last - first + 1;
  points.RemovePositions(first, count);
  points2D.RemovePositions(first, count);
  planes.RemovePositions(first, count);
  for (int& a : anchors) {
    if (a > last) a -= count;
    else if (a >= first) a = first - 1;
  }
  TAQUtVector<TAQMoStrokeData*> data;
  CreateDataFromReferences(planes, points2D, points, data);
  SetData(data, false);
  mAnchors = anchors;
}

void TAQMoStroke::GetAnchorsInRange(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                                    VORListValVORMathPoint& points, VORRawCollint& anchors, bool& closed,
                                    double* range) {
  const TAQUtTolerance tol;
  // With no point there is nothing to place the range on: the anchors are left alone, and the list is
  // not closed.
  if (points.Size() == 0) {
    closed = false;
    return;
  }
  closed = TAQMoCSStrokeUtilities::IsCoincident(points[1], points[points.Size()], tol.LengthTolSq());
  if (!stroke) return;
  anchors = stroke->mAnchors;
  const double r0 = range ? range[0] : stroke->mRange[0];
  const double r1 = range ? range[1] : stroke->mRange[1];
  if (anchors.Size() == 0) return;
  if (!(std::fabs(r1 - r0) < 0.99)) return;  // the whole stroke: every anchor stays

  VORMathPoint e0, e1;
  if (range) {
    VORMathDirection direction;
    if (VORCurve* curve = stroke->GetSourceCurve(factory, config, direction, nullptr)) {
      const double s = curve->GetStartLimit().GetParam(), e = curve->GetEndLimit().GetParam();
      e0 = curve->EvalPoint(curve->CreateParam(s + r0 * (e - s)));
      e1 = curve->EvalPoint(curve->CreateParam(s + r1 * (e - s)));
    }
  } else if (stroke->mEndPoints.Size() == 2) {
    e0 = stroke->mEndPoints[1];
    e1 = stroke->mEndPoints[2];
  }
  VORMathPoint foot;
  const double t0 = TAQMoCSStrokeUtilities::PolylineProjection(e0, nullptr, points, foot, nullptr);
  double t1 = TAQMoCSStrokeUtilities::PolylineProjection(e1, nullptr, points, foot, nullptr);
  if (closed && t1 == 1.0) t1 = points.Size();  // on a closed list the range's end is the last point
  closed = false;
  for (int k = 1; k <= anchors.Size();) {
    const double a = anchors[k];
    if (a < t0 || a > t1) anchors.RemovePosition(k);
    else ++k;
  }
}
