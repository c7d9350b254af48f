#include "VORCurve.h"

#include <algorithm>
#include <cmath>

#include <Standard_Failure.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>

#include "VORCurve_Impl.h"

namespace {

// Highest degree the modeler allows; sizes the stack buffers of the evaluation.
constexpr int kMaxDegree = 25;

// Gauss-Legendre nodes and weights on [-1, 1], 8 points: exact for polynomials up to degree 15, so the
// length of a cubic span (the root of a quartic) comes out to about 1e-9 relative.
constexpr double kGaussX[8] = {-0.9602898564975363, -0.7966664774136267, -0.5255324099163290,
                               -0.1834346424956498, 0.1834346424956498,  0.5255324099163290,
                               0.7966664774136267,  0.9602898564975363};
constexpr double kGaussW[8] = {0.1012285362903763, 0.2223810344533745, 0.3137066458778873, 0.3626837833783620,
                               0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};

}  // namespace

// ---- Impl ----

bool VORCurve::Impl::Set(const Handle(Geom_BSplineCurve)& bspline) {
  if (bspline.IsNull() || bspline->IsRational() || bspline->IsPeriodic()) return false;
  const int p = bspline->Degree();
  if (p < 1 || p > kMaxDegree) return false;
  const TColgp_Array1OfPnt& pl = bspline->Poles();
  const TColStd_Array1OfReal& fk = bspline->KnotSequence();
  const int n = pl.Length();
  if (fk.Length() != n + p + 1) return false;
  std::vector<double> newPoles(static_cast<size_t>(n) * 3);
  for (int i = 0; i < n; ++i) {
    const gp_Pnt& q = pl.Value(pl.Lower() + i);
    newPoles[3 * i] = q.X();
    newPoles[3 * i + 1] = q.Y();
    newPoles[3 * i + 2] = q.Z();
  }
  std::vector<double> newKnots(static_cast<size_t>(fk.Length()));
  for (int i = 0; i < fk.Length(); ++i) newKnots[i] = fk.Value(fk.Lower() + i);
  const TColStd_Array1OfReal& dk = bspline->Knots();
  const TColStd_Array1OfInteger& dm = bspline->Multiplicities();
  distinctKnots.assign(dk.begin(), dk.end());
  multiplicities.assign(dm.begin(), dm.end());
  curve = bspline;
  degree = p;
  poles.swap(newPoles);
  knots.swap(newKnots);
  first = bspline->FirstParameter();
  last = bspline->LastParameter();
  bezierReady = false;
  spanStart.clear();
  spanKnot.clear();
  bezier.clear();
  box.clear();
  spanLength.clear();
  return true;
}

void VORCurve::Impl::SetData(int deg, const double* xyz, int poleCount, const double* k, const int* m,
                             int knotCount) {
  curve.Nullify();
  degree = deg;
  poles.assign(xyz, xyz + 3 * poleCount);
  distinctKnots.assign(k, k + knotCount);
  multiplicities.assign(m, m + knotCount);
  knots.clear();
  knots.reserve(static_cast<size_t>(poleCount + deg + 1));
  for (int i = 0; i < knotCount; ++i) knots.insert(knots.end(), static_cast<size_t>(m[i]), k[i]);
  first = knots[deg];
  last = knots[poleCount];
  bezierReady = false;
  spanStart.clear();
  spanKnot.clear();
  bezier.clear();
  box.clear();
  spanLength.clear();
}

int VORCurve::Impl::FindSpan(double u) const {
  const int n = static_cast<int>(poles.size() / 3);
  // Valid span indices run from degree to n - 1 (knots[degree] = first, knots[n] = last).
  if (!(u > knots[degree])) {
    int i = degree;
    while (i < n - 1 && knots[i + 1] <= knots[degree]) ++i;
    return i;
  }
  if (u >= knots[n]) {
    int i = n - 1;
    while (i > degree && knots[i] >= knots[n]) --i;
    return i;
  }
  // Largest i with knots[i] <= u.
  const auto it = std::upper_bound(knots.begin() + degree, knots.begin() + n + 1, u);
  return static_cast<int>(it - knots.begin()) - 1;
}

void VORCurve::Impl::Evaluate(double u, double* p, double* d1) const {
  const int deg = degree;
  const int i = FindSpan(u);
  double d[(kMaxDegree + 1) * 3];
  const double* src = poles.data() + 3 * (i - deg);
  std::copy(src, src + 3 * (deg + 1), d);
  const double* k = knots.data();
  double dx = 0.0, dy = 0.0, dz = 0.0;
  for (int r = 1; r <= deg; ++r) {
    if (r == deg && d1) {
      // The two points of the last-but-one level give the derivative.
      const double s = deg / (k[i + 1] - k[i]);
      dx = s * (d[3 * deg] - d[3 * deg - 3]);
      dy = s * (d[3 * deg + 1] - d[3 * deg - 2]);
      dz = s * (d[3 * deg + 2] - d[3 * deg - 1]);
    }
    for (int j = deg; j >= r; --j) {
      const double lo = k[i - deg + j];
      const double a = (u - lo) / (k[i + 1 + j - r] - lo);
      double* q = d + 3 * j;
      const double* q0 = q - 3;
      q[0] = q0[0] + a * (q[0] - q0[0]);
      q[1] = q0[1] + a * (q[1] - q0[1]);
      q[2] = q0[2] + a * (q[2] - q0[2]);
    }
  }
  p[0] = d[3 * deg];
  p[1] = d[3 * deg + 1];
  p[2] = d[3 * deg + 2];
  if (d1) {
    d1[0] = dx;
    d1[1] = dy;
    d1[2] = dz;
  }
}

void VORCurve::Impl::Blossom(int span, double u0, double u1, double* out) const {
  const int deg = degree;
  const int i = span;
  const double* k = knots.data();
  double d[(kMaxDegree + 1) * 3];
  for (int b = 0; b <= deg; ++b) {
    // b-th Bezier point: the blossom with deg - b arguments u0 and b arguments u1.
    const double* src = poles.data() + 3 * (i - deg);
    std::copy(src, src + 3 * (deg + 1), d);
    for (int r = 1; r <= deg; ++r) {
      const double u = r <= deg - b ? u0 : u1;
      for (int j = deg; j >= r; --j) {
        const double lo = k[i - deg + j];
        const double a = (u - lo) / (k[i + 1 + j - r] - lo);
        double* q = d + 3 * j;
        const double* q0 = q - 3;
        q[0] = q0[0] + a * (q[0] - q0[0]);
        q[1] = q0[1] + a * (q[1] - q0[1]);
        q[2] = q0[2] + a * (q[2] - q0[2]);
      }
    }
    out[3 * b] = d[3 * deg];
    out[3 * b + 1] = d[3 * deg + 1];
    out[3 * b + 2] = d[3 * deg + 2];
  }
}

void VORCurve::Impl::CubicSpanBezier(int i, double* out) const {
  // The four Bezier points are blossoms of (a, a, a), (a, a, b), (a, b, b), (b, b, b) with a, b the span's
  // knots; they share their first two de Boor levels, and the last level is trivial at a and b.
  const double* k = knots.data();
  const double a = k[i], b = k[i + 1];
  const double* P = poles.data() + 3 * (i - 3);
  const double r1 = 1.0 / (k[i + 1] - k[i - 2]), r2 = 1.0 / (k[i + 2] - k[i - 1]), r3 = 1.0 / (k[i + 3] - k[i]);
  const double s2 = 1.0 / (k[i + 1] - k[i - 1]), s3 = 1.0 / (k[i + 2] - k[i]);
  const double a1 = (a - k[i - 2]) * r1, a2 = (a - k[i - 1]) * r2, a3 = (a - k[i]) * r3;
  const double b2 = (b - k[i - 1]) * r2, b3 = (b - k[i]) * r3;
  const double aa2 = (a - k[i - 1]) * s2, aa3 = (a - k[i]) * s3, bb3 = (b - k[i]) * s3;
  for (int c = 0; c < 3; ++c) {
    const double p0 = P[c], p1 = P[3 + c], p2 = P[6 + c], p3 = P[9 + c];
    const double q1a = p0 + a1 * (p1 - p0), q2a = p1 + a2 * (p2 - p1), q3a = p2 + a3 * (p3 - p2);
    const double q2b = p1 + b2 * (p2 - p1), q3b = p2 + b3 * (p3 - p2);
    out[c] = q1a + aa2 * (q2a - q1a);
    out[3 + c] = q2a + aa3 * (q3a - q2a);
    out[6 + c] = q2a + bb3 * (q3a - q2a);
    out[9 + c] = q2b + bb3 * (q3b - q2b);
  }
}

int VORCurve::Impl::SpanCount() const {
  BuildBezier();
  return static_cast<int>(spanKnot.size());
}

void VORCurve::Impl::BuildBezier() const {
  if (bezierReady) return;
  const int n = static_cast<int>(poles.size() / 3);
  const int m = degree + 1;
  spanStart.clear();
  spanKnot.clear();
  for (int i = degree; i < n; ++i) {
    if (knots[i + 1] > knots[i]) {
      spanStart.push_back(knots[i]);
      spanKnot.push_back(i);
    }
  }
  spanStart.push_back(last);
  const int spans = static_cast<int>(spanKnot.size());
  bezier.resize(static_cast<size_t>(spans) * m * 3);
  box.resize(static_cast<size_t>(spans) * 6);
  for (int s = 0; s < spans; ++s) {
    double* b = bezier.data() + static_cast<size_t>(s) * m * 3;
    if (degree == 3) {
      CubicSpanBezier(spanKnot[s], b);
    } else {
      Blossom(spanKnot[s], spanStart[s], spanStart[s + 1], b);
    }
    double* bx = box.data() + 6 * s;
    bx[0] = bx[3] = b[0];
    bx[1] = bx[4] = b[1];
    bx[2] = bx[5] = b[2];
    for (int j = 1; j < m; ++j) {
      for (int c = 0; c < 3; ++c) {
        bx[c] = std::min(bx[c], b[3 * j + c]);
        bx[3 + c] = std::max(bx[3 + c], b[3 * j + c]);
      }
    }
  }
  bezierReady = true;
}

double VORCurve::Impl::Speed(double u) const {
  double p[3], d[3];
  Evaluate(u, p, d);
  return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

double VORCurve::Impl::GaussLength(double a, double b) const {
  const double h = 0.5 * (b - a), c = 0.5 * (a + b);
  double sum = 0.0;
  for (int g = 0; g < 8; ++g) sum += kGaussW[g] * Speed(c + h * kGaussX[g]);
  return sum * h;
}

void VORCurve::Impl::BuildLengths() const {
  if (!spanLength.empty()) return;
  BuildBezier();
  const int spans = static_cast<int>(spanKnot.size());
  spanLength.resize(static_cast<size_t>(spans) + 1);
  double total = 0.0;
  for (int s = 0; s < spans; ++s) {
    spanLength[s] = total;
    total += GaussLength(spanStart[s], spanStart[s + 1]);
  }
  spanLength[spans] = total;
}

double VORCurve::Impl::Length() const {
  BuildLengths();
  return spanLength.back();
}

double VORCurve::Impl::LengthTo(double u) const {
  BuildLengths();
  if (!(u > first)) return 0.0;
  if (u >= last) return spanLength.back();
  const auto it = std::upper_bound(spanStart.begin(), spanStart.end() - 1, u);
  const int s = std::max(0, static_cast<int>(it - spanStart.begin()) - 1);
  return spanLength[s] + GaussLength(spanStart[s], u);
}

double VORCurve::Impl::ParameterAtLength(double s) const {
  BuildLengths();
  if (!(s > 0.0)) return first;
  if (s >= spanLength.back()) return last;
  const auto it = std::upper_bound(spanLength.begin(), spanLength.end() - 1, s);
  const int span = std::max(0, static_cast<int>(it - spanLength.begin()) - 1);
  double lo = spanStart[span], hi = spanStart[span + 1];
  const double base = spanLength[span], spanLen = spanLength[span + 1] - base;
  // Newton on the length inside the span, kept inside a shrinking bracket (bisection when it strays).
  double u = spanLen > 0.0 ? lo + (hi - lo) * (s - base) / spanLen : lo;
  for (int it2 = 0; it2 < 50; ++it2) {
    const double f = base + GaussLength(spanStart[span], u) - s;
    if (std::fabs(f) <= 1e-12 * (1.0 + spanLength.back())) break;
    if (f > 0.0) hi = u; else lo = u;
    const double speed = Speed(u);
    double next = speed > 0.0 ? u - f / speed : 0.5 * (lo + hi);
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    if (hi - lo <= 1e-15 * (1.0 + std::fabs(hi))) break;
    u = next;
  }
  return u;
}

// ---- VORCurve ----

VORCurve::VORCurve(VORGeoFactory* factory) : mImpl(new Impl), mFactory(factory) {}

VORCurve::~VORCurve() = default;

VORCrvParam VORCurve::GetStartLimit() const { return VORCrvParam(mImpl->first); }

VORCrvParam VORCurve::GetEndLimit() const { return VORCrvParam(mImpl->last); }

VORCrvParam VORCurve::CreateParam(double value) const {
  if (!(value > mImpl->first)) return VORCrvParam(mImpl->first);  // NaN too
  if (value > mImpl->last) return VORCrvParam(mImpl->last);
  return VORCrvParam(value);
}

VORMathPoint VORCurve::EvalPoint(const VORCrvParam& p) const {
  double q[3];
  mImpl->Evaluate(p.GetParam(), q, nullptr);
  return VORMathPoint(q[0], q[1], q[2]);
}

VORMathVector VORCurve::EvalFirstDerivative(const VORCrvParam& p) const {
  double q[3], d[3];
  mImpl->Evaluate(p.GetParam(), q, d);
  return VORMathVector(d[0], d[1], d[2]);
}

void VORCurve::Eval(const VORCrvParam& p, VORMathPoint& point, VORMathVector* derivative) const {
  double q[3], d[3];
  mImpl->Evaluate(p.GetParam(), q, derivative ? d : nullptr);
  point.SetCoord(q[0], q[1], q[2]);
  if (derivative) derivative->SetCoord(d[0], d[1], d[2]);
}

VORGeoFactory* VORCurve::GetFactory() const { return mFactory; }

int VORCurve::GetDegree() const { return mImpl->degree; }

int VORCurve::GetPoleCount() const { return static_cast<int>(mImpl->poles.size() / 3); }

void VORCurve::GetPoles(VORListValVORMathPoint& poles) const {
  poles.RemoveAll();
  const int n = GetPoleCount();
  poles.Reserve(n);
  const double* q = mImpl->poles.data();
  for (int i = 0; i < n; ++i) poles.Append(VORMathPoint(q[3 * i], q[3 * i + 1], q[3 * i + 2]));
}
