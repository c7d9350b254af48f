// Editing a stroke in place: its fitted curve projected onto a body (a flat plate under the stroke, and
// a wall crossing it), an inner anchor deleted with the points around it and the stroke refitted, and the
// stroke rebuilt from new points (UpdateStroke, which refits). Strokes of 500 to 20,000 drawn points
// holding every point (see MakeRawStroke), side by side, and for comparison a stroke drawn with
// CreateInView, whose thinning leaves far fewer source points. Every edit works on a fresh copy of a
// prepared stroke; the copy is timed with it and measured alone by BM_CopyPrepared.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

#include "BenchStrokes.h"
#include "TAQMoWire.h"
#include "VORBody.h"
#include "VORPGMCreateTopPrism.h"
#include "VORTopData.h"

namespace {

using namespace bench_strokes;

// A straight line from a to b in factory.
VORCurve* Line(VORGeoFactory& factory, const VORMathPoint& a, const VORMathPoint& b) {
  VORListValVORMathPoint poles;
  poles.Append(a);
  poles.Append(b);
  VORRawColldouble knots;
  knots.Append(0.0);
  knots.Append(a.DistanceTo(b));
  VORRawCollint mults;
  mults.Append(2);
  mults.Append(2);
  return factory.CreateBSplineCurve(1, poles, knots, mults);
}

// The prism of the line a-b swept along direction from 0 to length: one planar face.
VORBody* Plate(Prepared& p, const VORMathPoint& a, const VORMathPoint& b, const VORMathVector& direction,
               double length) {
  VORTopData topData(&p.config, nullptr);
  VORListPtrVORCurve profile;
  profile.Append(Line(p.factory, a, b));
  VORBody* wire = TAQMoWire::MakeWireFromCurves(&p.factory, profile, VORRawCollint(), &topData, false).Get();
  if (!wire) return nullptr;
  VORTopPrism* op = VORPGMCreateTopPrism(&p.factory, &topData, wire, direction, 0.0, length);
  if (!op) return nullptr;
  VORBody* body = nullptr;
  try {
    op->Run();
    body = op->GetResult();
  } catch (...) {
    body = nullptr;
  }
  op->Release();
  p.factory.Remove(wire);
  return body;
}

// The bounding box of the stroke's display polyline in the plane z = 0.
void Box(TAQMoStroke& s, double& x0, double& y0, double& x1, double& y1) {
  VORListValVORMathPoint coords;
  s.GetCoords(coords);
  x0 = y0 = 1e300;
  x1 = y1 = -1e300;
  for (const VORMathPoint& q : coords) {
    x0 = std::min(x0, q.GetX()), x1 = std::max(x1, q.GetX());
    y0 = std::min(y0, q.GetY()), y1 = std::max(y1, q.GetY());
  }
}

// The stroke's fitted curve (the leading fraction of its parameter range) projected onto body along its
// face normals; the pieces are removed again.
void ProjectOnto(benchmark::State& state, Prepared& p, VORBody* body, double fraction) {
  VORListPtrVORCurve curves;
  if (!body || !p.stroke.Evaluate(&p.factory, &p.config, curves, nullptr, nullptr, nullptr, nullptr) ||
      curves.Size() != 1) {
    state.SkipWithError("no body or no curve");
    return;
  }
  VORCurve* curve = curves[1];
  const double t0 = curve->GetStartLimit().GetParam();
  const double t1 = t0 + fraction * (curve->GetEndLimit().GetParam() - t0);
  const std::unordered_set<const VORCurve*> keep = CurvesHeld(p.factory);
  int pieces = 0, runs = 0;
  for (auto _ : state) {
    VORListPtrVORCurve out;
    VORRawCollint indices;
    const bool ok = TAQMoCSStrokeUtilities::GetProjection(&p.config, body, curve, t0, t1, out, indices);
    benchmark::DoNotOptimize(ok);
    state.PauseTiming();
    pieces = out.Size();
    runs = indices.Size() > 0 ? indices[indices.Size()] : 0;
    RemoveCurvesBut(p.factory, keep);
    state.ResumeTiming();
    if (!ok) {
      state.SkipWithError("nothing projected");
      break;
    }
  }
  state.counters["pieces"] = pieces;
  state.counters["runs"] = runs;
  Counters(state, p);
}

// Onto a flat plate one unit below the stroke, wider than it by 10 on every side: the whole curve, and
// its first 2 % (the whole curve is refused at the time of writing, while a short piece projects).
void ProjectOntoPlate(benchmark::State& state, Case c, double fraction) {
  std::unique_ptr<Prepared> p = Prepare(c, Made::kRaw);
  if (!p->ok) return state.SkipWithError("stroke not created");
  double x0, y0, x1, y1;
  Box(p->stroke, x0, y0, x1, y1);
  VORBody* plate = Plate(*p, VORMathPoint(x0 - 10, y0 - 10, -1), VORMathPoint(x1 + 10, y0 - 10, -1),
                         VORMathVector(0, 1, 0), y1 - y0 + 20);
  ProjectOnto(state, *p, plate, fraction);
}

void BM_ProjectOntoPlate(benchmark::State& state, Case c) { ProjectOntoPlate(state, c, 1.0); }
void BM_ProjectOntoPlateShortPiece(benchmark::State& state, Case c) { ProjectOntoPlate(state, c, 0.02); }

// Onto a vertical wall through the middle of the stroke, standing on z = -5 to 5 along y: the projection
// is the stroke's shadow on the wall, in and out of the parts that face it.
void BM_ProjectOntoWall(benchmark::State& state, Case c) {
  std::unique_ptr<Prepared> p = Prepare(c, Made::kRaw);
  if (!p->ok) return state.SkipWithError("stroke not created");
  double x0, y0, x1, y1;
  Box(p->stroke, x0, y0, x1, y1);
  const double xm = 0.5 * (x0 + x1);
  VORBody* wall = Plate(*p, VORMathPoint(xm, y0 - 10, -5), VORMathPoint(xm, y1 + 10, -5), VORMathVector(0, 0, 1), 10);
  ProjectOnto(state, *p, wall, 1.0);
}

// The point of the stroke nearest a pen position (the stroke's own GetProjection, from its curve cache).
void BM_ProjectPointOntoStroke(benchmark::State& state, Case c) {
  std::unique_ptr<Prepared> p = Prepare(c, Made::kRaw);
  if (!p->ok) return state.SkipWithError("stroke not created");
  VORListValVORMathPoint coords;
  p->stroke.GetCoords(coords);
  const VORMathPoint pen = Along(coords, 0.55) + VORMathVector(0.3, 0.2, 0.0);
  const long long before = p->factory.GetCreatedCurveCount();
  for (auto _ : state) {
    VORMathPoint projected;
    VORMathDirection direction;
    VORListPtrVORCurve curves;
    const bool ok = p->stroke.GetProjection(&p->factory, &p->config, pen, projected, direction, curves, false);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(projected);
  }
  if (p->factory.GetCreatedCurveCount() != before) state.SkipWithError("projection made curves");
  Counters(state, *p);
}

// The stroke with three more anchors at 40, 50 and 60 % of its source points; the one at 50 % is deleted
// (with the tenth of the points on either side of it) and the stroke refitted.
void DeleteAnchor(benchmark::State& state, Case c, Made made) {
  std::unique_ptr<Prepared> p = Prepare(c, made);
  if (!p->ok) return state.SkipWithError("stroke not created");
  const int n = SourcePointCount(p->stroke);
  VORRawCollint anchors, merged;
  p->stroke.GetAnchors(anchors);
  const int added[3] = {n * 4 / 10, n / 2, n * 6 / 10};
  int k = 0;
  for (int i = 1; i <= anchors.Size(); ++i) {
    while (k < 3 && added[k] < anchors[i]) merged.Append(added[k++]);
    if (k > 0 && merged.Size() > 0 && merged[merged.Size()] == anchors[i]) continue;
    merged.Append(anchors[i]);
  }
  p->stroke.SetAnchors(merged);
  if (!p->stroke.Update(&p->config, &p->factory, nullptr)) return state.SkipWithError("no geometry");
  int position = 0;
  for (int i = 1; i <= merged.Size(); ++i)
    if (merged[i] == n / 2) position = i;
  if (position <= 1 || position >= merged.Size()) return state.SkipWithError("no inner anchor");
  RunOnCopies(state, p->stroke, p->factory, [&](TestStroke& s) {
    s.DeleteAnchor(position);
    return SourcePointCount(s) < n && s.Update(&p->config, &p->factory, nullptr);
  });
  Counters(state, *p);
}

void BM_DeleteAnchorUpdate(benchmark::State& state, Case c) { DeleteAnchor(state, c, Made::kRaw); }
void BM_DeleteAnchorUpdateInView(benchmark::State& state, Case c) { DeleteAnchor(state, c, Made::kInView); }

// The stroke rebuilt from its drawn points moved by (0.7, -0.4): new segments, anchors carried over, refit.
void Rebuild(benchmark::State& state, Case c, Made made) {
  std::unique_ptr<Prepared> p = Prepare(c, made);
  if (!p->ok) return state.SkipWithError("stroke not created");
  const VORListValVORMathPoint drawn = CasePoints(c);
  VORListValVORMathPoint moved;
  for (const VORMathPoint& q : drawn) moved.Append(q + VORMathVector(0.7, -0.4, 0.0));
  RunOnCopies(state, p->stroke, p->factory, [&](TestStroke& s) {
    VORListValVORMathPoint points = moved;  // UpdateStroke drops repeated samples from its list
    return TestStroke::UpdateStroke(&p->config, &p->factory, &s, points, true);
  });
  Counters(state, *p);
}

void BM_UpdateStroke(benchmark::State& state, Case c) { Rebuild(state, c, Made::kRaw); }
void BM_UpdateStrokeInView(benchmark::State& state, Case c) { Rebuild(state, c, Made::kInView); }

// The copy every edit above starts from, alone.
}  // namespace

int main(int argc, char** argv) {
  return bench_strokes::RunAll(argc, argv, {
      {"ProjectOntoPlate", BM_ProjectOntoPlate, true},
      {"ProjectOntoPlate_first2pct", BM_ProjectOntoPlateShortPiece, true},
      {"ProjectOntoWall", BM_ProjectOntoWall, true},
      {"ProjectPointOntoStroke", BM_ProjectPointOntoStroke, true},
      {"DeleteAnchorUpdate", BM_DeleteAnchorUpdate, true},
      {"DeleteAnchorUpdate_inview", BM_DeleteAnchorUpdateInView, false},
      {"UpdateStroke", BM_UpdateStroke, true},
      {"UpdateStroke_inview", BM_UpdateStrokeInView, false},
      {"CopyPrepared", BM_CopyPrepared, true},
  });
}
