// The geometry of a stroke: fitted curves, display polyline and the two curve caches.
//
// mCurveCache with mSplits, mCoords and mNormals hold the last update made for the stroke's own range;
// mFullCurveCache holds clones of the curves of the last update that covered the whole stroke. Evaluate
// answers from them without touching the factory; everything else recomputes through UpdateGeometry.
#include <cmath>
#include <utility>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQMoStrokeData.h"
#include "TAQUtTolerance.h"
#include "VORCurve.h"
#include "svConstraintStatus.h"

namespace {

// True when request differs from own at either end by more than tol (the start is looked at first; the
// end only when the start agrees). NaN ends never differ, so they fall back on the stroke's own range.
bool RangeDiffers(const double* request, const double* own, double tol) {
  if (std::fabs(request[0] - own[0]) > tol) return true;
  return std::fabs(request[1] - own[1]) > tol;
}

}  // namespace

bool TAQMoStroke::Evaluate(VORGeoFactory* factory, VORSoftwareConfiguration* config, VORListPtrVORCurve& curves,
                           double* range, VORRawCollint* splits, VORListValVORMathPoint* points,
                           VORListValVORMathVector* normals) {
  const double tol = TAQUtTolerance().LengthTol();

  // A range is compared with the stroke's own only while there is a cache it could be served from.
  const bool differs = range != nullptr && mCurveCache.Size() > 0 && RangeDiffers(range, mRange, tol);

  // A curves-only request for the whole stroke is answered by the clones of the last whole-stroke update,
  // whatever the stroke's own range is.
  const bool wholeStroke = mFullCurveCache.Size() > 0 && splits == nullptr && points == nullptr &&
                           normals == nullptr && range != nullptr && std::fabs(range[1] - range[0] - 1.0) < tol;
  if (wholeStroke) {
    curves = mFullCurveCache;
    return true;
  }

  if (!differs && mCurveCache.Size() > 0) {
    curves = mCurveCache;
    if (points) *points = mCoords;
    if (splits) *splits = mSplits;
    if (normals) *normals = mNormals;
    return true;
  }

  return UpdateGeometry(factory, config, &curves, range, splits, points, normals);
}

bool TAQMoStroke::Update(VORSoftwareConfiguration* config, VORGeoFactory* factory, VORListPtrVORCurve* curves) {
  return UpdateGeometry(factory, config, curves, nullptr, nullptr, nullptr, nullptr);
}

bool TAQMoStroke::UpdateGeometry(VORGeoFactory* factory, VORSoftwareConfiguration* config,
                                 VORListPtrVORCurve* curves, double* range, VORRawCollint* splits,
                                 VORListValVORMathPoint* points, VORListValVORMathVector* normals) {
  // Emptied before any check: after a failure no stale clone can answer a whole-stroke request.
  mFullCurveCache.RemoveAll();
  if (factory == nullptr) return false;

  const double tol = TAQUtTolerance().LengthTol();
  TAQUtVector<TAQMoStrokeData*> data = mData;
  const int type = mType;
  const bool isSketch = type != 0 ? mIsSketch : false;

  // A range equal to the stroke's own within tolerance is no range request: its result is cached.
  double workRange[2] = {mRange[0], mRange[1]};
  bool rangeRequest = false;
  if (range != nullptr && RangeDiffers(range, mRange, tol)) {
    rangeRequest = true;
    workRange[0] = range[0];
    workRange[1] = range[1];
  }

  VORRawCollint workSplits;
  VORListValVORMathPoint workPoints;
  VORListValVORMathVector workNormals;
  VORListPtrVORCurve workCurves;
  const VORRawColldouble blends = mBlends;

  // End tangents are imposed on the fit only where the blend of that end is not negligible. A list with a
  // single value weighs the start only; the end is then left free.
  VORMathVector endVectors[2];
  VORMathPoint endPoints[2];
  VORMathDirection endDirections[2];
  if (GetEndTangents(endPoints, endDirections)) {
    if (blends.Size() >= 1 && std::fabs(blends[1]) >= tol) endVectors[0] = endDirections[0].GetVector();
    if (blends.Size() >= 2 && std::fabs(blends[2]) >= tol) endVectors[1] = endDirections[1].GetVector();
  }

  VORRawCollint anchors = mAnchors;
  VORListValVORMathPoint sourcePoints;
  svConstraintStatus status = 0;

  if (data.Size() == 1 && data[0] != nullptr) {
    data[0]->Evaluate(factory, config, isSketch, nullptr, &anchors, endVectors, sourcePoints, status, &workCurves,
                      &workSplits, &workPoints, isSketch ? nullptr : &workNormals,
                      rangeRequest ? workRange : nullptr, false);
    // The fit's polyline carries no normals of its own: they are carried over from the previous display
    // polyline, point by nearest point.
    if (!isSketch && workPoints.Size() != workNormals.Size()) {
      TAQMoCSStrokeUtilities::EstimateNormals(mCoords, mNormals, workPoints, VORMathVector(0.0, 0.0, 1.0),
                                              workNormals);
    }
  } else {
    // Several segments are shown as their concatenated points; no curve is fitted through them.
    for (unsigned int i = 0; i < data.Size(); ++i) {
      TAQMoStrokeData* segment = data[i];
      if (segment == nullptr) continue;
      VORListValVORMathPoint segmentPoints;
      VORListValVORMathVector segmentNormals;
      segment->GetSourcePoints(segmentPoints, isSketch ? nullptr : &segmentNormals);
      sourcePoints.Append(segmentPoints);
      workNormals.Append(segmentNormals);
    }
    workPoints = sourcePoints;
  }

  if (sourcePoints.Size() < 2) {
    status = 1;
  } else if (status == 0 && type == 1 && workCurves.Size() == 1) {
    VORCurve* curve = workCurves[1];
    // The tangents recorded are those of the whole fit, before any cut.
    UpdateEndTangents(curve);
    const bool subRange = workRange[0] > tol || 1.0 - workRange[1] > tol;
    if (curve != nullptr && subRange) {
      TAQMoCSStrokeUtilities::SubsetCurveNormalized(curve, workRange);
      const VORMathPoint start = curve->EvalPoint(curve->GetStartLimit());
      const VORMathPoint end = curve->EvalPoint(curve->GetEndLimit());
      TAQMoCSStrokeUtilities::PolylineTrim(workSplits, workPoints, workNormals, start, end, true);
    }
  }

  if (workPoints.Size() == 0) {
    status = 1;
  } else if (status == 0) {
    if (curves) *curves = workCurves;
    if (std::fabs(workRange[1] - workRange[0] - 1.0) < tol)
      TAQMoCSStrokeUtilities::Clone(workCurves, mFullCurveCache);
    // A range request hands its splits out as the cut left them; the stroke's own polyline always has
    // at least the one split that closes it.
    if (!rangeRequest && workSplits.Size() == 0) workSplits.Append(workPoints.Size());
    if (splits) *splits = workSplits;
    if (points) *points = workPoints;
    if (normals) *normals = workNormals;
    if (!rangeRequest) {
      mCurveCache = std::move(workCurves);
      mSplits = std::move(workSplits);
      mCoords = std::move(workPoints);
      mNormals = std::move(workNormals);
    }
  }

  return status != 1;
}
