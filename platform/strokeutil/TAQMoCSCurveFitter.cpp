#include "TAQMoCSCurveFitter.h"

#include <algorithm>
#include <cmath>

#include "TAQUtTolerance.h"

namespace {

using Vec = TAQMoCSCurveFitter::Vec;

inline Vec Sub(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec Add(const Vec& a, const Vec& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec Scale(const Vec& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double Norm(const Vec& a) { return std::sqrt(Dot(a, a)); }
inline Vec Unit(const Vec& a) {
  const double n = Norm(a);
  return n > 0.0 ? Scale(a, 1.0 / n) : Vec{0.0, 0.0, 0.0};
}
inline bool IsZero(const Vec& a) { return a.x == 0.0 && a.y == 0.0 && a.z == 0.0; }
// Squared distance of p from the segment a-b.
inline double SegmentDistanceSq(const Vec& p, const Vec& a, const Vec& b) {
  const Vec ab = Sub(b, a);
  const double len2 = Dot(ab, ab);
  double f = len2 > 0.0 ? Dot(Sub(p, a), ab) / len2 : 0.0;
  f = f < 0.0 ? 0.0 : (f > 1.0 ? 1.0 : f);
  const Vec d = Sub(p, Add(a, Scale(ab, f)));
  return Dot(d, d);
}

// The angle, in degrees, whose cosine is c (clamped to [-1, 1]). Small angles (most turns of a stroke)
// by the series of acos near 1, which is exact to 1e-5 degrees there and cheaper.
inline double AngleDegrees(double c) {
  c = c < -1.0 ? -1.0 : (c > 1.0 ? 1.0 : c);
  if (c > 0.995) {
    const double x = 1.0 - c;
    return std::sqrt(2.0 * x) * (1.0 + x / 12.0) * (180.0 / M_PI);
  }
  return std::acos(c) * (180.0 / M_PI);
}

// Corner scale in sample spacings and in tolerances: the turn is measured over chords at least this long,
// so that pixel steps and jitter smaller than the tolerance do not read as corners.
// The factors are chosen off round numbers so that the pixel steps of a mouse (arc lengths that are
// sums of whole units) never land exactly on the scale, where a rounding error would decide.
constexpr double kScaleSpacings = 2.25;
constexpr double kScaleTolerances = 4.25;
// Points far apart (thinned ones, each kept because the stroke turns there) need no averaging: past
// this many tolerances the spacing no longer widens the scale, so that a corner between two long
// thinned chords is measured at the corner and not across its neighbours.
constexpr double kMaxScaleTolerances = 8.5;
// A corner turns by more than the corner angle times kCornerMargin over the corner scale, and over
// kWideScales scales by less than kConcentration times that: its turn is concentrated, where a smooth
// curve tight enough to turn as much keeps turning (a circle turns about four times as much over four
// times the arc). The margin keeps turns of exactly 45 degrees (pixel diagonals) off the threshold.
constexpr double kCornerMargin = 1.1;
constexpr double kWideScales = 4.0;
constexpr double kConcentration = 1.5;
// A point that turns by no more than this (degrees) over the corner scale is no corner for any corner
// angle of 9 degrees or more, and its turn is not measured at the wider scales.
constexpr double kQuietTurn = 10.0;
// Turns closer than this (degrees) are equal, and so are arc lengths closer than this many corner
// scales: the difference is rounding.
constexpr double kTurnTie = 1e-6;
// Weight of the fairness term (second differences of the poles) relative to the data per pole. Small:
// it only settles poles that the data leave free and damps wiggles the points do not ask for.
constexpr double kFairness = 1e-2;
// Points whose mean gap is more than kSparseFrom tolerances (thinned ones: a pen samples far closer)
// stand for the drawing between them, and the curve meets them within a smaller share of the
// tolerance, down to kSparseShare from kSparseTo tolerances on. The share changes linearly between.
constexpr double kSparseFrom = 8.0;
constexpr double kSparseTo = 12.0;
constexpr double kSparseShare = 0.6;
// Weight, against one drawn point, of the second difference of the poles at an end whose direction is
// imposed: the curve leaves along the direction, not merely tangent to it, and turns later.
constexpr double kStraightEnd = 10.0;
// Least reach of the pole next to an end with a direction, as a share of the end span: imposed, and
// read off a drawn corner.
constexpr double kImposedReach = 1.0 / 3.0;
constexpr double kCornerReach = 0.05;
constexpr int kMaxRefinements = 60;
constexpr int kStartPoints = 20;
constexpr double kStartTurn = 90.0;
// Square root of the weight of a point the curve passes through, relative to an ordinary point (weight
// 1e4); the pass is then made exact by moving the poles around it.
constexpr double kRootPinWeight = 1e2;
constexpr double kPinTolerance = 1e-5;
// Farthest the curve may stray from the chord between two neighbouring points: this many tolerances,
// or this share of the chord when that is more (a smooth curve bends away from a long chord).
constexpr double kLoopTolerances = 2.0;
constexpr double kLoopShare = 0.25;
// Weight of a point added along a long chord, relative to a drawn point.
constexpr double kAddedWeight = 0.05;
// Longest chord between two points the fit sees, in tolerances; longer ones get points along them, at
// most kChordBudget per drawn point or kChordPoints in all, whichever is more.
constexpr double kChordTolerances = 4.3;
constexpr double kChordBudget = 4.0;
constexpr int kChordPoints = 256;
// The tolerance never falls below this fraction of the points' extent.
constexpr double kRelativeTolerance = 1e-4;
// Far-apart points (see kSparseFrom) were thinned from a drawing at some tolerance, which their
// vertices show: each turns away from the chord of its neighbours by about that much. The fit widens
// its tolerance to the median of those distances, weighed in with the sparseness and with the count
// of vertices (none up to kVerticesFrom, all from kVerticesFrom + kVerticesSpan): a handful of
// vertices shows more of the shape's turn than of the thinning.
constexpr double kVerticesFrom = 4.0;
constexpr double kVerticesSpan = 8.0;
// Share of the mean gap within which the curve keeps near the chords between a handful of far-apart
// points (weighed in as the count weight above falls).
constexpr double kFewVerticesChordShare = 0.05;

// Span k of the clamped cubic knot vector U (poles n) holding u: U[k] <= u < U[k + 1], 3 <= k <= n - 1.
inline int FindSpan(const double* U, int n, double u, int hint) {
  int k = hint < 3 ? 3 : (hint > n - 1 ? n - 1 : hint);
  while (k < n - 1 && u >= U[k + 1]) ++k;
  while (k > 3 && u < U[k]) --k;
  return k;
}

// Cubic basis functions of span k at u.
inline void Basis(const double* U, int k, double u, double N[4]) {
  double left[4], right[4];
  N[0] = 1.0;
  for (int j = 1; j <= 3; ++j) {
    left[j] = u - U[k + 1 - j];
    right[j] = U[k + j] - u;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      const double tmp = N[r] / (right[r + 1] + left[j - r]);
      N[r] = saved + right[r + 1] * tmp;
      saved = left[j - r] * tmp;
    }
    N[j] = saved;
  }
}

// Cubic basis functions of span k at u with their first and second derivatives: D[d][j]. The
// derivatives follow from the basis functions of degree 1 and 2 on the span, which the same triangle of
// the Cox-de Boor recursion yields on the way to degree 3.
void BasisDerivatives(const double* U, int k, double u, double D[3][4]) {
  const double l1 = u - U[k], l2 = u - U[k - 1], l3 = u - U[k - 2];
  const double r1 = U[k + 1] - u, r2 = U[k + 2] - u, r3 = U[k + 3] - u;
  // Degree 1: N1 = {N(k-1), N(k)}; degree 2: N2 = {N(k-2), N(k-1), N(k)}.
  const double a1 = 1.0 / (r1 + l1);  // U[k + 1] - U[k]
  const double N1[2] = {r1 * a1, l1 * a1};
  const double b0 = 1.0 / (r1 + l2), b1 = 1.0 / (r2 + l1);
  // Degree-1 functions over the support lengths of the degree-2 ones.
  const double t0 = N1[0] * b0, t1 = N1[1] * b1;
  const double N2[3] = {r1 * t0, l2 * t0 + r2 * t1, l1 * t1};
  // Degree 3, through the reciprocal support lengths of the degree-2 functions.
  const double c0 = 1.0 / (r1 + l3), c1 = 1.0 / (r2 + l2), c2 = 1.0 / (r3 + l1);
  const double m0 = N2[0] * c0, m1 = N2[1] * c1, m2 = N2[2] * c2;
  D[0][0] = r1 * m0;
  D[0][1] = l3 * m0 + r2 * m1;
  D[0][2] = l2 * m1 + r3 * m2;
  D[0][3] = l1 * m2;
  // N'(i,3) = 3 (N(i,2) / (U[i+3] - U[i]) - N(i+1,2) / (U[i+4] - U[i+1])).
  D[1][0] = -3.0 * m0;
  D[1][1] = 3.0 * (m0 - m1);
  D[1][2] = 3.0 * (m1 - m2);
  D[1][3] = 3.0 * m2;
  // N'(i,2) = 2 (N(i,1) / (U[i+2] - U[i]) - N(i+1,1) / (U[i+3] - U[i+1])), then as above.
  const double d0 = -2.0 * t0 * c0, d1 = 2.0 * (t0 - t1) * c1, d2 = 2.0 * t1 * c2;
  D[2][0] = -3.0 * d0;
  D[2][1] = 3.0 * (d0 - d1);
  D[2][2] = 3.0 * (d1 - d2);
  D[2][3] = 3.0 * d2;
}

// In-place Cholesky of a symmetric positive definite band matrix (n rows, half-bandwidth w; row i holds
// A(i, i - d) at band[i * (w + 1) + d]), then the solution of A x = b for nrhs right-hand sides stored
// row-major in rhs (n x nrhs). False when the matrix is not positive definite.
bool SolveBand(std::vector<double>& band, std::vector<double>& rhs, int n, int w, int nrhs) {
  const int stride = w + 1;
  double* L = band.data();
  for (int i = 0; i < n; ++i) {
    const int j0 = i - w < 0 ? 0 : i - w;
    for (int j = j0; j <= i; ++j) {
      double sum = L[i * stride + (i - j)];
      const int k0 = (j - w > j0) ? j - w : j0;
      for (int k = k0; k < j; ++k) sum -= L[i * stride + (i - k)] * L[j * stride + (j - k)];
      if (j == i) {
        if (!(sum > 0.0)) return false;
        L[i * stride] = std::sqrt(sum);
      } else {
        L[i * stride + (i - j)] = sum / L[j * stride];
      }
    }
  }
  double* x = rhs.data();
  for (int i = 0; i < n; ++i) {  // L y = b
    const int k0 = i - w < 0 ? 0 : i - w;
    for (int c = 0; c < nrhs; ++c) {
      double sum = x[i * nrhs + c];
      for (int k = k0; k < i; ++k) sum -= L[i * stride + (i - k)] * x[k * nrhs + c];
      x[i * nrhs + c] = sum / L[i * stride];
    }
  }
  for (int i = n - 1; i >= 0; --i) {  // L^T x = y
    const int k1 = i + w > n - 1 ? n - 1 : i + w;
    for (int c = 0; c < nrhs; ++c) {
      double sum = x[i * nrhs + c];
      for (int k = i + 1; k <= k1; ++k) sum -= L[k * stride + (k - i)] * x[k * nrhs + c];
      x[i * nrhs + c] = sum / L[i * stride];
    }
  }
  return true;
}

}  // namespace

// ---- Input ----

bool TAQMoCSCurveFitter::SetPoints(const VORListValVORMathPoint& points, double tolerance) {
  mPoints.clear();
  mCleanOf.clear();
  mArc.clear();
  mFilledOf.clear();
  mAdded.clear();
  mDrawnErrScale = 1.0;
  mAddedErrScale = 1.0;
  mTolerance = tolerance > 0.0 && std::isfinite(tolerance) ? tolerance : 0.5;
  const int n = points.Size();
  const VORMathPoint* p = points.Data();
  for (int i = 0; i < n; ++i)
    if (!p[i].IsFinite()) return false;
  const double tolSq = TAQUtTolerance().LengthTolSq();
  mPoints.reserve(static_cast<size_t>(n));
  mCleanOf.reserve(static_cast<size_t>(n));
  mArc.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const Vec v{p[i].GetX(), p[i].GetY(), p[i].GetZ()};
    if (!mPoints.empty()) {
      const Vec d = Sub(v, mPoints.back());
      const double d2 = Dot(d, d);
      if (d2 <= tolSq) {
        mCleanOf.push_back(static_cast<int>(mPoints.size()) - 1);
        continue;
      }
      mArc.push_back(mArc.back() + std::sqrt(d2));
    } else {
      mArc.push_back(0.0);
    }
    mCleanOf.push_back(static_cast<int>(mPoints.size()));
    mPoints.push_back(v);
  }
  if (!mPoints.empty()) {
    Vec lo = mPoints.front(), hi = lo;
    for (const Vec& q : mPoints) {
      lo = {std::min(lo.x, q.x), std::min(lo.y, q.y), std::min(lo.z, q.z)};
      hi = {std::max(hi.x, q.x), std::max(hi.y, q.y), std::max(hi.z, q.z)};
    }
    const double floor = kRelativeTolerance * Norm(Sub(hi, lo));
    if (std::isfinite(floor) && floor > mTolerance) mTolerance = floor;
  }
  ComputeTurns();
  return true;
}

int TAQMoCSCurveFitter::CleanIndex(int position) const {
  if (mCleanOf.empty()) return 0;
  const int i = position < 1 ? 0 : (position > static_cast<int>(mCleanOf.size()) ? static_cast<int>(mCleanOf.size()) - 1 : position - 1);
  return mCleanOf[static_cast<size_t>(i)];
}

void TAQMoCSCurveFitter::FillLongChords() {
  const int n = GetPointCount();
  mFilledOf.resize(static_cast<size_t>(n));
  // Points that lie far apart (thinned ones) stand for the drawing between them, and the curve meets
  // them within a smaller share of the tolerance: the deviation of a drawn point counts 1 / share times,
  // with the share from the mean gap between neighbouring points; an added point's counts once.
  const double meanGap = n > 1 ? (mArc.back() - mArc.front()) / (n - 1) : 0.0;
  const double r = std::min((meanGap / mTolerance - kSparseFrom) / (kSparseTo - kSparseFrom), 1.0);
  const bool sparse = r > 0.0 && std::isfinite(r);
  mDrawnErrScale = sparse ? 1.0 / (1.0 + (kSparseShare - 1.0) * r) : 1.0;
  // The tolerance they were thinned at, from how far each vertex turns away from its neighbours' chord:
  // a drawing thinned ten times coarser (drawn ten times larger) is fitted ten times coarser, and its
  // curve is the same but for the size.
  if (sparse && n > 2) {
    std::vector<double> off(static_cast<size_t>(n - 2));
    for (int i = 1; i + 1 < n; ++i)
      off[static_cast<size_t>(i - 1)] = SegmentDistanceSq(mPoints[static_cast<size_t>(i)], mPoints[static_cast<size_t>(i - 1)],
                                                          mPoints[static_cast<size_t>(i + 1)]);
    const auto mid = off.begin() + static_cast<std::ptrdiff_t>((off.size() - 1) / 2);
    std::nth_element(off.begin(), mid, off.end());
    const double count =
        std::min(1.0, std::max(0.0, (static_cast<double>(n - 2) - kVerticesFrom) / kVerticesSpan));
    const double thinned = r * count * std::sqrt(*mid);
    // A handful of them tells nothing of the thinning: there the curve only keeps near their chords,
    // within a share of the mean gap where that is more than the tolerance.
    const double allow = r * (1.0 - count) * kFewVerticesChordShare * meanGap;
    mAddedErrScale = allow > mTolerance && std::isfinite(allow) ? mTolerance / allow : 1.0;
    if (thinned > mTolerance && std::isfinite(thinned)) mTolerance = thinned;
  }
  // At most kChordBudget added points per drawn point (and kChordPoints at least): a stroke of huge
  // extent gets its chords filled more coarsely rather than a flood of points.
  double maxGap = kChordTolerances * mTolerance;
  double wanted = 0.0;
  for (int i = 1; i < n; ++i) {
    const double gap = mArc[static_cast<size_t>(i)] - mArc[static_cast<size_t>(i - 1)];
    if (gap > maxGap && std::isfinite(gap)) wanted += std::ceil(gap / maxGap) - 1.0;
  }
  const double budget = std::max(static_cast<double>(kChordPoints), kChordBudget * n);
  if (wanted > budget) maxGap *= wanted / budget;
  std::vector<Vec> points;
  std::vector<double> arc;
  std::vector<char> added;
  points.reserve(static_cast<size_t>(n));
  arc.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    if (i > 0) {
      const Vec& from = mPoints[static_cast<size_t>(i - 1)];
      const double a0 = mArc[static_cast<size_t>(i - 1)];
      const double gap = mArc[static_cast<size_t>(i)] - a0;
      if (gap > maxGap && std::isfinite(gap)) {
        const Vec d = Sub(mPoints[static_cast<size_t>(i)], from);
        const int pieces = static_cast<int>(std::min(std::ceil(gap / maxGap), budget));
        for (int k = 1; k < pieces; ++k) {
          const double f = static_cast<double>(k) / pieces;
          points.push_back(Add(from, Scale(d, f)));
          arc.push_back(a0 + gap * f);
          added.push_back(1);
        }
      }
    }
    mFilledOf[static_cast<size_t>(i)] = static_cast<int>(points.size());
    points.push_back(mPoints[static_cast<size_t>(i)]);
    added.push_back(0);
    arc.push_back(mArc[static_cast<size_t>(i)]);
  }
  if (static_cast<int>(points.size()) == n) return;
  for (int& c : mCleanOf) c = mFilledOf[static_cast<size_t>(c)];
  mPoints.swap(points);
  mArc.swap(arc);
  mAdded.swap(added);
  ComputeTurns(false);
}

int TAQMoCSCurveFitter::FilledIndex(int i) const {
  if (mFilledOf.empty() || i < 0 || i >= static_cast<int>(mFilledOf.size())) return i;
  return mFilledOf[static_cast<size_t>(i)];
}

// ---- Corners ----

inline TAQMoCSCurveFitter::Vec TAQMoCSCurveFitter::AtArc(double s, int& k) const {
  const int n = GetPointCount();
  if (s <= 0.0 || n < 2) return mPoints.front();
  if (s >= mArc.back()) return mPoints.back();
  k = k < 0 ? 0 : (k > n - 2 ? n - 2 : k);
  while (k < n - 2 && mArc[static_cast<size_t>(k) + 1] <= s) ++k;
  while (k > 0 && mArc[static_cast<size_t>(k)] > s) --k;
  const double a = mArc[static_cast<size_t>(k)], b = mArc[static_cast<size_t>(k) + 1];
  const double f = b > a ? (s - a) / (b - a) : 0.0;
  const Vec& p = mPoints[static_cast<size_t>(k)];
  return Add(p, Scale(Sub(mPoints[static_cast<size_t>(k) + 1], p), f));
}

void TAQMoCSCurveFitter::ComputeTurns(bool withTurns) {
  const int n = GetPointCount();
  mTurn.assign(static_cast<size_t>(n), 0.0);
  mWideTurn.assign(static_cast<size_t>(n), 0.0);
  if (n < 3) {
    mScale = n == 2 ? mArc[1] : 0.0;
    return;
  }
  std::vector<double> gaps(static_cast<size_t>(n - 1));
  for (int i = 0; i + 1 < n; ++i) gaps[static_cast<size_t>(i)] = mArc[static_cast<size_t>(i) + 1] - mArc[static_cast<size_t>(i)];
  std::nth_element(gaps.begin(), gaps.begin() + (n - 1) / 2, gaps.end());
  const double median = gaps[static_cast<size_t>((n - 1) / 2)];
  mScale = std::max(std::min(kScaleSpacings * median, kMaxScaleTolerances * mTolerance), kScaleTolerances * mTolerance);
  const double length = mArc.back();
  if (!(mScale > 0.0) || !std::isfinite(length)) return;
  // The turn between the chords to the points exactly r behind and ahead along the polyline (not the
  // nearest drawn points: a drawn point that moves by a rounding error moves the turn by as little).
  // Narrow: the smaller of the turns at one and two scales, so that a pixel step or jitter, which turns
  // only at the smaller one, does not count. Wide: the turn at four scales, cut at the ends.
  int hints[6] = {0, 0, 0, 0, 0, 0};
  auto turnAt = [&](int i, double r, int* hint) {
    const double s = mArc[static_cast<size_t>(i)];
    const Vec& p = mPoints[static_cast<size_t>(i)];
    const Vec u = Sub(p, AtArc(s - r, hint[0])), v = Sub(AtArc(s + r, hint[1]), p);
    const double c = Dot(u, v) / std::sqrt(Dot(u, u) * Dot(v, v));
    if (!std::isfinite(c)) return 0.0;
    // Turns near 180 degrees (a pen turning back) from the sine, since acos loses them to rounding
    // there and equal turns must stay equal wherever the stroke lies.
    if (c > -0.995) return AngleDegrees(c);
    const Vec w{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const double sine = std::sqrt(Dot(w, w) / (Dot(u, u) * Dot(v, v)));
    return (M_PI - std::asin(sine < 1.0 ? sine : 1.0)) * (180.0 / M_PI);
  };
  if (!withTurns) return;
  for (int i = 1; i + 1 < n; ++i) {
    const double s = mArc[static_cast<size_t>(i)];
    // Within a scale of an end there is no turn to measure.
    if (s < mScale || s > length - mScale) continue;
    // Most points turn little at the corner scale and can be no corner: they keep that turn, and only
    // the others are measured at the wider scales too.
    const double narrow = turnAt(i, mScale, hints);
    if (narrow <= kQuietTurn) {
      mTurn[static_cast<size_t>(i)] = narrow;
      continue;
    }
    mTurn[static_cast<size_t>(i)] = std::min(narrow, turnAt(i, 2.0 * mScale, hints + 2));
    mWideTurn[static_cast<size_t>(i)] = turnAt(i, kWideScales * mScale, hints + 4);
  }
}

double TAQMoCSCurveFitter::TurnAngle(int i) const {
  if (i < 0 || i >= GetPointCount()) return 0.0;
  return mTurn[static_cast<size_t>(i)];
}

bool TAQMoCSCurveFitter::IsCorner(int i, double cornerAngle) const {
  if (i < 0 || i >= GetPointCount()) return false;
  const double turn = mTurn[static_cast<size_t>(i)];
  return turn > kCornerMargin * cornerAngle && mWideTurn[static_cast<size_t>(i)] < kConcentration * turn;
}

TAQMoCSCurveFitter::Vec TAQMoCSCurveFitter::Tangent(int i) const {
  Vec in, out;
  SideTangents(i, in, out);
  return Unit(Add(in, out));
}

void TAQMoCSCurveFitter::SideTangents(int i, Vec& in, Vec& out) const {
  in = out = Vec{0.0, 0.0, 0.0};
  const int n = GetPointCount();
  if (i < 0 || i >= n || n < 2) return;
  const double s = mArc[static_cast<size_t>(i)];
  const Vec& p = mPoints[static_cast<size_t>(i)];
  int k = i;
  if (i > 0) in = Unit(Sub(p, AtArc(s - mScale, k)));
  if (i + 1 < n) out = Unit(Sub(AtArc(s + mScale, k), p));
}

void TAQMoCSCurveFitter::FindCorners(double cornerAngle, std::vector<int>& corners) const {
  corners.clear();
  const int n = GetPointCount();
  std::vector<int> candidates;
  int i = 0;
  while (i < n) {
    if (!IsCorner(i, cornerAngle)) {
      ++i;
      continue;
    }
    // One run of corner points: the candidate is its sharpest point. Turns equal within rounding (the
    // symmetric steps of pixels) are one plateau, and the candidate is its middle, wherever the stroke
    // lies and whichever way it runs. A run ends where the next point lies more than a scale on
    // (thinned points: each its own corner).
    const int first = i;
    double top = 0.0;
    do {
      top = std::max(top, mTurn[static_cast<size_t>(i++)]);
    } while (i < n && IsCorner(i, cornerAngle) && mArc[static_cast<size_t>(i)] - mArc[static_cast<size_t>(i - 1)] <= mScale);
    int lo = -1, hi = -1;
    for (int j = first; j < i; ++j)
      if (mTurn[static_cast<size_t>(j)] >= top - kTurnTie) {
        if (lo < 0) lo = j;
        hi = j;
      }
    candidates.push_back(Middle(lo, hi));
  }
  // Of candidates closer than a scale, the sharpest is the corner: sharpest first, each kept unless a
  // kept one is that close, so that the choice does not depend on the direction of the stroke.
  std::vector<int> order = candidates;
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return Sharper(x, y); });
  // Candidates as sharp as the kept one within a scale of it (the two ends of a pixel diagonal) are one
  // corner, at the middle of them.
  for (int c : order) {
    bool near = false;
    for (int k : corners) near = near || std::fabs(mArc[static_cast<size_t>(c)] - mArc[static_cast<size_t>(k)]) < mScale;
    if (near) continue;
    int lo = c, hi = c;
    for (int d : candidates)
      if (EquallySharp(c, d) && std::fabs(mArc[static_cast<size_t>(d)] - mArc[static_cast<size_t>(c)]) < mScale)
        lo = std::min(lo, d), hi = std::max(hi, d);
    corners.push_back(lo == hi ? c : Middle(lo, hi));
  }
  std::sort(corners.begin(), corners.end());
}

bool TAQMoCSCurveFitter::Sharper(int x, int y) const {
  const double tx = mTurn[static_cast<size_t>(x)], ty = mTurn[static_cast<size_t>(y)];
  if (tx > ty + kTurnTie) return true;
  if (ty > tx + kTurnTie) return false;
  // Equal turns over the corner scale (a pixel staircase, a pen turning back on itself): the one where
  // the drawn polyline itself turns more, a quantity that reads the same either way along the stroke.
  auto vertex = [&](int i) {
    if (i <= 0 || i + 1 >= GetPointCount()) return 1.0;
    const Vec u = Unit(Sub(mPoints[static_cast<size_t>(i)], mPoints[static_cast<size_t>(i) - 1]));
    const Vec v = Unit(Sub(mPoints[static_cast<size_t>(i) + 1], mPoints[static_cast<size_t>(i)]));
    return Dot(u, v);  // the cosine: smaller turns more
  };
  return vertex(x) < vertex(y) - kTurnTie;
}

int TAQMoCSCurveFitter::TiedNeighbour(int i, double cornerAngle) const {
  auto tied = [&](int j) {
    return j >= 0 && j < GetPointCount() && IsCorner(j, cornerAngle) && EquallySharp(i, j) &&
           std::fabs(mArc[static_cast<size_t>(j)] - mArc[static_cast<size_t>(i)]) <= mScale;
  };
  const bool before = tied(i - 1), after = tied(i + 1);
  return before == after ? -1 : (before ? i - 1 : i + 1);
}

int TAQMoCSCurveFitter::Middle(int lo, int hi) const {
  const double mid = 0.5 * (mArc[static_cast<size_t>(lo)] + mArc[static_cast<size_t>(hi)]);
  // Two points equally near the middle (an even plateau) within rounding: the sharper, else the first.
  const double tie = kTurnTie * mScale;
  int best = lo;
  for (int j = lo + 1; j <= hi; ++j) {
    const double dj = std::fabs(mArc[static_cast<size_t>(j)] - mid), db = std::fabs(mArc[static_cast<size_t>(best)] - mid);
    if (dj < db - tie || (dj <= db + tie && Sharper(j, best))) best = j;
  }
  return best;
}

// ---- Fitting ----

bool TAQMoCSCurveFitter::Fit(const std::vector<Break>& breaks, const std::vector<int>& through) {
  mPoles.clear();
  mKnots.clear();
  mMults.clear();
  mMaxError = 0.0;
  const int n = GetPointCount();
  if (n < 2 || breaks.size() < 2 || breaks.front().index != 0 || breaks.back().index != n - 1) return false;
  for (size_t k = 0; k + 1 < breaks.size(); ++k) {
    const int a = breaks[k].index, b = breaks[k + 1].index;
    if (b <= a) return false;
    mThrough.clear();
    for (int t : through)
      if (t > a && t < b) mThrough.push_back(t);
    const Vec& t0 = breaks[k].out;
    const Vec& t1 = breaks[k + 1].in;
    // Directions read off the drawn corners give way where the points do not follow them; imposed ones
    // are followed straight from the end.
    mStraight[0] = !breaks[k].soft;
    mStraight[1] = !breaks[k + 1].soft;
    if (FitPiece(a, b, t0, t1) > mTolerance && (breaks[k].soft || breaks[k + 1].soft)) {
      const Vec zero{0.0, 0.0, 0.0};
      FitPiece(a, b, breaks[k].soft ? zero : t0, breaks[k + 1].soft ? zero : t1);
    }
    AppendPiece(a, b);
  }
  mMults.front() = 4;
  mMults.back() = 4;
  return true;
}

void TAQMoCSCurveFitter::FitLine(int a, int b, const Vec& t0, const Vec& t1) {
  const Vec& p0 = mPoints[static_cast<size_t>(a)];
  const Vec& p1 = mPoints[static_cast<size_t>(b)];
  const Vec chord = Sub(p1, p0);
  const double len = Norm(chord);
  const Vec d0 = IsZero(t0) ? Scale(chord, 1.0 / 3.0) : Scale(t0, len / 3.0);
  const Vec d1 = IsZero(t1) ? Scale(chord, 1.0 / 3.0) : Scale(t1, len / 3.0);
  mLocal.assign({0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 1.0});
  mLocalPoles.assign({p0, Add(p0, d0), Sub(p1, d1), p1});
  const int m = b - a + 1;
  mU.assign(static_cast<size_t>(m), 0.0);
  mU.back() = 1.0;
  mErr.assign(static_cast<size_t>(m), 0.0);
}

double TAQMoCSCurveFitter::FitPiece(int a, int b, const Vec& t0, const Vec& t1) {
  const int m = b - a + 1;
  if (m == 2) {
    FitLine(a, b, t0, t1);
    return 0.0;
  }
  const double s0 = mArc[static_cast<size_t>(a)], len = mArc[static_cast<size_t>(b)] - s0;
  const Vec* P = mPoints.data() + a;
  mU.resize(static_cast<size_t>(m));
  mErr.resize(static_cast<size_t>(m));
  mPinned.assign(static_cast<size_t>(m), 0);
  for (int t : mThrough) mPinned[static_cast<size_t>(t - a)] = 1;
  mRootWeight.assign(static_cast<size_t>(m), 1.0);
  if (!mAdded.empty())
    for (int i = 0; i < m; ++i)
      if (mAdded[static_cast<size_t>(a + i)]) mRootWeight[static_cast<size_t>(i)] = std::sqrt(kAddedWeight);
  for (int i = 0; i < m; ++i) mU[static_cast<size_t>(i)] = (mArc[static_cast<size_t>(a + i)] - s0) / len;
  mU.back() = 1.0;
  // Long pieces that turn a lot start with a span per kStartTurn degrees of drawn turn (at most one per
  // kStartPoints points): no fit within the tolerance needs fewer, and the refinement then takes fewer
  // rounds. A straight run starts, and may stay, with one span.
  // The turn is summed between chords a corner scale long, evenly spaced from end to end, so that it
  // is the same read either way along the piece. It is summed only as far as it can raise the count.
  double turn = 0.0;
  const int steps = mScale > 0.0 && std::isfinite(len / mScale) ? static_cast<int>(std::min(len / mScale, 1e6)) : 0;
  const double enough = kStartTurn * (m / kStartPoints);
  if (steps >= 2 && m / kStartPoints > 1) {
    int k = a;
    Vec prev = AtArc(s0, k), dir{0.0, 0.0, 0.0};
    for (int j = 1; j <= steps && turn < enough; ++j) {
      const Vec q = AtArc(s0 + len * j / steps, k);
      const Vec d = Sub(q, prev);
      if (j > 1) {
        const double c = Dot(dir, d) / std::sqrt(Dot(dir, dir) * Dot(d, d));
        // Coincident points, or lengths that overflow on huge coordinates, give no turn.
        if (std::isfinite(c)) turn += AngleDegrees(c);
      }
      dir = d;
      prev = q;
    }
  }
  mLocal.assign({0.0, 0.0, 0.0, 0.0});
  const int startSpans = std::max(1, std::min(m / kStartPoints, static_cast<int>(turn / kStartTurn)));
  for (int k = 1; k < startSpans; ++k) mLocal.push_back(static_cast<double>(k) / startSpans);
  mLocal.insert(mLocal.end(), {1.0, 1.0, 1.0, 1.0});
  std::vector<double>& spanErr = mSpanErr;
  std::vector<double>& next = mNext;
  const double tol = mTolerance;
  double maxErr = 0.0;
  for (int iteration = 0; iteration < kMaxRefinements; ++iteration) {
    if (!SolvePoles(a, b, t0, t1)) {
      FitLine(a, b, t0, t1);
      return Reparameterise(a, b, false);
    }
    maxErr = Reparameterise(a, b, true);
    // A point the curve passes through must be met to well within the length tolerance.
    bool pinsMet = true;
    for (int i = 1; i + 1 < m; ++i)
      if (mPinned[static_cast<size_t>(i)] && mErr[static_cast<size_t>(i)] > kPinTolerance) {
        pinsMet = false;
        mErr[static_cast<size_t>(i)] = 2.0 * tol;
      }
    const int poles = static_cast<int>(mLocal.size()) - 4;
    const double* U = mLocal.data();
    spanErr.assign(static_cast<size_t>(poles), 0.0);
    // Between two neighbouring points the curve stays near their chord: a curve that meets every point
    // may still loop out between two close ones (a pen that turns on the spot), and the span there
    // needs freedom as much as one that misses a point. Checked only on a curve that meets the points,
    // since one that does not is refined anyway.
    // A span whose second derivative is too small to bend the curve that far between two points it
    // meets within the tolerance is not evaluated: the curve strays from the chord of points du apart
    // by at most the tolerance plus du^2 / 8 times the largest second derivative on the span (bend).
    bool loops = false;
    int hint = 3;
    if (maxErr <= tol && pinsMet) Bends();
    for (int i = 0, lo = 3, hi = FindSpan(U, poles, mU.front(), 3); maxErr <= tol && pinsMet && i + 1 < m; ++i) {
      const double du = mU[static_cast<size_t>(i) + 1] - mU[static_cast<size_t>(i)];
      lo = hi;
      hi = FindSpan(U, poles, mU[static_cast<size_t>(i) + 1], hi);
      double bend = 0.0;
      for (int k = lo; k <= hi; ++k) bend = std::max(bend, mBend[static_cast<size_t>(k)]);
      // Next to a point added along a chord, the curve may stray as far as from that point.
      const bool nextToAdded = mAddedErrScale < 1.0 && !mAdded.empty() &&
                               (mAdded[static_cast<size_t>(a + i)] || mAdded[static_cast<size_t>(a + i + 1)]);
      const double ltol = nextToAdded ? tol / mAddedErrScale : tol;
      const double stray = tol + 0.125 * du * du * bend;
      const Vec chord = Sub(P[i + 1], P[i]);
      if (stray <= kLoopTolerances * ltol || stray * stray <= kLoopShare * kLoopShare * Dot(chord, chord)) continue;
      const double allowed = std::max(kLoopTolerances * ltol, kLoopShare * Norm(chord));
      const double u = 0.5 * (mU[static_cast<size_t>(i)] + mU[static_cast<size_t>(i) + 1]);
      hint = FindSpan(U, poles, u, hint);
      double N[4];
      Basis(U, hint, u, N);
      Vec c{0.0, 0.0, 0.0};
      for (int r = 0; r < 4; ++r) c = Add(c, Scale(mLocalPoles[static_cast<size_t>(hint - 3 + r)], N[r]));
      // A span already shorter than the tolerance gains nothing from halving.
      if ((U[hint + 1] - U[hint]) * len > tol && SegmentDistanceSq(c, P[i], P[i + 1]) > allowed * allowed) {
        spanErr[static_cast<size_t>(hint)] = 2.0 * tol;
        loops = true;
      }
    }
    if (maxErr <= tol && pinsMet && !loops) return maxErr;
    // Refine: halve every span holding a point beyond the tolerance.
    if (poles >= 4 * m + 3) return maxErr;
    hint = 3;
    // mErr was measured at the parameters before the Newton step; the spans of those are close enough
    // to tell where the curve needs freedom.
    for (int i = 0; i < m; ++i) {
      hint = FindSpan(U, poles, mU[static_cast<size_t>(i)], hint);
      spanErr[static_cast<size_t>(hint)] = std::max(spanErr[static_cast<size_t>(hint)], mErr[static_cast<size_t>(i)]);
    }
    // A point beyond the tolerance may have slid along the curve to where it cannot be met (a pen
    // that turns back): it starts again from its chord-length parameter.
    // A light point the curve leaves behind weighs more in the next round.
    for (int i = 1; i + 1 < m; ++i)
      if (mErr[static_cast<size_t>(i)] > tol && !mPinned[static_cast<size_t>(i)]) {
        mU[static_cast<size_t>(i)] = (mArc[static_cast<size_t>(a + i)] - s0) / len;
        mRootWeight[static_cast<size_t>(i)] = std::min(1.0, 2.0 * mRootWeight[static_cast<size_t>(i)]);
      }
    next.clear();
    next.insert(next.end(), U, U + 4);
    bool refined = false;
    for (int k = 3; k < poles; ++k) {
      if (spanErr[static_cast<size_t>(k)] > tol && U[k + 1] - U[k] > 1e-9) {
        next.push_back(0.5 * (U[k] + U[k + 1]));
        refined = true;
      }
      if (k + 1 < poles) next.push_back(U[k + 1]);
    }
    next.insert(next.end(), {1.0, 1.0, 1.0, 1.0});
    // The last round keeps the knots its poles were solved for.
    if (!refined || iteration + 1 == kMaxRefinements) return maxErr;
    mLocal.swap(next);
  }
  return maxErr;
}

void TAQMoCSCurveFitter::Bends() {
  const int poles = static_cast<int>(mLocal.size()) - 4;
  const double* U = mLocal.data();
  const Vec* Q = mLocalPoles.data();
  mBend.assign(static_cast<size_t>(poles), 0.0);
  // Poles of the first derivative (D) and of the second (E), a spline of degree 1: on span k the
  // second derivative lies between E[k - 3] and E[k - 2].
  Vec prevD{0.0, 0.0, 0.0};
  double prevE = 0.0;
  for (int j = 0; j + 1 < poles; ++j) {
    const Vec d = Scale(Sub(Q[j + 1], Q[j]), 3.0 / (U[j + 4] - U[j + 1]));
    if (j > 0) {
      const double e = 2.0 * Norm(Sub(d, prevD)) / (U[j + 3] - U[j + 1]);
      if (j > 1) mBend[static_cast<size_t>(j + 1)] = std::max(prevE, e);
      prevE = e;
    }
    prevD = d;
  }
}

bool TAQMoCSCurveFitter::SolvePoles(int a, int b, const Vec& t0, const Vec& t1) {
  const int m = b - a + 1;
  const int poles = static_cast<int>(mLocal.size()) - 4;
  const int K = poles - 2;  // unknown poles 1 .. poles - 2
  const double* U = mLocal.data();
  const Vec* P = mPoints.data() + a;
  const Vec q0 = P[0], q1 = P[m - 1];
  // Scalar normal equations G (band 3) with three right-hand sides.
  std::vector<double>& G = mG;
  std::vector<double>& R = mR;
  G.assign(static_cast<size_t>(K) * 4, 0.0);
  R.assign(static_cast<size_t>(K) * 3, 0.0);
  auto addG = [&](int i, int j, double v) {  // unknown indices, i >= j
    G[static_cast<size_t>(i) * 4 + static_cast<size_t>(i - j)] += v;
  };
  auto addR = [&](int i, const Vec& v, double s) {
    R[static_cast<size_t>(i) * 3] += v.x * s;
    R[static_cast<size_t>(i) * 3 + 1] += v.y * s;
    R[static_cast<size_t>(i) * 3 + 2] += v.z * s;
  };
  int hint = 3;
  for (int i = 0; i < m; ++i) {
    const double u = mU[static_cast<size_t>(i)];
    hint = FindSpan(U, poles, u, hint);
    double N[4];
    Basis(U, hint, u, N);
    // A pinned point weighs much more than a drawn one, a point added along a chord much less: it only
    // keeps the curve from bulging between far-apart points, and the curve need not hug the chord.
    const double root = mPinned[static_cast<size_t>(i)] ? kRootPinWeight : mRootWeight[static_cast<size_t>(i)];
    for (double& v : N) v *= root;
    // Data minus the fixed end poles' share.
    Vec rhs = Scale(P[i], root);
    const int first = hint - 3;
    for (int r = 0; r < 4; ++r) {
      const int pole = first + r;
      if (pole == 0) rhs = Sub(rhs, Scale(q0, N[r]));
      if (pole == poles - 1) rhs = Sub(rhs, Scale(q1, N[r]));
    }
    for (int r = 0; r < 4; ++r) {
      const int ui = first + r - 1;
      if (ui < 0 || ui >= K) continue;
      addR(ui, rhs, N[r]);
      for (int c = 0; c <= r; ++c) {
        const int uj = first + c - 1;
        if (uj < 0) continue;
        addG(ui, uj, N[r] * N[c]);
      }
    }
  }
  // Fairness: lambda * |second difference at pole p|^2 for every unknown pole p, the difference of the
  // slopes (Q(p+1) - Q(p)) / h2 and (Q(p) - Q(p-1)) / h1 over the spacings of the poles' parameters
  // (Greville abscissae), times their mean spacing: Q(p-1) - 2 Q(p) + Q(p+1) on even knots. A plain
  // second difference on uneven knots (spans halved where the points asked for it) pulls the poles of a
  // short span as far apart as those of a long one, and the curve there runs ahead and back: a fold.
  const double lambda = kFairness * static_cast<double>(m) / static_cast<double>(poles);
  const bool lockA = !IsZero(t0), lockB = !IsZero(t1);
  for (int p = 1; p <= poles - 2; ++p) {
    const bool straight = (p == 1 && lockA && mStraight[0]) || (p == poles - 2 && lockB && mStraight[1]);
    const double w = straight ? std::max(lambda, kStraightEnd) : lambda;
    const int idx[3] = {p - 1, p, p + 1};
    const double g0 = (U[p] + U[p + 1] + U[p + 2]) / 3.0, g1 = (U[p + 1] + U[p + 2] + U[p + 3]) / 3.0,
                 g2 = (U[p + 2] + U[p + 3] + U[p + 4]) / 3.0;
    const double h1 = g1 - g0, h2 = g2 - g1, hm = 0.5 * (h1 + h2);
    const bool coincident = !(h1 > 0.0 && h2 > 0.0);
    const double cf[3] = {coincident ? 1.0 : hm / h1, coincident ? -2.0 : -(hm / h1 + hm / h2),
                          coincident ? 1.0 : hm / h2};
    for (int r = 0; r < 3; ++r) {
      const int ui = idx[r] - 1;
      if (ui < 0 || ui >= K) continue;
      for (int c = 0; c < 3; ++c) {
        const int uj = idx[c] - 1;
        if (idx[c] == 0) addR(ui, q0, -w * cf[r] * cf[c]);
        else if (idx[c] == poles - 1) addR(ui, q1, -w * cf[r] * cf[c]);
        else if (uj <= ui) addG(ui, uj, w * cf[r] * cf[c]);
      }
    }
  }
  mLocalPoles.resize(static_cast<size_t>(poles));
  mLocalPoles.front() = q0;
  mLocalPoles.back() = q1;
  // An imposed direction turns the pole next to an end into that end plus a reach along the direction.
  // The other unknown poles F = [f0, f1] keep the scalar band; the reaches follow from a 2 x 2 system:
  //   G_FF X_F = R_F - c0 (Q0 + a t0) - cE (Qe - b t1),  and the normal equations of a and b.
  const int f0 = lockA ? 1 : 0, f1 = lockB ? K - 2 : K - 1;
  const int nf = f1 - f0 + 1;
  auto g = [&](int i, int j) {  // G(i, j), symmetric band
    if (i < j) std::swap(i, j);
    return i - j <= 3 ? G[static_cast<size_t>(i) * 4 + static_cast<size_t>(i - j)] : 0.0;
  };
  const int eK = K - 1;
  constexpr int kCols = 5;  // three coordinates, then the responses to a and to b
  mBand.assign(static_cast<size_t>(std::max(nf, 0)) * 4, 0.0);
  mRhs.assign(static_cast<size_t>(std::max(nf, 0)) * kCols, 0.0);
  for (int i = 0; i < nf; ++i) {
    const int gi = f0 + i;
    for (int d = 0; d <= 3 && d <= i; ++d) mBand[static_cast<size_t>(i) * 4 + static_cast<size_t>(d)] = g(gi, gi - d);
    double* row = &mRhs[static_cast<size_t>(i) * kCols];
    Vec r{R[static_cast<size_t>(gi) * 3], R[static_cast<size_t>(gi) * 3 + 1], R[static_cast<size_t>(gi) * 3 + 2]};
    if (lockA) {
      r = Sub(r, Scale(q0, g(gi, 0)));
      row[3] = g(gi, 0);
    }
    if (lockB) {
      r = Sub(r, Scale(q1, g(gi, eK)));
      row[4] = g(gi, eK);
    }
    row[0] = r.x;
    row[1] = r.y;
    row[2] = r.z;
  }
  if (nf > 0 && !SolveBand(mBand, mRhs, nf, 3, kCols)) return false;
  // X_F = Y - z0 (a t0) + zE (b t1).
  double reachA = 0.0, reachB = 0.0;
  if (lockA || lockB) {
    Vec cY0{0, 0, 0}, cYE{0, 0, 0};
    double c0z0 = 0.0, c0zE = 0.0, cEz0 = 0.0, cEzE = 0.0;
    for (int i = 0; i < nf; ++i) {
      const int gi = f0 + i;
      const double* row = &mRhs[static_cast<size_t>(i) * kCols];
      const Vec y{row[0], row[1], row[2]};
      const double c0 = lockA ? g(gi, 0) : 0.0, cE = lockB ? g(gi, eK) : 0.0;
      cY0 = Add(cY0, Scale(y, c0));
      cYE = Add(cYE, Scale(y, cE));
      c0z0 += c0 * row[3];
      c0zE += c0 * row[4];
      cEz0 += cE * row[3];
      cEzE += cE * row[4];
    }
    const Vec R0{R[0], R[1], R[2]};
    const Vec RE{R[static_cast<size_t>(eK) * 3], R[static_cast<size_t>(eK) * 3 + 1], R[static_cast<size_t>(eK) * 3 + 2]};
    const double tt = Dot(t0, t1);
    // a * A11 + b * A12 = B1 (start), a * A21 + b * A22 = B2 (end).
    double A11 = 1.0, A12 = 0.0, B1 = 0.0, A21 = 0.0, A22 = 1.0, B2 = 0.0;
    if (lockA) {
      A11 = g(0, 0) - c0z0;
      A12 = lockB ? (c0zE - g(0, eK)) * tt : 0.0;
      Vec v = Add(cY0, Scale(q0, g(0, 0)));
      if (lockB) v = Add(v, Scale(q1, g(0, eK)));
      B1 = -Dot(t0, Sub(v, R0));
    }
    if (lockB) {
      A22 = cEzE - g(eK, eK);
      A21 = lockA ? (g(eK, 0) - cEz0) * tt : 0.0;
      Vec v = Add(cYE, Scale(q1, g(eK, eK)));
      if (lockA) v = Add(v, Scale(q0, g(eK, 0)));
      B2 = -Dot(t1, Sub(v, RE));
    }
    const double det = A11 * A22 - A12 * A21;
    if (std::fabs(det) > 0.0 && std::isfinite(det)) {
      reachA = lockA ? (B1 * A22 - A12 * B2) / det : 0.0;
      reachB = lockB ? (A11 * B2 - A21 * B1) / det : 0.0;
    }
    // A reach long enough to read as a direction, pointing along it: for an imposed direction a third of
    // the end span (the reach of a cubic running at unit speed), so that the curve follows it; for one
    // read off a drawn corner a twentieth, so that the curve may turn as soon as the points do.
    const double len = mArc[static_cast<size_t>(b)] - mArc[static_cast<size_t>(a)];
    reachA = std::max(reachA, (mStraight[0] ? kImposedReach : kCornerReach) * len * (U[4] - U[3]));
    reachB = std::max(reachB, (mStraight[1] ? kImposedReach : kCornerReach) * len * (U[poles] - U[poles - 1]));
    if (!std::isfinite(reachA) || !std::isfinite(reachB)) return false;
  }
  if (lockA) mLocalPoles[1] = Add(q0, Scale(t0, reachA));
  if (lockB) mLocalPoles[static_cast<size_t>(poles) - 2] = Sub(q1, Scale(t1, reachB));
  for (int i = 0; i < nf; ++i) {
    const double* row = &mRhs[static_cast<size_t>(i) * kCols];
    Vec x{row[0], row[1], row[2]};
    if (lockA) x = Sub(x, Scale(t0, row[3] * reachA));
    if (lockB) x = Add(x, Scale(t1, row[4] * reachB));
    mLocalPoles[static_cast<size_t>(f0 + i) + 1] = x;
  }
  PinPoints(a, b, !IsZero(t0), !IsZero(t1));
  return true;
}

void TAQMoCSCurveFitter::PinPoints(int a, int b, bool lockFirst, bool lockLast) {
  const int m = b - a + 1;
  const int poles = static_cast<int>(mLocal.size()) - 4;
  const double* U = mLocal.data();
  const Vec* P = mPoints.data() + a;
  const int lo = lockFirst ? 2 : 1, hi = lockLast ? poles - 3 : poles - 2;  // poles free to move
  int hint = 3;
  for (int i = 1; i + 1 < m; ++i) {
    if (!mPinned[static_cast<size_t>(i)]) continue;
    const double u = mU[static_cast<size_t>(i)];
    hint = FindSpan(U, poles, u, hint);
    double N[4];
    Basis(U, hint, u, N);
    Vec c{0, 0, 0};
    double free2 = 0.0;
    for (int r = 0; r < 4; ++r) {
      const int pole = hint - 3 + r;
      c = Add(c, Scale(mLocalPoles[static_cast<size_t>(pole)], N[r]));
      if (pole >= lo && pole <= hi) free2 += N[r] * N[r];
    }
    if (!(free2 > 0.0)) continue;
    const Vec miss = Scale(Sub(P[i], c), 1.0 / free2);
    for (int r = 0; r < 4; ++r) {
      const int pole = hint - 3 + r;
      if (pole >= lo && pole <= hi) mLocalPoles[static_cast<size_t>(pole)] = Add(mLocalPoles[static_cast<size_t>(pole)], Scale(miss, N[r]));
    }
  }
}

double TAQMoCSCurveFitter::Reparameterise(int a, int b, bool newton) {
  const int m = b - a + 1;
  const int poles = static_cast<int>(mLocal.size()) - 4;
  const double* U = mLocal.data();
  const Vec* P = mPoints.data() + a;
  const Vec* Q = mLocalPoles.data();
  double maxErr = 0.0;
  int hint = 3;
  // Each step is bounded by the neighbours' parameters of the previous round on both sides, so that
  // it reads the same either way along the points.
  double before = mU.front();
  for (int i = 0; i < m; ++i) {
    double& u = mU[static_cast<size_t>(i)];
    const double lo = before;
    before = u;
    hint = FindSpan(U, poles, u, hint);
    double D[3][4];
    BasisDerivatives(U, hint, u, D);
    Vec c{0, 0, 0}, d1{0, 0, 0}, d2{0, 0, 0};
    for (int r = 0; r < 4; ++r) {
      const Vec& q = Q[hint - 3 + r];
      c = Add(c, Scale(q, D[0][r]));
      d1 = Add(d1, Scale(q, D[1][r]));
      d2 = Add(d2, Scale(q, D[2][r]));
    }
    const Vec e = Sub(c, P[i]);
    const bool added = !mAdded.empty() && mAdded[static_cast<size_t>(a + i)];
    const double err = Norm(e) * (added ? mAddedErrScale : mDrawnErrScale);
    mErr[static_cast<size_t>(i)] = err;
    maxErr = std::max(maxErr, err);
    if (!newton || i == 0 || i == m - 1 || mPinned[static_cast<size_t>(i)]) continue;
    const double num = Dot(e, d1);
    double den = Dot(d1, d1) + Dot(e, d2);
    if (!(den > 0.0)) den = Dot(d1, d1);
    if (!(den > 0.0)) continue;
    double next = u - num / den;
    const double hi = mU[static_cast<size_t>(i) + 1];
    // At most halfway to either neighbour, so that no two points change places.
    next = std::max(next, 0.5 * (lo + u));
    next = std::min(next, 0.5 * (u + hi));
    u = next;
  }
  return maxErr;
}

void TAQMoCSCurveFitter::AppendPiece(int a, int b) {
  const double s0 = mArc[static_cast<size_t>(a)], len = mArc[static_cast<size_t>(b)] - s0;
  const int poles = static_cast<int>(mLocal.size()) - 4;
  if (mKnots.empty()) {
    mKnots.push_back(s0);
    mMults.push_back(4);
    mPoles.push_back(mLocalPoles.front());
  }
  for (int k = 4; k < poles; ++k) {
    mKnots.push_back(s0 + len * mLocal[static_cast<size_t>(k)]);
    mMults.push_back(1);
  }
  mKnots.push_back(mArc[static_cast<size_t>(b)]);
  mMults.push_back(3);
  mPoles.insert(mPoles.end(), mLocalPoles.begin() + 1, mLocalPoles.end());
  for (double e : mErr) mMaxError = std::max(mMaxError, e);
}
