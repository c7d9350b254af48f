// Polyline work of the stroke utilities: carrying points onto planes, feet on polylines, trimming,
// nearest points, the anchored drag of a polyline, coincidence, display normals and the clock.
#include <cstddef>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQUtTolerance.h"

namespace {

bool AllFinite(const VORListValVORMathPoint& points) {
  const VORMathPoint* p = points.Data();
  for (int i = 0, n = points.Size(); i < n; ++i)
    if (!p[i].IsFinite()) return false;
  return true;
}

// The foot of point on the segment a-b as the fraction along it (0 for a degenerate segment).
double SegmentFraction(const VORMathPoint& point, const VORMathPoint& a, const VORMathPoint& b) {
  const VORMathVector ab = b - a;
  const double len2 = ab.GetSquareNorm();
  if (!(len2 > 0.0)) return 0.0;
  const double f = (point - a).Dot(ab) / len2;
  return f < 0.0 ? 0.0 : (f > 1.0 ? 1.0 : f);
}

// Exact at both ends: a + (b - a) rounds, and a segment's end point must be met exactly where it is one.
VORMathPoint Lerp(const VORMathPoint& a, const VORMathPoint& b, double f) {
  return f <= 0.0 ? a : (f >= 1.0 ? b : a + (b - a) * f);
}

// True when the segment from position k to k + 1 runs across a piece end given in splits.
bool IsPieceEnd(const VORRawCollint* splits, int k) {
  if (!splits) return false;
  const int* s = splits->Data();
  for (int i = 0, n = splits->Size(); i < n; ++i)
    if (s[i] == k) return true;
  return false;
}

// Nearest foot over the segments of points (no segment across a piece end). Returns the 1-based
// fractional position; segment receives the 1-based start of the segment holding the foot. Of feet
// equally near, the first is taken, or the last with preferLast (the end of a closed polyline lies on
// its start too).
double NearestFoot(const VORMathPoint& point, const VORRawCollint* splits, const VORListValVORMathPoint& points,
                   VORMathPoint& foot, int& segment, bool preferLast = false) {
  const int n = points.Size();
  const VORMathPoint* p = points.Data();
  if (n == 1) {
    foot = p[0];
    segment = 1;
    return 1.0;
  }
  double best = std::numeric_limits<double>::infinity();
  double bestT = 1.0;
  int bestK = 1;
  for (int k = 1; k < n; ++k) {
    if (IsPieceEnd(splits, k)) continue;
    const double f = SegmentFraction(point, p[k - 1], p[k]);
    const double d = point.SquareDistanceTo(Lerp(p[k - 1], p[k], f));
    if (d < best || (preferLast && d == best)) {
      best = d;
      bestK = k;
      bestT = f;
    }
  }
  if (!std::isfinite(best)) {  // every segment crosses a piece end, or distances overflow: the nearest point
    int k = std::max(1, TAQMoCSStrokeUtilities::GetNearestPoint(points, point, nullptr));
    foot = p[k - 1];
    segment = k < n ? k : n - 1;
    return k;
  }
  segment = bestK;
  if (bestT >= 1.0) {
    foot = p[bestK];
    return bestK + 1.0;
  }
  foot = Lerp(p[bestK - 1], p[bestK], bestT);
  return bestK + bestT;
}

}  // namespace

// ---- Points and polylines ----

bool TAQMoCSStrokeUtilities::ForwardToPlane(const VORMathDirection& direction, const VORMathPlane& plane,
                                            const VORListValVORMathPoint& points, VORListValVORMathPoint& out) {
  out.RemoveAll();
  const VORMathVector d = direction.GetVector();
  const VORMathVector n = plane.GetNormal().GetVector();
  const double dn = d.Dot(n);
  if (!plane.IsValid() || !d.IsFinite() || !(std::fabs(dn) > 1e-12) || !AllFinite(points)) return false;
  const VORMathPoint origin = plane.GetOrigin();
  VORListValVORMathPoint result(points.Size());
  for (const VORMathPoint& p : points) {
    const double t = (origin - p).Dot(n) / dn;
    result.Append(p + d * t);
  }
  out = result;  // out may be points itself
  return true;
}

bool TAQMoCSStrokeUtilities::ForwardToPlane(const VORMathDirection& direction, const VORMathPlane& plane,
                                            const VORListValVORMathPoint& points, VORListValVORMathPoint2D& out) {
  out.RemoveAll();
  VORListValVORMathPoint onPlane;
  if (!ForwardToPlane(direction, plane, points, onPlane)) return false;
  out.Reserve(onPlane.Size());
  for (const VORMathPoint& p : onPlane) {
    double u = 0.0, v = 0.0;
    plane.Project(p, u, v);
    out.Append(VORMathPoint2D(u, v));
  }
  return true;
}

double TAQMoCSStrokeUtilities::PolylineProjection(const VORMathPoint& point, const VORRawCollint* splits,
                                                  const VORListValVORMathPoint& points, VORMathPoint& foot,
                                                  VORMathVector* tangent) {
  const int n = points.Size();
  if (n == 0 || !point.IsFinite() || !AllFinite(points)) return 0.0;
  int segment = 1;
  const double t = NearestFoot(point, splits, points, foot, segment);
  if (tangent && n > 1) {
    // The direction of the foot's segment, or of the nearest non-degenerate one around it.
    const VORMathPoint* p = points.Data();
    for (int step = 0; step < n; ++step) {
      for (int sign = 1; sign >= -1; sign -= 2) {
        const int k = segment + sign * step;
        if (k < 1 || k >= n) continue;
        const VORMathVector v = p[k] - p[k - 1];
        if (v.GetSquareNorm() > 0.0) {
          *tangent = v / v.GetNorm();
          return t;
        }
      }
    }
  }
  return t;
}

bool TAQMoCSStrokeUtilities::PolylineTrim(VORRawCollint& splits, VORListValVORMathPoint& points,
                                          VORListValVORMathVector& normals, const VORMathPoint& start,
                                          const VORMathPoint& end, bool flag) {
  const int n = points.Size();
  if (n < 2 || !start.IsFinite() || !end.IsFinite() || !AllFinite(points)) return false;
  VORMathPoint footA, footB;
  int segA = 1, segB = 1;
  double ta = NearestFoot(start, &splits, points, footA, segA);
  double tb = NearestFoot(end, &splits, points, footB, segB, true);
  // A cut point on the polyline's own end is that end, even where the polyline passes it again (a closed
  // stroke, whose other end lies within rounding of it).
  const TAQUtTolerance tol;
  if (start.SquareDistanceTo(points[1]) <= tol.LengthTolSq()) {
    ta = 1.0;
    footA = points[1];
  }
  if (end.SquareDistanceTo(points[n]) <= tol.LengthTolSq()) {
    tb = n;
    footB = points[n];
  }
  if (ta > tb) {
    std::swap(ta, tb);
    std::swap(footA, footB);
  }
  const bool withNormals = normals.Size() == n;
  // With flag set the cut ends exactly on the feet; without it on the nearest existing points.
  if (!flag) {
    ta = std::floor(ta + 0.5);
    tb = std::floor(tb + 0.5);
    footA = points[static_cast<int>(ta)];
    footB = points[static_cast<int>(tb)];
  }
  const int ka = static_cast<int>(std::floor(ta));  // the foot lies on segment ka .. ka + 1
  const int kb = static_cast<int>(std::floor(tb));
  const double fa = ta - ka, fb = tb - kb;
  auto normalAt = [&](int k, double f) {
    const VORMathVector a = normals[k];
    const VORMathVector b = k < n ? normals[k + 1] : a;
    VORMathVector v = a * (1.0 - f) + b * f;
    const double len = v.GetNorm();
    return len > 0.0 ? v / len : a;
  };
  VORListValVORMathPoint outPoints(kb - ka + 3);
  VORListValVORMathVector outNormals;
  VORRawCollint outSplits;
  outPoints.Append(footA);
  if (withNormals) outNormals.Append(normalAt(ka, fa));
  // The points between the two feet (a point on a foot is the foot itself).
  for (int k = ka + 1; k <= kb; ++k) {
    if (points[k].SquareDistanceTo(outPoints[outPoints.Size()]) <= tol.LengthTolSq()) continue;
    if (k == kb && points[k].SquareDistanceTo(footB) <= tol.LengthTolSq()) break;
    outPoints.Append(points[k]);
    if (withNormals) outNormals.Append(normals[k]);
    if (IsPieceEnd(&splits, k)) outSplits.Append(outPoints.Size());
  }
  if (footB.SquareDistanceTo(outPoints[outPoints.Size()]) > tol.LengthTolSq() || outPoints.Size() == 1) {
    outPoints.Append(footB);
    if (withNormals) outNormals.Append(normalAt(kb, fb));
  }
  outSplits.Append(outPoints.Size());
  points = outPoints;
  splits = outSplits;
  if (withNormals) normals = outNormals;
  return true;
}

int TAQMoCSStrokeUtilities::GetNearestPoint(const VORListValVORMathPoint& points, const VORMathPoint& point,
                                            double* distance) {
  const int n = points.Size();
  if (n == 0 || !point.IsFinite()) return 0;
  const VORMathPoint* p = points.Data();
  double best = std::numeric_limits<double>::infinity();
  int bestK = 0;
  for (int i = 0; i < n; ++i) {
    const double d = point.SquareDistanceTo(p[i]);
    // Distances that overflow (huge coordinates) still give the first such point; NaN gives none.
    if (d < best || (bestK == 0 && d == best)) {
      best = d;
      bestK = i + 1;
    }
  }
  if (bestK == 0) return 0;  // only non-finite points
  if (distance) *distance = std::sqrt(best);
  return bestK;
}

bool TAQMoCSStrokeUtilities::DeformPolyLine(VORListValVORMathPoint& points, const VORListValVORMathPoint& anchorPoints,
                                            const VORMathPoint& from, const VORMathPoint& to, int& first,
                                            int& last) {
  const int n = points.Size();
  if (n < 2 || !from.IsFinite() || !to.IsFinite() || !AllFinite(points) || !AllFinite(anchorPoints)) return false;
  // Anchor positions: each anchor point on the point it coincides with, else on its nearest point.
  std::vector<int> anchors;
  anchors.reserve(static_cast<size_t>(anchorPoints.Size()) + 2);
  for (const VORMathPoint& a : anchorPoints) anchors.push_back(GetNearestPoint(points, a, nullptr));
  std::sort(anchors.begin(), anchors.end());
  anchors.erase(std::unique(anchors.begin(), anchors.end()), anchors.end());
  // The piece of the polyline under from, between the anchors (or ends) around it.
  VORMathPoint foot;
  int segment = 1;
  NearestFoot(from, nullptr, points, foot, segment);
  VORMathPoint* p = points.Data();
  // From on an anchor point: that anchor is dragged, and the two pieces it joins follow.
  const TAQUtTolerance tol;
  int on = 0;
  for (int a : anchors)
    if (a >= segment && a <= segment + 1 && foot.SquareDistanceTo(p[a - 1]) <= tol.LengthTolSq()) on = a;
  int lo = 1, hi = n;
  for (int a : anchors) {
    if (on ? a < on : a <= segment) lo = a;
    if ((on ? a > on : a >= segment + 1) && a < hi) hi = a;
  }
  if (!on && hi - lo < 2) {
    first = lo;
    last = hi;
    return false;
  }
  // The dragged point: that anchor, else the inner point of the piece nearest from.
  int m = on ? on : lo + 1;
  double best = std::numeric_limits<double>::infinity();
  for (int k = lo + 1; k < hi && !on; ++k) {
    const double d = from.SquareDistanceTo(p[k - 1]);
    if (d < best) {
      best = d;
      m = k;
    }
  }
  const VORMathVector move = to - p[m - 1];
  // Fall-off by arc length from the fixed ends of the piece: 0 at the anchors, 1 at the dragged point,
  // smooth (zero slope) at both.
  std::vector<double> s(static_cast<size_t>(hi - lo + 1), 0.0);
  for (int k = lo + 1; k <= hi; ++k) s[k - lo] = s[k - 1 - lo] + p[k - 1].DistanceTo(p[k - 2]);
  const double sm = s[m - lo], sh = s[hi - lo];
  for (int k = lo + 1; k < hi; ++k) {
    if (k == m) continue;
    double x = k < m ? (sm > 0.0 ? s[k - lo] / sm : 0.0) : (sh - sm > 0.0 ? (sh - s[k - lo]) / (sh - sm) : 0.0);
    x = x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
    const double w = x * x * (3.0 - 2.0 * x);
    p[k - 1] += move * w;
  }
  p[m - 1] = to;
  first = std::min(lo + 1, m);
  last = std::max(hi - 1, m);
  return true;
}

bool TAQMoCSStrokeUtilities::IsCoincident(const VORMathPoint& p, const VORMathPoint& q, double tolSq) {
  if (!p.IsFinite() || !q.IsFinite()) return false;
  return p.SquareDistanceTo(q) <= tolSq;
}

bool TAQMoCSStrokeUtilities::EstimateNormals(const VORListValVORMathPoint& refPoints,
                                             const VORListValVORMathVector& refNormals,
                                             const VORListValVORMathPoint& points, const VORMathVector& viewNormal,
                                             VORListValVORMathVector& normals) {
  const VORMathVector fallback = VORMathDirection(viewNormal).GetVector();
  const int n = points.Size();
  const int m = refPoints.Size();
  const bool useRef = m > 0 && refNormals.Size() == m;
  // Reference points sorted along the axis of their widest extent, so that the nearest one is found by
  // a short walk either way from a bisection.
  struct Ref {
    double key, x, y, z;
    VORMathVector normal;
  };
  std::vector<Ref> refs;
  int axis = 0;
  if (useRef) {
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const VORMathPoint& p : refPoints) {
      if (!p.IsFinite()) continue;
      const double c[3] = {p.GetX(), p.GetY(), p.GetZ()};
      for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
    }
    for (int k = 1; k < 3; ++k)
      if (hi[k] - lo[k] > hi[axis] - lo[axis]) axis = k;
    refs.reserve(static_cast<size_t>(m));
    for (int i = 1; i <= m; ++i) {
      const VORMathPoint& p = refPoints[i];
      const VORMathVector& v = refNormals[i];
      if (!p.IsFinite()) continue;
      const double len = v.GetNorm();
      const double c[3] = {p.GetX(), p.GetY(), p.GetZ()};
      refs.push_back({c[axis], c[0], c[1], c[2], v.IsFinite() && len > 0.0 ? v / len : fallback});
    }
    std::sort(refs.begin(), refs.end(), [](const Ref& a, const Ref& b) { return a.key < b.key; });
  }
  VORListValVORMathVector out(n);
  bool allFinite = true;
  for (const VORMathPoint& p : points) {
    if (!p.IsFinite() || refs.empty()) {
      allFinite = allFinite && p.IsFinite();
      out.Append(fallback);
      continue;
    }
    const double px = p.GetX(), py = p.GetY(), pz = p.GetZ();
    const double pc[3] = {px, py, pz};
    const double key = pc[axis];
    const auto it = std::lower_bound(refs.begin(), refs.end(), key, [](const Ref& r, double k) { return r.key < k; });
    const size_t mid = static_cast<size_t>(it - refs.begin());
    double best = std::numeric_limits<double>::infinity();
    size_t bestI = 0;
    auto visit = [&](size_t i) {
      const double dx = refs[i].x - px, dy = refs[i].y - py, dz = refs[i].z - pz;
      const double d = dx * dx + dy * dy + dz * dz;
      if (d < best) {
        best = d;
        bestI = i;
      }
      const double dk = refs[i].key - key;
      return dk * dk;
    };
    for (size_t i = mid; i < refs.size(); ++i)
      if (visit(i) > best) break;
    for (size_t i = mid; i-- > 0;)
      if (visit(i) > best) break;
    out.Append(refs[bestI].normal);
  }
  normals = out;
  return allFinite;
}

unsigned long TAQMoCSStrokeUtilities::GetTickCount() {
  static const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  return static_cast<unsigned long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}
