#include "TestGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

double DistanceToCurve(const VORCurve& curve, const VORMathPoint& point) {
  const double t0 = curve.GetStartLimit().GetParam(), t1 = curve.GetEndLimit().GetParam();
  const int samples = 64 * std::max(1, curve.GetPoleCount());
  double bestT = t0, best = std::numeric_limits<double>::infinity();
  for (int i = 0; i <= samples; ++i) {
    const double t = t0 + (t1 - t0) * i / samples;
    const double d = curve.EvalPoint(VORCrvParam(t)).SquareDistanceTo(point);
    if (d < best) { best = d; bestT = t; }
  }
  // Golden-section refinement around the best sample (robust where Newton would need second derivatives).
  const double h = (t1 - t0) / samples;
  double a = std::max(t0, bestT - h), b = std::min(t1, bestT + h);
  const double g = 0.5 * (std::sqrt(5.0) - 1.0);
  for (int it = 0; it < 60; ++it) {
    const double c = b - g * (b - a), d = a + g * (b - a);
    if (curve.EvalPoint(VORCrvParam(c)).SquareDistanceTo(point) < curve.EvalPoint(VORCrvParam(d)).SquareDistanceTo(point)) b = d;
    else a = c;
  }
  best = std::min(best, curve.EvalPoint(VORCrvParam(0.5 * (a + b))).SquareDistanceTo(point));
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
