// End tangents of a stroke: two tangent records in mTangents, each an end point and a tip 0.1 model
// units along the unit tangent, kept in the record's plane.
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQUtTolerance.h"
#include "VORCurve.h"

namespace {
// Distance of a record's tip from its end point along the tangent, model units.
const double kTipLength = 0.1;
}  // namespace

bool TAQMoStroke::GetEndTangents(VORMathPoint points[2], VORMathDirection directions[2]) const {
  directions[0] = VORMathDirection(1.0, 0.0, 0.0);
  directions[1] = VORMathDirection(1.0, 0.0, 0.0);
  const TAQUtVector<TAQMoStrokeData*> records(mTangents);
  if (records.Size() != 2 || !records[0] || !records[1]) return false;

  VORListValVORMathPoint a, b;
  VORListValVORMathVector na, nb;
  records[0]->GetSourcePoints(a, &na);
  records[1]->GetSourcePoints(b, &nb);
  if (a.Size() != 2 || b.Size() != 2) return false;

  points[0] = a[1];
  points[1] = b[1];
  // Keep each tangent in the plane of its record.
  if (na.Size() == 2) a[2] = VORMathPlane(a[1], na[1]).Project(a[2]);
  if (nb.Size() == 2) b[2] = VORMathPlane(b[1], nb[1]).Project(b[2]);
  directions[0] = VORMathDirection(a[2] - a[1]);
  directions[1] = VORMathDirection(b[2] - b[1]);
  return true;
}

void TAQMoStroke::UpdateEndTangents(VORCurve* curve) {
  if (!curve) return;
  const VORCrvParam s = curve->GetStartLimit(), e = curve->GetEndLimit();
  const VORMathDirection tangents[2] = {VORMathDirection(curve->EvalFirstDerivative(s)),
                                        VORMathDirection(curve->EvalFirstDerivative(e))};
  const VORMathPoint ends[2] = {curve->EvalPoint(s), curve->EvalPoint(e)};
  if (!mSketchPlaneDefined) return;
  const VORMathDirection normal = mSketchPlane.GetNormal();
  const VORMathDirection normals[2] = {normal, normal};
  UpdateEndTangents(ends, tangents, normals);
}

void TAQMoStroke::UpdateEndTangents(const VORMathPoint points[2], const VORMathDirection directions[2],
                                    const VORMathDirection normals[2]) {
  if (!mSketchPlaneDefined) return;
  // Non-finite ends would poison the records: refuse them and keep the records as they are.
  if (!points[0].IsFinite() || !points[1].IsFinite()) return;
  const TAQUtTolerance tol;
  if (TAQMoCSStrokeUtilities::IsCoincident(points[0], points[1], tol.LengthTolSq())) {
    DropTangentRecords();  // a closed stroke has no end tangents
    return;
  }
  // Two records, one per end: made when there are none, and the missing end's made when a caller set
  // only one.
  if (mTangents.Size() < 2) {
    const bool none = mTangents.Size() == 0;
    while (mTangents.Size() < 2) {
      TAQMoStrokeData* record = new TAQMoStrokeData();
      record->SetData(VORListValVORMathPoint2D());
      record->SetCoords(VORListValVORMathPoint());
      record->SetBase(mSketchPlane);
      AdoptTangentRecord(record);
    }
    if (none && mBlends.Size() == 0) {
      mBlends.Append(0.0);
      mBlends.Append(0.0);
    }
  }
  for (unsigned i = 0; i < 2; ++i) UpdatePointTangentData(mTangents[i], points[i], directions[i], normals[i]);
}

void TAQMoStroke::UpdatePointTangentData(TAQMoStrokeData* record, const VORMathPoint& point,
                                         const VORMathDirection& direction, const VORMathDirection& /*normal*/) {
  if (!record) return;
  VORListValVORMathPoint coords(2);
  coords.Append(point);
  coords.Append(point + direction.GetVector() * kTipLength);
  if (record->IsRefDefined()) {
    VORMathPlane base;
    record->GetBase(base);
    VORListValVORMathPoint2D uv(2);
    double u = 0.0, v = 0.0;
    base.Project(coords[1], u, v);
    uv.Append(VORMathPoint2D(u, v));
    base.Project(coords[2], u, v);
    uv.Append(VORMathPoint2D(u, v));
    record->SetBase(base);
    record->SetData(uv);
    record->SetCoords(coords);
  } else {
    // A record without a plane keeps its 3D points only: it stays without a plane, so that reading it
    // back still gives those points.
    record->SetData(VORListValVORMathPoint2D());
    record->SetCoords(coords);
  }
}
