// Cost of the stroke model's lifecycle on the long shared strokes: copying and assigning a stroke shares
// its segments (constant in the point count), against copying the segment values themselves, and
// reading a segment's source points back.
#include <benchmark/benchmark.h>

#include <string>

#include "StrokeFiles.h"
#include "TAQMoStroke.h"

namespace {

// A stroke holding the file's points in four segments on the plane z = 0.
TAQMoStroke* MakeStroke(const std::string& file) {
  const VORListValVORMathPoint points = LoadStrokePoints(file);
  const VORMathPlane plane;
  TAQUtVector<TAQMoStrokeData*> data;
  const int pieces = 4;
  for (int k = 0; k < pieces; ++k) {
    VORListValVORMathPoint2D uv;
    for (int i = 1 + k * points.Size() / pieces; i <= (k + 1) * points.Size() / pieces; ++i) {
      double u = 0, v = 0;
      plane.Project(points[i], u, v);
      uv.Append(VORMathPoint2D(u, v));
    }
    TAQMoStrokeData* s = new TAQMoStrokeData;
    s->SetBase(plane);
    s->SetData(uv);
    data.Append(s);
  }
  TAQMoStroke* stroke = new TAQMoStroke;
  stroke->SetData(data, true);
  return stroke;
}

void BM_CopySharingSegments(benchmark::State& state, const char* file) {
  TAQMoStroke* stroke = MakeStroke(file);
  for (auto _ : state) {
    TAQMoStroke copy(*stroke);
    benchmark::DoNotOptimize(&copy);
  }
  delete stroke;
}

void BM_AssignSharingSegments(benchmark::State& state, const char* file) {
  TAQMoStroke* stroke = MakeStroke(file);
  TAQMoStroke other;
  for (auto _ : state) {
    other = *stroke;
    benchmark::DoNotOptimize(&other);
  }
  delete stroke;
}

// What a copy would cost if it copied the segments instead of sharing them.
void BM_CopySegmentValues(benchmark::State& state, const char* file) {
  TAQMoStroke* stroke = MakeStroke(file);
  TAQUtVector<TAQMoStrokeData*> data;
  stroke->GetData(data);
  for (auto _ : state) {
    for (unsigned i = 0; i < data.Size(); ++i) {
      TAQMoStrokeData copy(*data[i]);
      benchmark::DoNotOptimize(&copy);
    }
  }
  delete stroke;
}

void BM_SourcePoints(benchmark::State& state, const char* file) {
  TAQMoStroke* stroke = MakeStroke(file);
  TAQUtVector<TAQMoStrokeData*> data;
  stroke->GetData(data);
  VORListValVORMathPoint points;
  int64_t count = 0;
  for (auto _ : state) {
    for (unsigned i = 0; i < data.Size(); ++i) {
      data[i]->GetSourcePoints(points, nullptr);
      count += points.Size();
    }
  }
  state.SetItemsProcessed(count);
  delete stroke;
}

}  // namespace

BENCHMARK_CAPTURE(BM_CopySharingSegments, smooth2000, "synthetic/smooth-2000.json");
BENCHMARK_CAPTURE(BM_CopySharingSegments, smooth20000, "synthetic/smooth-20000.json");
BENCHMARK_CAPTURE(BM_AssignSharingSegments, smooth20000, "synthetic/smooth-20000.json");
BENCHMARK_CAPTURE(BM_CopySegmentValues, smooth2000, "synthetic/smooth-2000.json");
BENCHMARK_CAPTURE(BM_CopySegmentValues, smooth20000, "synthetic/smooth-20000.json");
BENCHMARK_CAPTURE(BM_SourcePoints, smooth20000, "synthetic/smooth-20000.json");

BENCHMARK_MAIN();
