// Reshaping a stroke under the pen: a drag (ReshapeCurve in drag mode, which refits the geometry), an
// anchor inserted just off the stroke and the stroke refitted, the start end bent to a new tangent (the
// bend refits the geometry itself) and the stroke cut for good to its range (HardSubsetStroke, which
// rebuilds it from its display polyline). Strokes of 500 to 20,000 drawn points holding every point (see
// MakeRawStroke), side by side, and the 5,000-point stroke drawn with CreateInView (thinned) beside them.
// Every edit works on a fresh copy of a prepared stroke; the copy is timed with it and measured alone by
// CopyPrepared.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchStrokes.h"

namespace {

using namespace bench_strokes;

// The point 55 % of the way along the display polyline dragged by (1.5, -1).
void Drag(benchmark::State& state, Case c, Made made) {
  std::unique_ptr<Prepared> p = Prepare(c, made);
  if (!p->ok) return state.SkipWithError("stroke not created");
  VORListValVORMathPoint coords;
  p->stroke.GetCoords(coords);
  const VORMathPoint from = Along(coords, 0.55);
  const VORMathPoint to = from + VORMathVector(1.5, -1.0, 0.0);
  RunOnCopies(state, p->stroke, p->factory, [&](TestStroke& s) {
    return TestStroke::ReshapeCurve(&p->config, &p->factory, &s, from, to, false, false);
  });
  Counters(state, *p);
}

// An anchor at the stroke's point nearest a pen 37 % of the way along, a little off the stroke; refit.
// Where that point is an anchor already (the insertion is refused), the pen moves on by 1 % at a time.
void Insert(benchmark::State& state, Case c, Made made) {
  std::unique_ptr<Prepared> p = Prepare(c, made);
  if (!p->ok) return state.SkipWithError("stroke not created");
  VORListValVORMathPoint coords;
  p->stroke.GetCoords(coords);
  VORMathPoint pen;
  for (double along = 0.37; along < 0.6; along += 0.01) {
    pen = Along(coords, along) + VORMathVector(0.3, 0.2, 0.0);
    TestStroke trial(p->stroke);
    if (trial.InsertAnchor(&p->config, &p->factory, pen)) break;
  }
  RunOnCopies(state, p->stroke, p->factory, [&](TestStroke& s) {
    return s.InsertAnchor(&p->config, &p->factory, pen) && s.Update(&p->config, &p->factory, nullptr);
  });
  Counters(state, *p);
}

// The start bent to the direction (0.6, 0.8) with the end region following it.
void Bend(benchmark::State& state, Case c, Made made) {
  std::unique_ptr<Prepared> p = Prepare(c, made);
  if (!p->ok) return state.SkipWithError("stroke not created");
  VORListValVORMathPoint ends;
  p->stroke.GetEndPoints(ends);
  if (ends.Size() != 2) return state.SkipWithError("no end points");
  const VORMathPoint start = ends[1];
  RunOnCopies(state, p->stroke, p->factory, [&](TestStroke& s) {
    return s.UpdateEndTangent(&p->config, &p->factory, start, VORMathDirection(), VORMathDirection(0.6, 0.8, 0.0),
                              true);
  });
  Counters(state, *p);
}

// The stroke's range set to its middle 80 % (and its geometry updated) when prepared; each iteration cuts
// a copy down to it for good.
void Subset(benchmark::State& state, Case c, Made made) {
  std::unique_ptr<Prepared> p = Prepare(c, made);
  if (!p->ok) return state.SkipWithError("stroke not created");
  const double middle[2] = {0.1, 0.9};
  if (p->stroke.SetRange(middle) != S_OK || !p->stroke.Update(&p->config, &p->factory, nullptr))
    return state.SkipWithError("no sub-range");
  SetEndPointsFromTangents(p->stroke);
  RunOnCopies(state, p->stroke, p->factory,
              [&](TestStroke& s) { return TestStroke::HardSubsetStroke(&p->config, &p->factory, &s); });
  Counters(state, *p);
}

void BM_Drag(benchmark::State& state, Case c) { Drag(state, c, Made::kRaw); }
void BM_DragInView(benchmark::State& state, Case c) { Drag(state, c, Made::kInView); }
void BM_InsertAnchorUpdate(benchmark::State& state, Case c) { Insert(state, c, Made::kRaw); }
void BM_InsertAnchorUpdateInView(benchmark::State& state, Case c) { Insert(state, c, Made::kInView); }
void BM_BendStart(benchmark::State& state, Case c) { Bend(state, c, Made::kRaw); }
void BM_BendStartInView(benchmark::State& state, Case c) { Bend(state, c, Made::kInView); }
void BM_HardSubset(benchmark::State& state, Case c) { Subset(state, c, Made::kRaw); }
void BM_HardSubsetInView(benchmark::State& state, Case c) { Subset(state, c, Made::kInView); }

// The copy every edit above starts from, alone.
}  // namespace

int main(int argc, char** argv) {
  return bench_strokes::RunAll(argc, argv, {
      {"Drag", BM_Drag, true},
      {"Drag_inview", BM_DragInView, false},
      {"InsertAnchorUpdate", BM_InsertAnchorUpdate, true},
      {"InsertAnchorUpdate_inview", BM_InsertAnchorUpdateInView, false},
      {"BendStart", BM_BendStart, true},
      {"BendStart_inview", BM_BendStartInView, false},
      {"HardSubset", BM_HardSubset, true},
      {"HardSubset_inview", BM_HardSubsetInView, false},
      {"CopyPrepared", BM_CopyPrepared, true},
  });
}
