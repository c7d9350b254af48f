// One data segment: its value semantics, accessors and its source points in 3D.
#include "TAQMoStrokeData.h"

// The holder bookkeeping (mHolders, mReclaim) belongs to the object, not to its value: a new segment,
// copy or not, is held by nobody, and assigning over a segment keeps its holders.

TAQMoStrokeData::TAQMoStrokeData() : mBase(), mIsRefDefined(false), mSourceCoords(), mPoints2D() {}

TAQMoStrokeData::TAQMoStrokeData(const TAQMoStrokeData& other)
    : mBase(other.mBase),
      mIsRefDefined(other.mIsRefDefined),
      mSourceCoords(other.mSourceCoords),
      mPoints2D(other.mPoints2D) {}

TAQMoStrokeData& TAQMoStrokeData::operator=(const TAQMoStrokeData& other) {
  if (this == &other) return *this;
  mBase = other.mBase;
  mIsRefDefined = other.mIsRefDefined;
  mSourceCoords = other.mSourceCoords;
  mPoints2D = other.mPoints2D;
  return *this;
}

TAQMoStrokeData::~TAQMoStrokeData() = default;

long TAQMoStrokeData::GetBase(VORMathPlane& plane) const {
  plane = mBase;
  return S_OK;
}

long TAQMoStrokeData::SetBase(const VORMathPlane& plane) {
  mBase = plane;
  mIsRefDefined = true;
  return S_OK;
}

bool TAQMoStrokeData::IsRefDefined() const { return mIsRefDefined; }

long TAQMoStrokeData::GetCoords(VORListValVORMathPoint& points) const {
  points = mSourceCoords;
  return S_OK;
}

long TAQMoStrokeData::SetCoords(const VORListValVORMathPoint& points) {
  mSourceCoords = points;
  return S_OK;
}

long TAQMoStrokeData::GetData(VORListValVORMathPoint2D& points) const {
  points = mPoints2D;
  return S_OK;
}

long TAQMoStrokeData::SetData(const VORListValVORMathPoint2D& points) {
  mPoints2D = points;
  return S_OK;
}

long TAQMoStrokeData::GetSourcePoints(VORListValVORMathPoint& points, VORListValVORMathVector* normals) const {
  points.RemoveAll(1);
  if (normals) normals->RemoveAll(1);
  if (!mIsRefDefined) {
    points = mSourceCoords;
    return S_OK;
  }
  const int count = mPoints2D.Size();
  points.Reserve(count);
  const VORMathPoint2D* uv = mPoints2D.Data();
  for (int i = 0; i < count; ++i) points.Append(mBase.EvalPoint(uv[i].GetX(), uv[i].GetY()));
  if (normals) {
    normals->Reserve(count);
    const VORMathVector normal = mBase.GetNormal().GetVector();
    for (int i = 0; i < count; ++i) normals->Append(normal);
  }
  return points.Size() == 0 ? E_FAIL : S_OK;
}
