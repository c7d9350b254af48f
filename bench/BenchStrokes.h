// Strokes and factory housekeeping shared by the interactive, editing and reshaping benchmarks: the point
// counts measured side by side, strokes drawn in a view onto the plane z = 0 as a session makes them,
// counters per point, and removal of the curves and bodies an iteration left in the factory (as an
// application removes what a stroke no longer holds, so memory stays flat over millions of iterations).
#ifndef BenchStrokes_h
#define BenchStrokes_h

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestStroke.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

namespace bench_strokes {

// One stroke of the comparison: a label, a file and how many leading points of it to use (0: all).
struct Case {
  const char* label;
  const char* file;
  int take;
};

// The shared data has no 500-point smooth stroke: the first 500 points of the 2,000-point one stand in
// (the same wavy spiral, sampled the same way). The longest real stroke has 487 points.
inline const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"smooth_500", "synthetic/smooth-2000.json", 500},
      {"smooth_2000", "synthetic/smooth-2000.json", 0},
      {"smooth_5000", "synthetic/smooth-5000.json", 0},
      {"smooth_20000", "synthetic/smooth-20000.json", 0},
      {"real_487", "real/Balinese-character02-0109_08-0.json", 0},
  };
  return cases;
}

inline VORListValVORMathPoint CasePoints(const Case& c) {
  const VORListValVORMathPoint all = LoadStrokePoints(c.file);
  if (c.take <= 0 || c.take >= all.Size()) return all;
  VORListValVORMathPoint some;
  for (int i = 1; i <= c.take; ++i) some.Append(all[i]);
  return some;
}

// The end points the caller keeps in step with the stroke's end tangents after each update.
inline void SetEndPointsFromTangents(TAQMoStroke& s) {
  VORMathPoint ends[2];
  VORMathDirection dirs[2];
  if (!s.GetEndTangents(ends, dirs)) return;
  VORListValVORMathPoint e;
  e.Append(ends[0]);
  e.Append(ends[1]);
  s.SetEndPoints(e);
}

// A stroke drawn in the view looking down -z onto the sketch plane z = 0 (type 1, a sketch), its whole
// range set and its geometry computed, end points kept in step with its end tangents. False when any
// step is refused.
inline bool MakeStroke(VORListValVORMathPoint& drawn, VORSoftwareConfiguration& config, VORGeoFactory& factory,
                       TAQMoStroke& s) {
  s.SetSketchPlane(VORMathPlane());
  if (TAQMoStroke::CreateInView(s, &config, &factory, true, true, 1, 2, 1.0, drawn, VORMathDirection(0.0, 0.0, -1.0),
                                0) != S_OK)
    return false;
  const double whole[2] = {0.0, 1.0};
  if (s.SetRange(whole) != S_OK || !s.Update(&config, &factory, nullptr)) return false;
  SetEndPointsFromTangents(s);
  return true;
}

// A stroke holding every drawn point as a source point: the steps of CreateInView without the thinning
// (anchors at the ends and drawn corners, 2D points on the sketch plane z = 0, a target plane), its whole
// range set and its geometry computed. The edits then work on as many points as were drawn, so their
// cost per point shows; a stroke drawn with CreateInView keeps only what the thinning leaves.
inline bool MakeRawStroke(const VORListValVORMathPoint& drawn, VORSoftwareConfiguration& config,
                          VORGeoFactory& factory, TAQMoStroke& s) {
  VORListValVORMathPoint points = drawn;
  VORRawCollint anchors;
  if (!TAQMoCSStrokeUtilities::PrepareCurveData(points, points, 0, anchors, anchors, 45.0)) return false;
  const VORMathPlane plane;
  VORListValVORMathPoint2D points2D;
  if (!TAQMoCSStrokeUtilities::ForwardToPlane(VORMathDirection(0.0, 0.0, -1.0), plane, points, points2D))
    return false;
  VORListValVORMathPlane planes;
  planes.Append(plane);
  VORListValVORMathPoint noPoints;
  s.SetSketchPlane(plane);
  if (TAQMoStroke::CreateFromReferences(s, true, true, 1, 2, 1.0, planes, points2D, noPoints, &anchors) != S_OK)
    return false;
  const double whole[2] = {0.0, 1.0};
  if (s.SetRange(whole) != S_OK || !s.Update(&config, &factory, nullptr)) return false;
  SetEndPointsFromTangents(s);
  return true;
}

// The point a fraction of the way along a polyline by point count.
inline VORMathPoint Along(const VORListValVORMathPoint& p, double fraction) {
  const double t = 1.0 + fraction * (p.Size() - 1);
  const int k = static_cast<int>(t);
  if (k >= p.Size()) return p[p.Size()];
  return p[k] + (p[k + 1] - p[k]) * (t - k);
}

inline int SourcePointCount(TAQMoStroke& s) {
  VORListValVORMathPoint points;
  s.GetSourcePoints(points, nullptr, nullptr, nullptr, nullptr);
  return points.Size();
}

// The curves the factory holds now: what an iteration may add to is measured against it.
inline std::unordered_set<const VORCurve*> CurvesHeld(const VORGeoFactory& factory) {
  VORListPtrVORCurve all;
  factory.GetCurves(all);
  std::unordered_set<const VORCurve*> held;
  for (VORCurve* c : all) held.insert(c);
  return held;
}

// Removes every curve the factory holds that is not in keep.
inline void RemoveCurvesBut(VORGeoFactory& factory, const std::unordered_set<const VORCurve*>& keep) {
  VORListPtrVORCurve all;
  factory.GetCurves(all);
  for (VORCurve* c : all)
    if (keep.count(c) == 0) factory.Remove(c);
}

// Counters of a run over a stroke of points drawn points: the count, and the CPU time per drawn point
// ("per_pt", shown in ns: the same number as microseconds per 1,000 points). Goals are compared with the
// times in the report, where the run's own figures stand side by side.
inline void SetPointCounters(benchmark::State& state, int points) {
  state.counters["points"] = points;
  state.counters["per_pt"] =
      benchmark::Counter(points, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The curves a stroke holds: its curve cache and the clones of its last whole-stroke update (what
// Evaluate answers for its own range and, curves only, for the whole range).
inline std::unordered_set<const VORCurve*> CurvesOf(TAQMoStroke& s, VORSoftwareConfiguration& config,
                                                     VORGeoFactory& factory) {
  std::unordered_set<const VORCurve*> held;
  VORListPtrVORCurve own, whole;
  s.Evaluate(&factory, &config, own, nullptr, nullptr, nullptr, nullptr);
  double range[2] = {0.0, 1.0};
  s.Evaluate(&factory, &config, whole, range, nullptr, nullptr, nullptr);
  for (VORCurve* c : own) held.insert(c);
  for (VORCurve* c : whole) held.insert(c);
  return held;
}

// Runs op on a fresh copy of prepared in every iteration. The copy (it shares the segments and copies the
// anchors and display polyline) is timed with the operation; BM_CopyPrepared of the same program measures
// it alone. The copy is deleted and the curves it made are removed from the factory outside the timed
// part. op returns false when the stroke refused the edit; the run then reports an error instead of a time
// for an edit that did nothing.
template <class Op>
void RunOnCopies(benchmark::State& state, const TestStroke& prepared, VORGeoFactory& factory, Op op) {
  const std::unordered_set<const VORCurve*> keep = CurvesHeld(factory);
  for (auto _ : state) {
    TestStroke* s = new TestStroke(prepared);
    const bool done = op(*s);
    benchmark::DoNotOptimize(done);
    state.PauseTiming();
    delete s;
    RemoveCurvesBut(factory, keep);
    if (!done) {
      // The loop ends here, paused: the benchmark library refuses to resume timing after an error.
      state.SkipWithError("the edit was refused");
      break;
    }
    state.ResumeTiming();
  }
  // What an application would still hold after the run: the prepared stroke's curves only.
  state.counters["factory_curves"] = factory.GetCurveCount();
}

// How a prepared stroke is made: every drawn point kept, or drawn in a view (thinned).
enum class Made { kRaw, kInView };

// A stroke ready for the editing benchmarks, with the factory and configuration it was made in.
struct Prepared {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TestStroke stroke;
  int drawn = 0;
  bool ok = false;
};

// False ok when the stroke was refused.
inline std::unique_ptr<Prepared> Prepare(const Case& c, Made made) {
  std::unique_ptr<Prepared> p(new Prepared);
  VORListValVORMathPoint points = CasePoints(c);
  p->drawn = points.Size();
  p->ok = made == Made::kRaw ? MakeRawStroke(points, p->config, p->factory, p->stroke)
                             : MakeStroke(points, p->config, p->factory, p->stroke);
  return p;
}

// The source points the stroke holds, and the counters per drawn point.
inline void Counters(benchmark::State& state, Prepared& p) {
  state.counters["source_pts"] = SourcePointCount(p.stroke);
  SetPointCounters(state, p.drawn);
}

// The copy of a prepared stroke alone, which RunOnCopies times with every edit.
inline void BM_CopyPrepared(benchmark::State& state, Case c) {
  std::unique_ptr<Prepared> p = Prepare(c, Made::kRaw);
  if (!p->ok) return state.SkipWithError("stroke not created");
  for (auto _ : state) {
    TestStroke* s = new TestStroke(p->stroke);
    benchmark::DoNotOptimize(s);
    state.PauseTiming();
    delete s;
    state.ResumeTiming();
  }
  Counters(state, *p);
}

// One benchmark run on every case (or on the 5,000-point smooth stroke only), registered by RunAll.
struct BenchEntry {
  const char* name;
  void (*fn)(benchmark::State&, Case);
  bool allCases;
};

inline int RunAll(int argc, char** argv, const std::vector<BenchEntry>& entries) {
  benchmark::Initialize(&argc, argv);
  for (const BenchEntry& e : entries)
    for (const Case& c : Cases())
      if (e.allCases || std::string(c.label) == "smooth_5000")
        benchmark::RegisterBenchmark((std::string(e.name) + "/" + c.label).c_str(), e.fn, c)
            ->Unit(benchmark::kMicrosecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}


}  // namespace bench_strokes

#endif
