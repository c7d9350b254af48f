// The kernel's costs on curves made from the shared strokes: creating a B-spline in the factory,
// evaluating, tessellating at the display tolerance, projecting a point, cloning and cutting by arc length.
// Each case is measured next to the others in one run; compare them as ratios.
#include <benchmark/benchmark.h>

#include <string>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"

namespace {

// Poles of a curve with the given number of spans: evenly spaced samples of the stroke (cubic, clamped,
// uniform knots).
struct CurveData {
  VORListValVORMathPoint poles;
  VORRawColldouble knots;
  VORRawCollint mults;
};

CurveData MakeData(const std::string& file, int spans) {
  const VORListValVORMathPoint points = LoadStrokePoints(file);
  CurveData d;
  const int n = spans + 3;
  for (int i = 0; i < n; ++i) d.poles.Append(points[1 + static_cast<int>((points.Size() - 1.0) * i / (n - 1))]);
  for (int i = 0; i <= spans; ++i) {
    d.knots.Append(static_cast<double>(i) / spans);
    d.mults.Append(i == 0 || i == spans ? 4 : 1);
  }
  return d;
}

const char* kStroke = "synthetic/smooth-5000.json";

void BM_CreateBSplineCurve(benchmark::State& state) {
  const CurveData d = MakeData(kStroke, static_cast<int>(state.range(0)));
  VORGeoFactory factory;
  for (auto _ : state) {
    VORCurve* c = factory.CreateBSplineCurve(3, d.poles, d.knots, d.mults);
    benchmark::DoNotOptimize(c);
    factory.Remove(c);
  }
}
BENCHMARK(BM_CreateBSplineCurve)->Arg(30)->Arg(100)->Arg(300);

void BM_EvalPointAndDerivative(benchmark::State& state) {
  const CurveData d = MakeData(kStroke, static_cast<int>(state.range(0)));
  VORGeoFactory factory;
  const VORCurve* c = factory.CreateBSplineCurve(3, d.poles, d.knots, d.mults);
  double u = 0.0;
  VORMathPoint p;
  VORMathVector v;
  for (auto _ : state) {
    c->Eval(VORCrvParam(u), p, &v);
    benchmark::DoNotOptimize(p);
    u += 0.618034;
    if (u > 1.0) u -= 1.0;
  }
}
BENCHMARK(BM_EvalPointAndDerivative)->Arg(30)->Arg(300);

// Tessellation of a freshly made curve (its span forms are built inside the timing, as after a fit).
void BM_CreateAndTessellate(benchmark::State& state) {
  const CurveData d = MakeData(kStroke, static_cast<int>(state.range(0)));
  VORGeoFactory factory;
  VORListValVORMathPoint out;
  for (auto _ : state) {
    VORCurve* c = factory.CreateBSplineCurve(3, d.poles, d.knots, d.mults);
    TAQMoCSStrokeUtilities::Tessellate(c, c->GetStartLimit(), c->GetEndLimit(), 0.1, out);
    benchmark::DoNotOptimize(out.Data());
    factory.Remove(c);
  }
  state.counters["points"] = out.Size();
}
BENCHMARK(BM_CreateAndTessellate)->Arg(30)->Arg(100)->Arg(300);

// The same on a real stroke of about 100 points drawn at its own scale (about 100 model units across).
void BM_CreateAndTessellateReal(benchmark::State& state) {
  const CurveData d = MakeData("real/Early_Aramaic-character12-0262_02-0.json", static_cast<int>(state.range(0)));
  VORGeoFactory factory;
  VORListValVORMathPoint out;
  for (auto _ : state) {
    VORCurve* c = factory.CreateBSplineCurve(3, d.poles, d.knots, d.mults);
    TAQMoCSStrokeUtilities::Tessellate(c, c->GetStartLimit(), c->GetEndLimit(), 0.1, out);
    benchmark::DoNotOptimize(out.Data());
    factory.Remove(c);
  }
  state.counters["points"] = out.Size();
}
BENCHMARK(BM_CreateAndTessellateReal)->Arg(10)->Arg(30);

// Tessellating a curve again (its span forms already made).
void BM_TessellateAgain(benchmark::State& state) {
  const CurveData d = MakeData(kStroke, static_cast<int>(state.range(0)));
  VORGeoFactory factory;
  VORListValVORMathPoint out;
  const VORCurve* c = factory.CreateBSplineCurve(3, d.poles, d.knots, d.mults);
  for (auto _ : state) {
    TAQMoCSStrokeUtilities::Tessellate(c, 0.1, out);
    benchmark::DoNotOptimize(out.Data());
  }
  state.counters["points"] = out.Size();
}
BENCHMARK(BM_TessellateAgain)->Arg(30)->Arg(300);

void BM_ProjectPoint(benchmark::State& state) {
  const CurveData d = MakeData(kStroke, static_cast<int>(state.range(0)));
  VORGeoFactory factory;
  VORListPtrVORCurve curves;
  curves.Append(factory.CreateBSplineCurve(3, d.poles, d.knots, d.mults));
  const VORListValVORMathPoint points = LoadStrokePoints(kStroke);
  int k = 1;
  double param, distance;
  VORCurve* found;
  for (auto _ : state) {
    // Pen events near the stroke, moved off it a little.
    const VORMathPoint q = points[k] + VORMathVector(0.7, -0.4, 0.3);
    TAQMoCSStrokeUtilities::GetProjectionOnCurves(nullptr, curves, q, nullptr, param, found, &distance, false);
    benchmark::DoNotOptimize(param);
    k = k + 97 > points.Size() ? 1 : k + 97;
  }
}
BENCHMARK(BM_ProjectPoint)->Arg(30)->Arg(300);

void BM_Clone(benchmark::State& state) {
  const CurveData d = MakeData(kStroke, static_cast<int>(state.range(0)));
  VORGeoFactory factory;
  VORListPtrVORCurve curves, copies;
  curves.Append(factory.CreateBSplineCurve(3, d.poles, d.knots, d.mults));
  for (auto _ : state) {
    copies.RemoveAll();
    TAQMoCSStrokeUtilities::Clone(curves, copies);
    factory.Remove(copies[1]);
  }
}
BENCHMARK(BM_Clone)->Arg(300);

void BM_SubsetByArcLength(benchmark::State& state) {
  const CurveData d = MakeData(kStroke, static_cast<int>(state.range(0)));
  VORGeoFactory factory;
  const double range[2] = {0.2, 0.7};
  for (auto _ : state) {
    VORCurve* c = factory.CreateBSplineCurve(3, d.poles, d.knots, d.mults);
    TAQMoCSStrokeUtilities::SubsetCurveNormalized(c, range);
    factory.Remove(c);
  }
}
BENCHMARK(BM_SubsetByArcLength)->Arg(30)->Arg(300);

}  // namespace

BENCHMARK_MAIN();
