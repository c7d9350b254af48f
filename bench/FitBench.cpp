// Fit plus display tessellation of drawn strokes, from 100 to 20,000 points, beside the modeler's own
// least-squares approximation at the same tolerance (on short strokes only: it is far slower).
// Counters per run: points, control points of the curve, and the largest and root-mean-square distance
// of the points from the curve (measured once, outside the timed loop).
#include <benchmark/benchmark.h>

#include <GCPnts_TangentialDeflection.hxx>
#include <GeomAPI_PointsToBSpline.hxx>
#include <GeomAPI_ProjectPointOnCurve.hxx>
#include <GeomAdaptor_Curve.hxx>
#include <Geom_BSplineCurve.hxx>
#include <TColgp_Array1OfPnt.hxx>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"

namespace {

constexpr double kTolerance = 0.5;  // model units, for both fitters

struct Deviation {
  double max = 0.0, rms = 0.0;
};

// Distance of each point from the curve: nearest of dense samples along the whole curve, then Newton
// steps on the curve's own evaluation. An upper bound. (A search near the previous point's foot alone
// loses its way where a stroke runs back over itself, and reports distances to the wrong part.)
Deviation MeasureOurs(const VORCurve& c, const VORListValVORMathPoint& points) {
  const double t0 = c.GetStartLimit().GetParam(), t1 = c.GetEndLimit().GetParam();
  const int samples = std::max(2000, 40 * c.GetPoleCount());
  std::vector<VORMathPoint> s(static_cast<size_t>(samples) + 1);
  for (int i = 0; i <= samples; ++i) s[static_cast<size_t>(i)] = c.EvalPoint(VORCrvParam(t0 + (t1 - t0) * i / samples));
  Deviation d;
  for (const VORMathPoint& p : points) {
    double best = std::numeric_limits<double>::infinity();
    int at = 0;
    for (int i = 0; i <= samples; ++i) {
      const double dd = s[static_cast<size_t>(i)].SquareDistanceTo(p);
      if (dd < best) best = dd, at = i;
    }
    double t = t0 + (t1 - t0) * at / samples;
    for (int k = 0; k < 8; ++k) {
      VORMathPoint q;
      VORMathVector dq;
      c.Eval(VORCrvParam(t), q, &dq);
      const double den = dq.GetSquareNorm();
      if (!(den > 0.0)) break;
      const double next = std::min(t1, std::max(t0, t + (p - q).Dot(dq) / den));
      const double dn = c.EvalPoint(VORCrvParam(next)).SquareDistanceTo(p);
      if (dn < best) best = dn, t = next;
      else break;
    }
    d.max = std::max(d.max, std::sqrt(best));
    d.rms += best;
  }
  d.rms = std::sqrt(d.rms / std::max(1, points.Size()));
  return d;
}

void BM_FitAndTessellate(benchmark::State& state, const std::string& file) {
  const VORListValVORMathPoint points = LoadStrokePoints(file);
  TAQMoCSStrokeUtilities::mFitTolerance2D = static_cast<float>(kTolerance);
  VORGeoFactory factory;
  VORListValVORMathPoint display;
  for (auto _ : state) {
    VORCurve* c = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, points, nullptr, nullptr, nullptr);
    TAQMoCSStrokeUtilities::Tessellate(c, TAQMoCSStrokeUtilities::mDisplayFitTolerance, display);
    benchmark::DoNotOptimize(display.Size());
    factory.Remove(c);
  }
  VORCurve* c = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, points, nullptr, nullptr, nullptr);
  if (!c) {
    state.SkipWithError("no curve");
    return;
  }
  const Deviation d = MeasureOurs(*c, points);
  state.counters["points"] = points.Size();
  state.counters["poles"] = c->GetPoleCount();
  state.counters["max_dev"] = d.max;
  state.counters["rms_dev"] = d.rms;
  state.SetItemsProcessed(state.iterations() * points.Size());
}

// Every real stroke in turn; time per stroke, counters summed or worst over all strokes.
void BM_FitAndTessellateAllReal(benchmark::State& state) {
  std::vector<VORListValVORMathPoint> strokes;
  for (const std::string& f : StrokeFiles("real")) strokes.push_back(LoadStrokePoints(f));
  TAQMoCSStrokeUtilities::mFitTolerance2D = static_cast<float>(kTolerance);
  VORGeoFactory factory;
  VORListValVORMathPoint display;
  for (auto _ : state) {
    for (const auto& points : strokes) {
      VORCurve* c = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, points, nullptr, nullptr, nullptr);
      TAQMoCSStrokeUtilities::Tessellate(c, TAQMoCSStrokeUtilities::mDisplayFitTolerance, display);
      benchmark::DoNotOptimize(display.Size());
      factory.Remove(c);
    }
  }
  double worst = 0.0, rms = 0.0, poles = 0.0, pts = 0.0, over = 0.0;
  for (const auto& points : strokes) {
    VORCurve* c = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, points, nullptr, nullptr, nullptr);
    if (!c) continue;
    const Deviation d = MeasureOurs(*c, points);
    worst = std::max(worst, d.max);
    over += d.max > kTolerance * 1.0001 ? 1.0 : 0.0;
    rms += d.rms * d.rms * points.Size();
    poles += c->GetPoleCount();
    pts += points.Size();
    factory.Remove(c);
  }
  state.counters["strokes"] = static_cast<double>(strokes.size());
  state.counters["poles_per_100pts"] = 100.0 * poles / pts;
  state.counters["max_dev"] = worst;
  state.counters["rms_dev"] = std::sqrt(rms / pts);
  state.counters["over_tol"] = over;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(strokes.size()));
}

// The modeler's approximation (degree 3 to 8, C2) at the same tolerance, with its tessellation.
void BM_OcctPointsToBSpline(benchmark::State& state, const std::string& file) {
  const VORListValVORMathPoint points = LoadStrokePoints(file);
  TColgp_Array1OfPnt arr(1, points.Size());
  for (int i = 1; i <= points.Size(); ++i) arr.SetValue(i, gp_Pnt(points[i].GetX(), points[i].GetY(), points[i].GetZ()));
  Handle(Geom_BSplineCurve) curve;
  for (auto _ : state) {
    GeomAPI_PointsToBSpline fit(arr, 3, 8, GeomAbs_C2, kTolerance);
    curve = fit.IsDone() ? fit.Curve() : Handle(Geom_BSplineCurve)();
    if (!curve.IsNull()) {
      GeomAdaptor_Curve ad(curve);
      GCPnts_TangentialDeflection tess(ad, 0.5, TAQMoCSStrokeUtilities::mDisplayFitTolerance);
      benchmark::DoNotOptimize(tess.NbPoints());
    }
  }
  if (curve.IsNull()) {
    state.SkipWithError("no curve");
    return;
  }
  Deviation d;
  for (int i = 1; i <= points.Size(); ++i) {
    GeomAPI_ProjectPointOnCurve proj(arr(i), curve);
    const double dist = proj.NbPoints() > 0 ? proj.LowerDistance() : std::numeric_limits<double>::infinity();
    d.max = std::max(d.max, dist);
    d.rms += dist * dist;
  }
  d.rms = std::sqrt(d.rms / points.Size());
  state.counters["points"] = points.Size();
  state.counters["poles"] = curve->NbPoles();
  state.counters["max_dev"] = d.max;
  state.counters["rms_dev"] = d.rms;
}

}  // namespace

BENCHMARK_CAPTURE(BM_FitAndTessellate, ours_real_100pts, "real/Korean-character07-0649_10-0.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OcctPointsToBSpline, occt_real_100pts, "real/Korean-character07-0649_10-0.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FitAndTessellate, ours_real_101pts, "real/Latin-character26-0708_09-0.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OcctPointsToBSpline, occt_real_101pts, "real/Latin-character26-0708_09-0.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FitAndTessellate, ours_real_487pts, "real/Balinese-character02-0109_08-0.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OcctPointsToBSpline, occt_real_487pts, "real/Balinese-character02-0109_08-0.json")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FitAndTessellateAllReal)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FitAndTessellate, ours_smooth_2000, "synthetic/smooth-2000.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FitAndTessellate, ours_smooth_5000, "synthetic/smooth-5000.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FitAndTessellate, ours_smooth_20000, "synthetic/smooth-20000.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FitAndTessellate, ours_corners_5000, "synthetic/corners-5000.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FitAndTessellate, ours_helix3d_5000, "synthetic/helix3d-5000.json")->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
