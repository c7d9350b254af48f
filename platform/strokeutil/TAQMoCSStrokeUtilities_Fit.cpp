// Fitting of the stroke utilities: the fitted curve through drawn points, the thinning of points and the
// anchors of a point list. The numerical work is TAQMoCSCurveFitter's; this file maps the kernel's lists
// onto it and back.
#include <cstddef>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "TAQMoCSCurveFitter.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TAQUtTolerance.h"
#include "VORGeoFactory.h"

// Every fitted curve keeps each of its points within this distance (model units) of the curve, and the
// thinning before a fit keeps the thinned polyline within it of the drawn one; both work coarser where
// the points resolve no such detail (points of a stroke drawn on a coarse view, thinned points).
float TAQMoCSStrokeUtilities::mFitTolerance2D = 0.5f;
// Display polylines stay within this chordal deviation (model units) of their curve.
float TAQMoCSStrokeUtilities::mDisplayFitTolerance = 0.05f;

namespace {

// Turn (degrees) beyond which a drawn direction change is a corner of the fit.
constexpr double kCornerAngle = 45.0;
// Relative difference of two squared distances below which they are equal: the difference is rounding.
constexpr double kTie = 1e-9;
// Share of the tolerance within which the thinned polyline stays of the drawn one. A fit of the thinned
// points meets them within the whole tolerance and is drawn towards their chords: at a crest of a smooth
// stroke, which the chord between the two thinned points that flank it cuts, a thinning at the whole
// tolerance let the curve cut the drawing by more than the tolerance.
constexpr double kThinShare = 0.5;
// Resolution of drawn points: the share of points that scatter less (the rest: corners, pen slips) and
// the factor of their scatter; the share of gaps that are closer and the factor of that spacing. A
// mouse's pixel steps scatter by up to a third of a pixel, and half a pixel is the fit tolerance of a
// stroke drawn at its own size on pixels of 0.8 to 1 model units.
constexpr double kScatterShare = 0.9;
constexpr double kScatterFactor = 3.0;
constexpr double kCloseShare = 0.02;
constexpr double kCloseFactor = 0.5;
// Smoothing before thinning: half-width of the window along the stroke (in tolerances), the farthest a
// point may move (share of the tolerance; the thinning keeps the rest), and the most points the window
// holds on either side.
constexpr double kSmoothReach = 20.0;
constexpr double kSmoothShare = 0.5;
constexpr int kSmoothPoints = 8;

double FitTolerance() {
  const double tol = static_cast<double>(TAQMoCSStrokeUtilities::mFitTolerance2D);
  return tol > 0.0 && std::isfinite(tol) ? tol : 0.5;
}

bool AllFinite(const VORListValVORMathPoint& points) {
  for (const VORMathPoint& p : points)
    if (!p.IsFinite()) return false;
  return true;
}

// Squared distance of p from the segment a-b.
inline double SegmentDistanceSq(const VORMathPoint& p, const VORMathPoint& a, const VORMathPoint& b) {
  const VORMathVector ab = b - a;
  const double len2 = ab.GetSquareNorm();
  double f = len2 > 0.0 ? (p - a).Dot(ab) / len2 : 0.0;
  f = f < 0.0 ? 0.0 : (f > 1.0 ? 1.0 : f);
  return p.SquareDistanceTo(a + ab * f);
}

}  // namespace

// ---- Fitting ----

VORCurve* TAQMoCSStrokeUtilities::CreateFitCurve(VORGeoFactory* factory, VORSoftwareConfiguration* /*config*/,
                                                 const VORListValVORMathPoint& points, const VORRawCollint* splits,
                                                 const VORMathVector* endVectors,
                                                 VORListValVORMathPoint* fittedPoints) {
  if (fittedPoints) fittedPoints->RemoveAll();
  if (!factory) return nullptr;
  TAQMoCSCurveFitter fitter;
  if (!fitter.SetPoints(points, FitTolerance())) return nullptr;
  const int n = fitter.GetPointCount();
  if (n < 2) return nullptr;
  using Vec = TAQMoCSCurveFitter::Vec;

  // Breaks: the ends, the given anchors and the drawn corners.
  std::vector<int> at;
  at.reserve(static_cast<size_t>(splits ? splits->Size() : 0) + 2);
  at.push_back(0);
  at.push_back(n - 1);
  if (splits)
    for (int s : *splits)
      if (s >= 1 && s <= points.Size()) at.push_back(fitter.CleanIndex(s));
  std::sort(at.begin(), at.end());
  at.erase(std::unique(at.begin(), at.end()), at.end());
  // Drawn corners are breaks too; a corner close to an anchor is that anchor's turn and makes it sharp.
  std::vector<int> corners;
  fitter.FindCorners(kCornerAngle, corners);
  std::vector<char> sharp(at.size(), 0);
  std::vector<int> extra;
  for (int c : corners) {
    const auto it = std::lower_bound(at.begin(), at.end(), c);
    const size_t next = static_cast<size_t>(it - at.begin());
    const double after = fitter.ArcLength(at[next]) - fitter.ArcLength(c);
    const double before = next > 0 ? fitter.ArcLength(c) - fitter.ArcLength(at[next - 1]) : after;
    if (after < fitter.CornerScale() && after <= before) sharp[next] = 1;
    else if (before < fitter.CornerScale()) sharp[next - 1] = 1;
    else extra.push_back(c);
  }
  // Sharp anchors and corners break the curve, leaving along the drawn directions on either side; the
  // curve runs smoothly through the other anchors.
  std::vector<TAQMoCSCurveFitter::Break> breaks;
  std::vector<int> through;
  breaks.reserve(at.size() + extra.size());
  const Vec zero{0.0, 0.0, 0.0};
  for (size_t k = 0; k < at.size(); ++k) {
    const int i = at[k];
    if (i == 0 || i == n - 1) {
      breaks.push_back({i, zero, zero, false});
    } else if (sharp[k] || fitter.IsCorner(i, kCornerAngle)) {
      extra.push_back(i);
    } else {
      through.push_back(i);
    }
  }
  for (int c : extra) {
    TAQMoCSCurveFitter::Break br{c, zero, zero, true};
    fitter.SideTangents(c, br.in, br.out);
    breaks.push_back(br);
  }
  std::sort(breaks.begin(), breaks.end(), [](const auto& x, const auto& y) { return x.index < y.index; });
  breaks.erase(std::unique(breaks.begin(), breaks.end(), [](const auto& x, const auto& y) { return x.index == y.index; }),
               breaks.end());
  if (endVectors) {
    for (int e = 0; e < 2; ++e) {
      const VORMathVector& v = endVectors[e];
      if (!VORMathDirection::IsUsable(v)) continue;
      const VORMathDirection d(v);
      const Vec t{d.GetX(), d.GetY(), d.GetZ()};
      if (e == 0) breaks.front().out = t;
      else breaks.back().in = t;
    }
  }
  // Corners and directions are read off the drawn points; the fit then follows the drawn polyline, long
  // chords included (thinned points lie far apart).
  fitter.FillLongChords();
  for (TAQMoCSCurveFitter::Break& br : breaks) br.index = fitter.FilledIndex(br.index);
  for (int& t : through) t = fitter.FilledIndex(t);
  if (!fitter.Fit(breaks, through)) return nullptr;

  VORListValVORMathPoint poles(static_cast<int>(fitter.GetPoles().size()));
  for (const Vec& p : fitter.GetPoles()) poles.Append(VORMathPoint(p.x, p.y, p.z));
  VORRawColldouble knots(static_cast<int>(fitter.GetKnots().size()));
  for (double k : fitter.GetKnots()) knots.Append(k);
  VORRawCollint mults(static_cast<int>(fitter.GetMultiplicities().size()));
  for (int m : fitter.GetMultiplicities()) mults.Append(m);
  VORCurve* curve = factory->CreateBSplineCurve(3, poles, knots, mults);
  if (curve && fittedPoints) {
    // The drawn points the fit kept, without the points it added along long chords.
    fittedPoints->Reserve(n);
    const std::vector<Vec>& used = fitter.GetPoints();
    int last = -1;
    for (int i = 1; i <= points.Size(); ++i) {
      const int k = fitter.CleanIndex(i);
      if (k == last) continue;
      last = k;
      const Vec& p = used[static_cast<size_t>(k)];
      fittedPoints->Append(VORMathPoint(p.x, p.y, p.z));
    }
  }
  return curve;
}

namespace {

// Offset from q[i] of the value at arc[i] of the quadratic in arc length fitted by weighted least squares
// to the points lo..hi, with weights (1 - (d / reach)^2)^2 in their arc distance d from point i; zero
// when they do not determine a quadratic. A point at the edge of the window weighs nothing, and three
// points are interpolated (no offset): the offset grows continuously as points come into the window, so
// that a rounding error cannot tip a point into or out of the smoothing.
VORMathVector LocalQuadratic(const VORMathPoint* q, const double* arc, int lo, int hi, int i, double reach) {
  double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0;
  double t0[3] = {0.0, 0.0, 0.0}, t1[3] = {0.0, 0.0, 0.0}, t2[3] = {0.0, 0.0, 0.0};
  const double inv = 1.0 / reach, x = q[i].GetX(), y = q[i].GetY(), z = q[i].GetZ();
  for (int j = lo; j <= hi; ++j) {
    // The window holds only points closer than reach: |t| < 1.
    const double t = (arc[j] - arc[i]) * inv, u = 1.0 - t * t;
    const double w = u * u, wt = w * t, wtt = wt * t;
    s0 += w;
    s1 += wt;
    s2 += wtt;
    s3 += wtt * t;
    s4 += wtt * t * t;
    // Relative to point i, so that the sums do not carry the stroke's position.
    const double d[3] = {q[j].GetX() - x, q[j].GetY() - y, q[j].GetZ() - z};
    for (int c = 0; c < 3; ++c) {
      t0[c] += w * d[c];
      t1[c] += wt * d[c];
      t2[c] += wtt * d[c];
    }
  }
  // The value at t = 0 of the solution of [s0 s1 s2; s1 s2 s3; s2 s3 s4] c = T, by Cramer's rule.
  const double m00 = s2 * s4 - s3 * s3, m01 = s1 * s4 - s3 * s2, m02 = s1 * s3 - s2 * s2;
  const double det = s0 * m00 - s1 * m01 + s2 * m02;
  if (hi - lo < 3 || !(det > 1e-12 * s0 * s0 * s0)) return VORMathVector(0.0, 0.0, 0.0);
  double c0[3];
  for (int c = 0; c < 3; ++c) c0[c] = (t0[c] * m00 - t1[c] * m01 + t2[c] * m02) / det;
  return VORMathVector(c0[0], c0[1], c0[2]);
}

// The finest detail that drawn points resolve, model units: half their closest spacing (of the gaps
// between neighbours, the one that one in fifty is shorter than; for a mouse, a pixel), or, where they
// scatter less about a smooth path (a tablet's close samples, the points of a smooth polyline), three
// times that scatter: the distance of a point from the quadratic in arc length fitted to it and two
// neighbours on either side, which nine points in ten keep within. It grows with the drawing's size, as
// a tolerance in model units does not. arc: the arc length at each point. 0 for fewer than five points.
double Resolution(const VORListValVORMathPoint& points, const std::vector<double>& arc) {
  const int n = points.Size();
  if (n < 5) return 0.0;
  const VORMathPoint* p = points.Data();
  std::vector<double> gap(static_cast<size_t>(n - 1)), close, scatter;
  close.reserve(static_cast<size_t>(n));
  scatter.reserve(static_cast<size_t>(n));
  for (int i = 1; i < n; ++i) {
    const double g = arc[static_cast<size_t>(i)] - arc[static_cast<size_t>(i - 1)];
    gap[static_cast<size_t>(i - 1)] = g;
    if (g > 0.0) close.push_back(g);
  }
  // The quadratic's value at point i is a weighted sum of the five points, with the weights from the
  // first row of the inverse of the moments of their arc offsets t; taken relative to point i, so that
  // the sum does not carry the stroke's position.
  for (int i = 2; i + 2 < n; ++i) {
    const double* g = gap.data() + i - 2;
    const double t[5] = {-g[0] - g[1], -g[1], 0.0, g[2], g[2] + g[3]};
    double s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0;
    for (double x : t) {
      const double x2 = x * x;
      s1 += x;
      s2 += x2;
      s3 += x2 * x;
      s4 += x2 * x2;
    }
    const double m00 = s2 * s4 - s3 * s3, m01 = s1 * s4 - s3 * s2, m02 = s1 * s3 - s2 * s2;
    const double det = 5.0 * m00 - s1 * m01 + s2 * m02;
    if (!(det > 1e-9 * s2 * s2 * s2)) continue;  // repeated points: no quadratic
    VORMathVector r(0.0, 0.0, 0.0);
    for (int j = 0; j < 5; ++j)
      if (j != 2) r = r + (p[i - 2 + j] - p[i]) * ((m00 - t[j] * m01 + t[j] * t[j] * m02) / det);
    scatter.push_back(r.GetSquareNorm());
  }
  if (scatter.empty() || close.empty()) return 0.0;
  const auto s = scatter.begin() + static_cast<std::ptrdiff_t>(static_cast<double>(scatter.size() - 1) * kScatterShare);
  std::nth_element(scatter.begin(), s, scatter.end());
  const auto c = close.begin() + static_cast<std::ptrdiff_t>(static_cast<double>(close.size() - 1) * kCloseShare);
  std::nth_element(close.begin(), c, close.end());
  return std::min(kScatterFactor * std::sqrt(*s), kCloseFactor * *c);
}

// The points smoothed between fixed positions, which stay as they are: each other point moves towards
// the value at it of a quadratic in arc length fitted to its neighbours along the stroke within reach
// (a local regression), by at most cap. The window holds no point across a fixed position, and at most
// kSmoothPoints points on either side: points drawn closer than the tolerance need no wider window to
// average, and a count, unlike an arc length, does not change under rounding. Jitter and pixel steps
// average out, and a bend keeps its curvature, which a plain average would cut.
std::vector<VORMathPoint> Smoothed(const VORListValVORMathPoint& points, const std::vector<char>& fixed,
                                   const std::vector<double>& arc, double reach, double cap) {
  const int n = points.Size();
  const VORMathPoint* q = points.Data();
  const double* s = arc.data();
  std::vector<VORMathPoint> out(points.begin(), points.end());
  if (!(reach > 0.0) || !(cap > 0.0)) return out;
  for (int i = 0, before = 0, after = 0; i < n; ++i) {
    if (fixed[static_cast<size_t>(i)]) {
      before = i;
      continue;
    }
    if (after < i)
      for (after = i + 1; !fixed[static_cast<size_t>(after)];) ++after;
    int lo = std::max(before, i - kSmoothPoints), hi = std::min(after, i + kSmoothPoints);
    while (s[i] - s[lo] >= reach) ++lo;
    while (s[hi] - s[i] >= reach) --hi;
    const VORMathVector offset = LocalQuadratic(q, s, lo, hi, i, reach);
    // Scaled down as a whole, so that the cap moves a point continuously.
    const double len = offset.GetNorm();
    out[static_cast<size_t>(i)] = q[i] + (len > cap ? offset * (cap / len) : offset);
  }
  return out;
}

}  // namespace

bool TAQMoCSStrokeUtilities::SimplifyFitPoints(VORGeoFactory* /*factory*/, VORSoftwareConfiguration* /*config*/,
                                               VORListValVORMathPoint& points, VORRawCollint* keep,
                                               double tolerance) {
  const int n = points.Size();
  if (!(tolerance >= 0.0) || !std::isfinite(tolerance) || !AllFinite(points)) return false;
  if (keep)
    for (int k : *keep)
      if (k < 1 || k > n) return false;
  if (n < 3) return true;
  // Fixed positions (0-based): the ends and every kept one. Between two fixed positions the polyline is
  // thinned by recursive subdivision at the farthest point.
  std::vector<char> fixed(static_cast<size_t>(n), 0);
  fixed.front() = fixed.back() = 1;
  if (keep)
    for (int k : *keep) fixed[static_cast<size_t>(k - 1)] = 1;
  std::vector<char> stay = fixed;
  std::vector<double> dist(static_cast<size_t>(n), 0.0), arc(static_cast<size_t>(n), 0.0);
  const VORMathPoint* drawn = points.Data();
  for (int i = 1; i < n; ++i) arc[static_cast<size_t>(i)] = arc[static_cast<size_t>(i - 1)] + drawn[i].DistanceTo(drawn[i - 1]);
  // Thinned no finer than the drawing resolves: the pixel steps of a stroke drawn ten times larger
  // (on a view zoomed out ten times) are smoothed and thinned as those of the stroke at its own size.
  // A tolerance of 0 moves no point (only points exactly on a chord go).
  const double resolution = tolerance > 0.0 ? Resolution(points, arc) : 0.0;
  if (resolution > tolerance && std::isfinite(resolution)) tolerance = resolution;
  const double tolSq = kThinShare * kThinShare * tolerance * tolerance;
  // Thinned from the smoothed points, which it hands back: each within kSmoothShare of the tolerance of
  // its drawn point, and the thinned polyline within kThinShare of the smoothed one. The thinning keeps
  // the points where the polyline strays farthest from a chord: among drawn points, those the jitter
  // pushed out.
  const std::vector<VORMathPoint> smooth =
      Smoothed(points, fixed, arc, kSmoothReach * tolerance, kSmoothShare * tolerance);
  const VORMathPoint* p = smooth.data();
  std::vector<std::pair<int, int>> stack;
  int a = 0;
  for (int b = 1; b < n; ++b) {
    if (!fixed[static_cast<size_t>(b)]) continue;
    stack.emplace_back(a, b);
    while (!stack.empty()) {
      const auto [lo, hi] = stack.back();
      stack.pop_back();
      double worst = -1.0;
      for (int i = lo + 1; i < hi; ++i) {
        const double d = SegmentDistanceSq(p[i], p[lo], p[hi]);
        dist[static_cast<size_t>(i)] = d;
        worst = std::max(worst, d);
      }
      if (!(worst > tolSq)) continue;
      // The farthest point is kept. Points as far within rounding (the symmetric steps of pixels) are
      // one choice, and the one nearest the middle of the run along the stroke is kept; of two as near
      // (one each side), both: the same points wherever the stroke lies and whichever way it runs.
      const double tie = worst * (1.0 - kTie);
      const double mid = 0.5 * (arc[static_cast<size_t>(lo)] + arc[static_cast<size_t>(hi)]);
      const double arcTie = kTie * (arc[static_cast<size_t>(hi)] - arc[static_cast<size_t>(lo)]);
      double nearest = HUGE_VAL;
      for (int i = lo + 1; i < hi; ++i)
        if (dist[static_cast<size_t>(i)] >= tie) nearest = std::min(nearest, std::fabs(arc[static_cast<size_t>(i)] - mid));
      int from = lo;
      for (int i = lo + 1; i < hi; ++i) {
        if (dist[static_cast<size_t>(i)] < tie || std::fabs(arc[static_cast<size_t>(i)] - mid) > nearest + arcTie) continue;
        stay[static_cast<size_t>(i)] = 1;
        stack.emplace_back(from, i);
        from = i;
      }
      stack.emplace_back(from, hi);
    }
    a = b;
  }
  std::vector<int> newPos(static_cast<size_t>(n), 0);
  VORListValVORMathPoint out(n);
  for (int i = 0; i < n; ++i) {
    if (!stay[static_cast<size_t>(i)]) continue;
    out.Append(p[i]);
    newPos[static_cast<size_t>(i)] = out.Size();
  }
  if (keep)
    for (int& k : *keep) k = newPos[static_cast<size_t>(k - 1)];
  points = out;
  return true;
}

bool TAQMoCSStrokeUtilities::PrepareCurveData(VORListValVORMathPoint& points, const VORListValVORMathPoint& refPoints,
                                              int count, const VORRawCollint& anchorsIn, VORRawCollint& anchorsOut,
                                              double cornerAngle) {
  // Copy what is read from the inputs first: every list may alias another.
  const int carried = std::max(0, std::min(count, anchorsIn.Size()));
  VORListValVORMathPoint carriedPoints(carried);
  for (int k = 1; k <= carried; ++k) {
    const int a = anchorsIn[k];
    if (a >= 1 && a <= refPoints.Size()) carriedPoints.Append(refPoints[a]);
  }
  TAQMoCSCurveFitter fitter;
  if (!fitter.SetPoints(points, FitTolerance()) || !AllFinite(carriedPoints)) {
    anchorsOut.RemoveAll();
    if (points.Size() >= 1) anchorsOut.Append(1);
    if (points.Size() >= 2) anchorsOut.Append(points.Size());
    return false;
  }
  const int n = fitter.GetPointCount();
  if (n != points.Size()) {  // repeated samples removed
    VORListValVORMathPoint cleaned(n);
    for (const auto& p : fitter.GetPoints()) cleaned.Append(VORMathPoint(p.x, p.y, p.z));
    points = cleaned;
  }
  anchorsOut.RemoveAll();
  if (n == 0) return false;
  std::vector<int> at;
  at.push_back(0);
  at.push_back(n - 1);
  // Carried anchors, in their order along the stroke: each on the nearest point at or after the previous.
  const auto& pts = fitter.GetPoints();
  int from = 0;
  for (const VORMathPoint& c : carriedPoints) {
    double best = std::numeric_limits<double>::infinity();
    int bestI = from;
    for (int i = from; i < n; ++i) {
      const double dx = pts[static_cast<size_t>(i)].x - c.GetX(), dy = pts[static_cast<size_t>(i)].y - c.GetY(),
                   dz = pts[static_cast<size_t>(i)].z - c.GetZ();
      const double d = dx * dx + dy * dy + dz * dz;
      if (d < best) {
        best = d;
        bestI = i;
      }
    }
    at.push_back(bestI);
    from = bestI;
  }
  std::sort(at.begin(), at.end());
  at.erase(std::unique(at.begin(), at.end()), at.end());
  // Corners, unless they lie within the corner scale of an anchor (then the anchor is the corner).
  if (std::isfinite(cornerAngle) && cornerAngle >= 0.0) {
    std::vector<int> corners, halfway;
    fitter.FindCorners(cornerAngle, corners);
    std::vector<int> all = at;
    for (int c : corners) {
      const auto it = std::lower_bound(at.begin(), at.end(), c);
      const bool nearNext = it != at.end() && fitter.ArcLength(*it) - fitter.ArcLength(c) < fitter.CornerScale();
      const bool nearPrev = it != at.begin() && fitter.ArcLength(c) - fitter.ArcLength(*(it - 1)) < fitter.CornerScale();
      if (nearNext || nearPrev) continue;
      const int other = fitter.TiedNeighbour(c, cornerAngle);
      if (other < 0) all.push_back(c);
      else halfway.push_back(std::min(c, other));
    }
    // A corner between two drawn points exactly as sharp (the symmetric steps of a pixel turn) gets a
    // point of its own halfway between them, so that it lies at the same place whichever way the
    // stroke runs; the positions after it move up.
    if (!halfway.empty()) {
      std::sort(halfway.begin(), halfway.end());
      halfway.erase(std::unique(halfway.begin(), halfway.end()), halfway.end());
      VORListValVORMathPoint withCorners(n + static_cast<int>(halfway.size()));
      std::vector<int> moved(static_cast<size_t>(n));
      size_t h = 0;
      for (int i = 0; i < n; ++i) {
        const auto& p = pts[static_cast<size_t>(i)];
        withCorners.Append(VORMathPoint(p.x, p.y, p.z));
        moved[static_cast<size_t>(i)] = withCorners.Size() - 1;
        if (h < halfway.size() && halfway[h] == i) {
          const auto& q = pts[static_cast<size_t>(i) + 1];
          withCorners.Append(VORMathPoint(0.5 * (p.x + q.x), 0.5 * (p.y + q.y), 0.5 * (p.z + q.z)));
          ++h;
        }
      }
      for (int& a : all) a = moved[static_cast<size_t>(a)];
      for (int c : halfway) all.push_back(moved[static_cast<size_t>(c)] + 1);
      points = withCorners;
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    at.swap(all);
  }
  anchorsOut.Reserve(static_cast<int>(at.size()));
  for (int i : at) anchorsOut.Append(i + 1);
  return true;
}
