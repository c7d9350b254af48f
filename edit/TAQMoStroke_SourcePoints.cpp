// The stroke's source points flattened from its segments, and its unit length.
#include "TAQMoStroke.h"
#include "TAQUtTolerance.h"

long TAQMoStroke::GetSourcePoints(VORListValVORMathPoint& points, VORListValVORMathPoint2D* points2D,
                                  VORListValVORMathPlane* planes, VORListValVORMathVector* tangents, int* type) {
  points.RemoveAll();
  if (points2D) points2D->RemoveAll();
  if (planes) planes->RemoveAll();
  const TAQUtVector<TAQMoStrokeData*> data(mData);
  if (type) *type = mType;
  if (tangents) {
    VORMathPoint ends[2];
    VORMathDirection directions[2];
    if (GetEndTangents(ends, directions)) {
      tangents->Append(directions[0].GetVector());
      tangents->Append(directions[1].GetVector());
    }
  }
  VORListValVORMathPoint segmentPoints;
  VORListValVORMathPoint2D segment2D;
  for (unsigned i = 0; i < data.Size(); ++i) {
    const TAQMoStrokeData* segment = data[i];
    if (!segment) continue;
    segment->GetSourcePoints(segmentPoints, nullptr);
    if (points2D) {
      segment->GetData(segment2D);
      if (segment2D.Size() == segmentPoints.Size()) points2D->Append(segment2D);
    }
    if (planes) {
      VORMathPlane base;
      if (segment->GetBase(base) >= 0)
        for (int k = 0; k < segmentPoints.Size(); ++k) planes->Append(base);
    }
    points.Append(segmentPoints);
  }
  if (points.Size() == 0) {
    points = mCoords;
  } else {
    if (planes && planes->Size() != points.Size()) planes->RemoveAll();
    if (points2D && points2D->Size() != points.Size()) points2D->RemoveAll();
  }
  return S_OK;
}

double TAQMoStroke::GetUnitLength() {
  const double lengthTol = TAQUtTolerance().LengthTol();
  if (!(lengthTol > mUnitLength)) return mUnitLength;
  const int n = mAnchors.Size();
  if (n <= 1) {
    if (mUnitLength < 0.5) mUnitLength = 0.5;
    return mUnitLength;
  }
  VORListValVORMathPoint points, segmentPoints;
  for (unsigned i = 0; i < mData.Size(); ++i) {
    if (!mData[i]) continue;
    mData[i]->GetSourcePoints(segmentPoints, nullptr);
    points.Append(segmentPoints);
  }
  const VORListValVORMathPoint& polyline = points.Size() > 0 ? points : mCoords;
  double length = 0.0;
  for (int i = 1; i < polyline.Size(); ++i) length += polyline[i].DistanceTo(polyline[i + 1]);
  const int d = n < 5 ? 100 : 20 * n;
  double unit = length / static_cast<double>(d);
  // A polyline with non-finite points has no usable length: the floor stands in for it.
  if (!(unit >= 0.5)) unit = 0.5;
  mUnitLength = unit;
  return mUnitLength;
}
