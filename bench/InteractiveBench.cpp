// What a user waits for while drawing: a stroke made in a view and its geometry computed (CreateInView
// then Update), the same geometry asked for again with nothing changed (served by the curve cache), a
// second full update, and the stroke extruded into a body. Each runs on smooth strokes of 500 to 20,000
// points and on the longest real stroke, side by side in one run; counters give the time per 1,000 points
// (and the source points left after thinning). Curves and bodies an iteration made
// are removed from the factory outside the timed part, as an application removes what it no longer shows.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchStrokes.h"
#include "VORBody.h"

namespace {

using namespace bench_strokes;

// CreateInView + Update of a new stroke. The stroke is made and destroyed outside the timed part.
void BM_CreateInViewUpdate(benchmark::State& state, Case c) {
  VORListValVORMathPoint drawn = CasePoints(c);
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  const std::unordered_set<const VORCurve*> none;
  const double whole[2] = {0.0, 1.0};
  int source = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TAQMoStroke> s(new TAQMoStroke);
    s->SetSketchPlane(VORMathPlane());
    state.ResumeTiming();
    const long created = TAQMoStroke::CreateInView(*s, &config, &factory, true, true, 1, 2, 1.0, drawn,
                                                   VORMathDirection(0.0, 0.0, -1.0), 0);
    s->SetRange(whole);
    const bool updated = s->Update(&config, &factory, nullptr);
    benchmark::DoNotOptimize(created);
    benchmark::DoNotOptimize(updated);
    state.PauseTiming();
    if (created != S_OK || !updated) state.SkipWithError("stroke not created");
    source = SourcePointCount(*s);
    s.reset();
    RemoveCurvesBut(factory, none);
    state.ResumeTiming();
  }
  state.counters["source_pts"] = source;
  SetPointCounters(state, drawn.Size());
}

// A second Update of a stroke with nothing changed: the geometry is recomputed (Update has no cache).
void BM_UpdateAgain(benchmark::State& state, Case c) {
  VORListValVORMathPoint drawn = CasePoints(c);
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TAQMoStroke s;
  if (!MakeStroke(drawn, config, factory, s)) {
    state.SkipWithError("stroke not created");
    return;
  }
  for (auto _ : state) {
    const bool updated = s.Update(&config, &factory, nullptr);
    benchmark::DoNotOptimize(updated);
    state.PauseTiming();
    // The stroke's caches now hold the new curves; the old ones are the application's to remove.
    const std::unordered_set<const VORCurve*> keep = CurvesOf(s, config, factory);
    RemoveCurvesBut(factory, keep);
    state.ResumeTiming();
  }
  state.counters["source_pts"] = SourcePointCount(s);
  SetPointCounters(state, drawn.Size());
}

// Evaluate for the stroke's own range with nothing changed since the update: the curves only, and the
// curves with the display polyline (splits, points, normals copied out of the cache).
void BM_EvaluateCachedCurves(benchmark::State& state, Case c) {
  VORListValVORMathPoint drawn = CasePoints(c);
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TAQMoStroke s;
  if (!MakeStroke(drawn, config, factory, s)) {
    state.SkipWithError("stroke not created");
    return;
  }
  const long long before = factory.GetCreatedCurveCount();
  VORListPtrVORCurve curves;
  for (auto _ : state) {
    const bool ok = s.Evaluate(&factory, &config, curves, nullptr, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(curves.Size());
  }
  // A cache that made curves would not be a cache.
  if (factory.GetCreatedCurveCount() != before) state.SkipWithError("Evaluate made curves");
  state.counters["source_pts"] = SourcePointCount(s);
  SetPointCounters(state, drawn.Size());
}

void BM_EvaluateCachedWithPolyline(benchmark::State& state, Case c) {
  VORListValVORMathPoint drawn = CasePoints(c);
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TAQMoStroke s;
  if (!MakeStroke(drawn, config, factory, s)) {
    state.SkipWithError("stroke not created");
    return;
  }
  const long long before = factory.GetCreatedCurveCount();
  VORListPtrVORCurve curves;
  VORRawCollint splits;
  VORListValVORMathPoint points;
  VORListValVORMathVector normals;
  for (auto _ : state) {
    const bool ok = s.Evaluate(&factory, &config, curves, nullptr, &splits, &points, &normals);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(points.Size());
  }
  if (factory.GetCreatedCurveCount() != before) state.SkipWithError("Evaluate made curves");
  state.counters["display_pts"] = points.Size();
  state.counters["source_pts"] = SourcePointCount(s);
  SetPointCounters(state, drawn.Size());
}

// The stroke's wire extruded along its sketch plane's normal (z) from 0 to 5, end points asked for. The
// extrusion refits the stroke's curves in the factory (it clears the curve cache first), so each
// iteration works on a copy of the prepared stroke; the copy is made outside the timed part (it shares
// the segments and copies the display polyline) and the body and curves are removed afterwards.
void BM_CreateExtrudedBody(benchmark::State& state, Case c) {
  VORListValVORMathPoint drawn = CasePoints(c);
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TAQMoStroke prepared;
  if (!MakeStroke(drawn, config, factory, prepared)) {
    state.SkipWithError("stroke not created");
    return;
  }
  const std::unordered_set<const VORCurve*> keep = CurvesHeld(factory);
  int faces = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TAQMoStroke> s(new TAQMoStroke(prepared));
    double limits[2] = {0.0, 5.0};
    VORBody* body = nullptr;
    VORMathPoint ends[2];
    state.ResumeTiming();
    const long result = s->CreateExtrudedBody(&config, &factory, limits, body, ends);
    benchmark::DoNotOptimize(result);
    state.PauseTiming();
    if (result != S_OK || body == nullptr) {
      state.SkipWithError("no body");
    } else {
      faces = body->GetFaceCount();
      factory.Remove(body);
    }
    s.reset();
    RemoveCurvesBut(factory, keep);
    state.ResumeTiming();
  }
  if (factory.GetBodyCount() != 0) state.SkipWithError("bodies left in the factory");
  state.counters["faces"] = faces;
  state.counters["source_pts"] = SourcePointCount(prepared);
  SetPointCounters(state, drawn.Size());
}

}  // namespace

int main(int argc, char** argv) {
  return bench_strokes::RunAll(argc, argv, {
      {"CreateInViewUpdate", BM_CreateInViewUpdate, true},
      {"UpdateAgain", BM_UpdateAgain, true},
      {"EvaluateCachedCurves", BM_EvaluateCachedCurves, true},
      {"EvaluateCachedWithPolyline", BM_EvaluateCachedWithPolyline, true},
      {"CreateExtrudedBody", BM_CreateExtrudedBody, true},
  });
}
