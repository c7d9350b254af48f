// The stroke object: construction, copying, destruction, the plain accessors, the display data, SetData
// and Set, and the holder bookkeeping that lets copies share segments safely.
#include "TAQMoStroke.h"

#include <algorithm>
#include <cmath>

// ---- Holder bookkeeping ----
//
// Every place in a stroke's data vector that holds a segment, and every record a stroke keeps, counts once
// in the segment's mHolders. A segment whose mReclaim mark is set (adopted by SetData or made by the
// library) is deleted when its count drops to zero; an unmarked one (a caller's record) is never deleted,
// never counted and never kept.

void TAQMoStroke::Hold(const TAQUtVector<TAQMoStrokeData*>& segments, bool takeCharge) {
  const unsigned int n = segments.Size();
  for (unsigned int i = 0; i < n; ++i) {
    TAQMoStrokeData* segment = segments[i];
    if (!segment) continue;
    ++segment->mHolders;
    if (takeCharge) segment->mReclaim = true;
  }
}

void TAQMoStroke::LetGo(TAQUtVector<TAQMoStrokeData*>& segments) {
  const unsigned int n = segments.Size();
  for (unsigned int i = 0; i < n; ++i) {
    TAQMoStrokeData* segment = segments[i];
    if (!segment) continue;
    segments[i] = nullptr;
    // The same segment may sit at several positions: only its last place deletes it, and no later
    // position refers to it once the count is zero.
    if (--segment->mHolders <= 0 && segment->mReclaim) delete segment;
  }
}

void TAQMoStroke::CountKept(const std::vector<TAQMoStrokeData*>& kept, std::size_t from) {
  for (std::size_t i = from; i < kept.size(); ++i) ++kept[i]->mHolders;
}

void TAQMoStroke::ReleaseKept(std::vector<TAQMoStrokeData*>& kept) {
  for (TAQMoStrokeData* record : kept)
    if (--record->mHolders <= 0 && record->mReclaim) delete record;
  kept.clear();
}

void TAQMoStroke::AdoptTangentRecord(TAQMoStrokeData* record) {
  try {
    mKeptRecords.reserve(mKeptRecords.size() + 1);
    mTangents.Append(record);
  } catch (...) {
    delete record;
    throw;
  }
  record->mReclaim = true;
  ++record->mHolders;
  mKeptRecords.push_back(record);
}

void TAQMoStroke::DropTangentRecords() { mTangents.RemoveAll(); }

// ---- Creation, copying, destruction ----

TAQMoStroke::TAQMoStroke()
    : mType(0),
      mIsSketch(false),
      mSketchPlaneDefined(false),
      mRange{0.0, 0.0},
      mColor(0),
      mWidth(-1.0),
      mUnitLength(0.0),
      mAnchors(0),
      mBlends(0),
      mSplits(0),
      mCurveCache(0),
      mFullCurveCache(0) {}

TAQMoStroke::TAQMoStroke(const TAQMoStroke& other)
    : mType(other.mType),
      mIsSketch(other.mIsSketch),
      mSketchPlaneDefined(other.mSketchPlaneDefined),
      mRange{other.mRange[0], other.mRange[1]},
      mData(other.mData),
      mTangents(other.mTangents),
      mColor(other.mColor),
      mWidth(other.mWidth),
      mUnitLength(other.mUnitLength),
      mSketchPlane(other.mSketchPlane),
      mAnchors(other.mAnchors),
      mBlends(other.mBlends),
      mTargets(other.mTargets),
      mEndPoints(other.mEndPoints),
      mSplits(other.mSplits),
      mCoords(other.mCoords),
      mNormals(other.mNormals),
      mCurveCache(other.mCurveCache),
      mFullCurveCache(other.mFullCurveCache),
      mKeptRecords(other.mKeptRecords) {
  // Counted only once every member is built: a failure above leaves no count behind.
  Hold(mData, false);
  CountKept(mKeptRecords, 0);
}

TAQMoStroke& TAQMoStroke::operator=(const TAQMoStroke& other) {
  if (this == &other) return *this;
  // Copies first, so that a failed allocation leaves this stroke as it was.
  TAQUtVector<TAQMoStrokeData*> data(other.mData);
  TAQUtVector<TAQMoStrokeData*> tangents(other.mTangents);
  // This stroke keeps its own records too: a caller may have saved them with GetTangents.
  std::vector<TAQMoStrokeData*> kept(mKeptRecords);
  const std::size_t ownKept = kept.size();
  for (TAQMoStrokeData* record : other.mKeptRecords)
    if (std::find(kept.begin(), kept.end(), record) == kept.end()) kept.push_back(record);
  // Hold the source's segments before letting go of ours: a segment both strokes hold survives.
  Hold(data, false);
  CountKept(kept, ownKept);
  mType = other.mType;
  mIsSketch = other.mIsSketch;
  mSketchPlaneDefined = other.mSketchPlaneDefined;
  mRange[0] = other.mRange[0];
  mRange[1] = other.mRange[1];
  LetGo(mData);
  mData = data;
  mTangents = tangents;
  mKeptRecords.swap(kept);
  mColor = other.mColor;
  mWidth = other.mWidth;
  mUnitLength = other.mUnitLength;
  mSketchPlane = other.mSketchPlane;
  mAnchors = other.mAnchors;
  mBlends = other.mBlends;
  mTargets = other.mTargets;
  mEndPoints = other.mEndPoints;
  mSplits = other.mSplits;
  mCoords = other.mCoords;
  mNormals = other.mNormals;
  mCurveCache = other.mCurveCache;
  mFullCurveCache = other.mFullCurveCache;
  return *this;
}

TAQMoStroke::~TAQMoStroke() {
  // Segments in index order, then the kept records; the members tear themselves down afterwards. The
  // records in mTangents are not touched: a caller's own may already be gone.
  LetGo(mData);
  ReleaseKept(mKeptRecords);
}

// ---- Plain accessors ----

long TAQMoStroke::GetType(int& type) const {
  type = mType;
  return S_OK;
}

long TAQMoStroke::SetType(int type) {
  mType = type;
  return S_OK;
}

long TAQMoStroke::GetIsSketch(bool& isSketch) const {
  isSketch = false;
  if (mType == 0) return E_FAIL;
  isSketch = mIsSketch;
  return S_OK;
}

long TAQMoStroke::SetIsSketch(bool isSketch) {
  mIsSketch = isSketch;
  return S_OK;
}

long TAQMoStroke::GetColor(int& color) const {
  color = mColor;
  return S_OK;
}

long TAQMoStroke::SetColor(int color) {
  mColor = color;
  return S_OK;
}

long TAQMoStroke::GetWidth(double& width) const {
  width = mWidth;
  return S_OK;
}

long TAQMoStroke::SetWidth(double width) {
  mWidth = width;
  return S_OK;
}

long TAQMoStroke::GetRange(double range[2]) const {
  if (mRange[0] < mRange[1]) {
    range[0] = mRange[0];
    range[1] = mRange[1];
  } else {
    range[0] = 0.0;
    range[1] = 1.0;
  }
  return S_OK;
}

long TAQMoStroke::SetRange(const double range[2]) {
  if (!range || !std::isfinite(range[0]) || !std::isfinite(range[1]) || !(range[0] < range[1])) return E_FAIL;
  mRange[0] = range[0];
  mRange[1] = range[1];
  return S_OK;
}

long TAQMoStroke::GetSketchPlane(VORMathPlane& plane) const {
  plane = mSketchPlane;
  return S_OK;
}

long TAQMoStroke::SetSketchPlane(const VORMathPlane& plane) {
  mSketchPlane = plane;
  mSketchPlaneDefined = true;
  return S_OK;
}

bool TAQMoStroke::IsSketchPlaneDefined() const { return mSketchPlaneDefined; }

void TAQMoStroke::SetSketchPlaneDefined(bool defined) { mSketchPlaneDefined = defined; }

long TAQMoStroke::GetAnchors(VORRawCollint& anchors) const {
  anchors = mAnchors;
  return S_OK;
}

long TAQMoStroke::SetAnchors(const VORRawCollint& anchors) {
  mAnchors = anchors;
  return S_OK;
}

long TAQMoStroke::GetBlends(VORRawColldouble& blends) const {
  blends = mBlends;
  return S_OK;
}

long TAQMoStroke::SetBlends(const VORRawColldouble& blends) {
  mBlends = blends;
  return S_OK;
}

long TAQMoStroke::GetTargets(VORListValVORMathPlane& targets) const {
  targets = mTargets;
  return S_OK;
}

long TAQMoStroke::SetTargets(const VORListValVORMathPlane& targets) {
  mTargets = targets;
  return S_OK;
}

long TAQMoStroke::GetEndPoints(VORListValVORMathPoint& points) const {
  points = mEndPoints;
  return S_OK;
}

long TAQMoStroke::SetEndPoints(const VORListValVORMathPoint& points) {
  mEndPoints = points;
  return S_OK;
}

long TAQMoStroke::GetSplits(VORRawCollint& splits) const {
  splits = mSplits;
  return S_OK;
}

long TAQMoStroke::SetSplits(const VORRawCollint& splits) {
  mSplits = splits;
  return S_OK;
}

long TAQMoStroke::GetCoords(VORListValVORMathPoint& coords) const {
  coords = mCoords;
  return S_OK;
}

long TAQMoStroke::SetCoords(const VORListValVORMathPoint& coords) {
  mCoords = coords;
  return S_OK;
}

long TAQMoStroke::GetNormals(VORListValVORMathVector& normals) const {
  normals = mNormals;
  return S_OK;
}

long TAQMoStroke::SetNormals(const VORListValVORMathVector& normals) {
  mNormals = normals;
  return S_OK;
}

long TAQMoStroke::GetData(TAQUtVector<TAQMoStrokeData*>& data) const {
  data = mData;
  return S_OK;
}

long TAQMoStroke::GetTangents(TAQUtVector<TAQMoStrokeData*>& tangents) const {
  tangents = mTangents;
  return S_OK;
}

long TAQMoStroke::SetTangents(const TAQUtVector<TAQMoStrokeData*>& tangents) {
  if (&tangents == &mTangents) return S_OK;
  TAQUtVector<TAQMoStrokeData*> incoming(tangents);
  // The reclaimable records coming in are kept from now on (a caller's own record is never kept).
  std::vector<TAQMoStrokeData*> kept(mKeptRecords);
  const std::size_t before = kept.size();
  for (unsigned int i = 0; i < incoming.Size(); ++i) {
    TAQMoStrokeData* record = incoming[i];
    if (record && record->mReclaim && std::find(kept.begin(), kept.end(), record) == kept.end())
      kept.push_back(record);
  }
  // The records leaving mTangents stay kept (and are not touched): a caller may hand them back.
  mTangents = incoming;
  CountKept(kept, before);
  mKeptRecords.swap(kept);
  return S_OK;
}

long TAQMoStroke::SetDisplayData(const VORRawCollint& splits, const VORListValVORMathPoint& coords,
                                 const VORListValVORMathVector& normals) {
  mSplits = splits;
  mCoords = coords;
  mNormals = normals;
  return S_OK;
}

long TAQMoStroke::GetDisplayData(bool& isSketch, int& color, double& width, VORRawCollint& splits,
                                 VORListValVORMathPoint& coords, VORListValVORMathVector* normals) const {
  isSketch = mType != 0 ? mIsSketch : false;
  color = mColor;
  width = mWidth;
  coords = mCoords;
  if (normals) *normals = mNormals;
  splits = mSplits;
  if (splits.Size() == 0) splits.Append(coords.Size());
  return S_OK;
}

// ---- Data ----

long TAQMoStroke::SetData(TAQUtVector<TAQMoStrokeData*>& data, bool resetRange) {
  if (resetRange) {
    mRange[0] = 0.0;
    mRange[1] = 1.0;
  }
  if (&data == &mData) return S_OK;
  TAQUtVector<TAQMoStrokeData*> incoming(data);
  // Take charge of the new segments before letting go of the old: a segment passed back in (the
  // stroke's own, or one a copy still holds) is kept, never deleted under the caller.
  Hold(incoming, true);
  LetGo(mData);
  mData = incoming;
  return S_OK;
}

long TAQMoStroke::Set(bool isSketch, int type, int color, double width, VORRawColldouble& blends,
                      TAQUtVector<TAQMoStrokeData*>& data, VORListValVORMathPlane& targets, VORRawCollint* anchors) {
  mIsSketch = isSketch;
  mWidth = width;
  mType = type;
  mColor = color;
  mBlends = blends;
  const long result = SetData(data, false);
  mTargets = targets;
  if (anchors) mAnchors = *anchors;
  return result;
}

bool TAQMoStroke::IsOn3D() const { return mTargets.Size() > 0; }

long TAQMoStroke::ClearCurveCache() {
  mFullCurveCache.RemoveAll(1);
  mCurveCache.RemoveAll(1);
  return S_OK;
}
