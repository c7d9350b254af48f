#include "TestGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

double DistanceToCurve(const VORCurve& curve, const VORMathPoint& point) {
  const double t0 = curve.GetStartLimit().GetParam(), t1 = curve.GetEndLimit().GetParam();
  const int samples = 64 * std::max(1, curve.GetPoleCount());
  std::vector<double> d(static_cast<size_t>(samples) + 1);
  for (int i = 0; i <= samples; ++i)
    d[static_cast<size_t>(i)] = curve.EvalPoint(VORCrvParam(t0 + (t1 - t0) * i / samples)).SquareDistanceTo(point);
  // Golden-section refinement around every sample nearer than both its neighbours (robust where Newton
  // would need second derivatives): a curve that runs back along itself passes near the point twice.
  const double h = (t1 - t0) / samples;
  const double g = 0.5 * (std::sqrt(5.0) - 1.0);
  double best = std::numeric_limits<double>::infinity();
  for (int i = 0; i <= samples; ++i) {
    const size_t k = static_cast<size_t>(i);
    best = std::min(best, d[k]);
    if ((i > 0 && d[k - 1] < d[k]) || (i < samples && d[k + 1] < d[k])) continue;
    const double bestT = t0 + (t1 - t0) * i / samples;
    double a = std::max(t0, bestT - h), b = std::min(t1, bestT + h);
    for (int it = 0; it < 60; ++it) {
      const double c = b - g * (b - a), e = a + g * (b - a);
      if (curve.EvalPoint(VORCrvParam(c)).SquareDistanceTo(point) < curve.EvalPoint(VORCrvParam(e)).SquareDistanceTo(point)) b = e;
      else a = c;
    }
    best = std::min(best, curve.EvalPoint(VORCrvParam(0.5 * (a + b))).SquareDistanceTo(point));
  }
  return std::sqrt(best);
}

double MaxDeviation(const VORCurve& curve, const VORListValVORMathPoint& points) {
  double worst = 0.0;
  for (int i = 1; i <= points.Size(); ++i) worst = std::max(worst, DistanceToCurve(curve, points[i]));
  return worst;
}

double DistanceToPolyline(const VORListValVORMathPoint& points, const VORMathPoint& point) {
  if (points.Size() == 0) return std::numeric_limits<double>::infinity();
  double best = points[1].DistanceTo(point);
  for (int i = 1; i < points.Size(); ++i) {
    const VORMathVector ab = points[i + 1] - points[i];
    const double sq = ab.GetSquareNorm();
    double t = sq > 0.0 ? (point - points[i]).Dot(ab) / sq : 0.0;
    t = std::min(1.0, std::max(0.0, t));
    best = std::min(best, (points[i] + ab * t).DistanceTo(point));
  }
  return best;
}

double PolylineLength(const VORListValVORMathPoint& points) {
  double len = 0.0;
  for (int i = 1; i < points.Size(); ++i) len += points[i].DistanceTo(points[i + 1]);
  return len;
}
