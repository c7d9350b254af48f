// Tessellation, projection, cutting, ordering and cloning of curves.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <GeomLib_IsPlanarSurface.hxx>
#include <Geom_Surface.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <ShapeAnalysis_Surface.hxx>
#include <TopoDS_Face.hxx>
#include <gp_Pln.hxx>
#include <BRepOffsetAPI_NormalProjection.hxx>
#include <BRep_Tool.hxx>
#include <GeomConvert.hxx>
#include <Geom_TrimmedCurve.hxx>
#include <Precision.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>

#include "TAQMoCSStrokeUtilities.h"
#include "VORBody.h"
#include "VORBody_Impl.h"
#include "VORCurve.h"
#include "VORCurve_Impl.h"
#include "VORGeoFactory.h"
#include "VORGeoFactory_Impl.h"

namespace {

using CurveImpl = VORCurveAccess::Impl;

constexpr int kMaxDegree = 25;
// Deepest halving of one span: at most 2^16 polyline segments per span, whatever the tolerance.
constexpr int kMaxDepth = 16;
// A polyline of a whole curve has at most about this many points: a curve of huge extent (or a tiny
// tolerance or length) gets coarser spans rather than a flood of points.
constexpr int kMaxTessellationPoints = 1 << 18;


inline double Dist2(const double* a, const double* b) {
  const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
  return dx * dx + dy * dy + dz * dz;
}

// Squared distance of q from the segment [a, b].
inline double SegmentDist2(const double* q, const double* a, const double* b) {
  const double ex = b[0] - a[0], ey = b[1] - a[1], ez = b[2] - a[2];
  const double wx = q[0] - a[0], wy = q[1] - a[1], wz = q[2] - a[2];
  const double ee = ex * ex + ey * ey + ez * ez;
  double t = ee > 0.0 ? (wx * ex + wy * ey + wz * ez) / ee : 0.0;
  t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
  const double dx = wx - t * ex, dy = wy - t * ey, dz = wz - t * ez;
  return dx * dx + dy * dy + dz * dz;
}

// The polyline of a chain of Bezier pieces, each starting where the previous one ended. A piece is
// halved (de Casteljau) until every control point lies within the tolerance of its chord. A piece lies in
// the convex hull of its control points, so the curve then lies within the tolerance of the polyline.
// With join set, flat pieces in a row become one polyline segment as long as every control point of the
// joined run lies within the tolerance of the joined chord: the band within the tolerance of a chord is
// convex, so the bound holds all the same, and a smooth curve of many short spans needs no point at
// every span end. maxLen2 > 0 also halves pieces, and ends runs, whose chord is longer than its root.
class BezierTessellator {
 public:
  BezierTessellator(int degree, double tol2, double maxLen2, int maxDepth, bool join, const double* start,
                    VORListValVORMathPoint& out)
      : mDegree(degree), mTol2(tol2), mTol(std::sqrt(tol2)), mMaxLen2(maxLen2), mMaxDepth(maxDepth), mJoin(join),
        mOut(out) {
    std::copy(start, start + 3, mFrom);
  }

  // Tessellates one piece of degree + 1 control points, starting at the end of the previous one.
  void Run(const double* b, int depth) {
    if (mDegree == 3) {
      RunCubic(b, depth);
      return;
    }
    const int p = mDegree;
    const double* e = b + 3 * p;
    bool flat = true;
    for (int j = 1; j < p && flat; ++j) flat = !(SegmentDist2(b + 3 * j, b, e) > mTol2);
    if (flat && mMaxLen2 > 0.0 && Dist2(b, e) > mMaxLen2) flat = false;
    if (flat || depth >= mMaxDepth) {
      Leaf(b, flat);
      return;
    }
    double left[(kMaxDegree + 1) * 3], right[(kMaxDegree + 1) * 3], work[(kMaxDegree + 1) * 3];
    std::copy(b, b + 3 * (p + 1), work);
    for (int c = 0; c < 3; ++c) {
      left[c] = work[c];
      right[3 * p + c] = work[3 * p + c];
    }
    for (int r = 1; r <= p; ++r) {
      for (int j = 0; j <= p - r; ++j)
        for (int c = 0; c < 3; ++c) work[3 * j + c] = 0.5 * (work[3 * j + c] + work[3 * (j + 1) + c]);
      for (int c = 0; c < 3; ++c) {
        left[3 * r + c] = work[c];
        right[3 * (p - r) + c] = work[3 * (p - r) + c];
      }
    }
    Run(left, depth + 1);
    Run(right, depth + 1);
  }

  // Appends the end of the run still open; the polyline then ends where the last piece ends.
  void Finish() {
    if (!mRun.empty()) mOut.Append(VORMathPoint(mTo[0], mTo[1], mTo[2]));
    mRun.clear();
  }

 private:
  // A joined run holds at most this many coordinates of control points (64 cubic pieces), which bounds
  // the work of each join.
  static constexpr size_t kMaxRunCoords = 3 * 3 * 64;

  // Squared distance of q from the chord [a, a + e], with ee = |e|^2 and inv = 1 / ee (0 for a point).
  static double ChordDist2(const double* q, const double* a, const double* e, double ee, double inv) {
    const double wx = q[0] - a[0], wy = q[1] - a[1], wz = q[2] - a[2];
    const double we = wx * e[0] + wy * e[1] + wz * e[2];
    const double ww = wx * wx + wy * wy + wz * wz;
    if (we <= 0.0) return ww;
    if (we >= ee) return ww - 2.0 * we + ee;
    return ww - we * we * inv;
  }

  // Largest squared distance of the inner control points of the piece b from the chord [mFrom, mFrom + e],
  // with ee = |e|^2.
  double InnerDist2(const double* b, const double* e, double ee) const {
    const double inv = ee > 0.0 ? 1.0 / ee : 0.0;
    double d = 0.0;
    for (int j = 1; j < mDegree; ++j) d = std::max(d, ChordDist2(b + 3 * j, mFrom, e, ee, inv));
    return d;
  }

  // Whether every control point of the open run and of the piece b lies within the tolerance of the
  // chord from the run's start to the piece's end; if so, mRunDev becomes a bound of their distance from
  // it. The run's points lie within mRunDev of the run's own chord [mFrom, mTo], and that chord lies
  // within the distance of mTo from the new one (both start at mFrom), so a join that this bound clears
  // needs no look at each point; otherwise every point is measured.
  bool Joins(const double* b) {
    const double* last = b + 3 * mDegree;
    const double e[3] = {last[0] - mFrom[0], last[1] - mFrom[1], last[2] - mFrom[2]};
    const double ee = e[0] * e[0] + e[1] * e[1] + e[2] * e[2];
    if (mMaxLen2 > 0.0 && ee > mMaxLen2) return false;
    const double inv = ee > 0.0 ? 1.0 / ee : 0.0;
    const double piece = InnerDist2(b, e, ee);
    if (!(piece <= mTol2)) return false;
    double bound = mRunDev + std::sqrt(ChordDist2(mTo, mFrom, e, ee, inv));
    if (!(bound <= mTol)) {
      double run = 0.0;
      for (size_t k = 0; k < mRun.size(); k += 3) {
        run = std::max(run, ChordDist2(mRun.data() + k, mFrom, e, ee, inv));
        if (!(run <= mTol2)) return false;
      }
      bound = std::sqrt(run);
    }
    mRunDev = std::max(bound, std::sqrt(piece));
    return true;
  }

  // A piece that is flat, or halved as deep as allowed (which is never joined to another).
  void Leaf(const double* b, bool flat) {
    const double* e = b + 3 * mDegree;
    if (!mJoin) {
      mOut.Append(VORMathPoint(e[0], e[1], e[2]));
      return;
    }
    if (!mRun.empty() && !(flat && mRun.size() < kMaxRunCoords && Joins(b))) {
      mOut.Append(VORMathPoint(mTo[0], mTo[1], mTo[2]));
      std::copy(mTo, mTo + 3, mFrom);
      mRun.clear();
    }
    if (!flat) {
      mOut.Append(VORMathPoint(e[0], e[1], e[2]));
      std::copy(e, e + 3, mFrom);
      return;
    }
    if (mRun.empty()) {  // a run starts with one flat piece
      const double c[3] = {e[0] - mFrom[0], e[1] - mFrom[1], e[2] - mFrom[2]};
      mRunDev = std::sqrt(InnerDist2(b, c, c[0] * c[0] + c[1] * c[1] + c[2] * c[2]));
    }
    mRun.insert(mRun.end(), b + 3, e + 3);
    std::copy(e, e + 3, mTo);
  }

  // The cubic case, which every fitted curve takes, without loops over the degree.
  void RunCubic(const double* b, int depth) {
    const double e[3] = {b[9] - b[0], b[10] - b[1], b[11] - b[2]};
    const double ee = e[0] * e[0] + e[1] * e[1] + e[2] * e[2];
    const double inv = ee > 0.0 ? 1.0 / ee : 0.0;
    bool flat = !(ChordDist2(b + 3, b, e, ee, inv) > mTol2) && !(ChordDist2(b + 6, b, e, ee, inv) > mTol2);
    if (flat && mMaxLen2 > 0.0 && ee > mMaxLen2) flat = false;
    if (flat || depth >= mMaxDepth) {
      Leaf(b, flat);
      return;
    }
    double l[12], r[12];
    for (int c = 0; c < 3; ++c) {
      const double p0 = b[c], p1 = b[3 + c], p2 = b[6 + c], p3 = b[9 + c];
      const double a = 0.5 * (p0 + p1), m = 0.5 * (p1 + p2), d = 0.5 * (p2 + p3);
      const double a2 = 0.5 * (a + m), d2 = 0.5 * (m + d), mid = 0.5 * (a2 + d2);
      l[c] = p0;
      l[3 + c] = a;
      l[6 + c] = a2;
      l[9 + c] = mid;
      r[c] = mid;
      r[3 + c] = d2;
      r[6 + c] = d;
      r[9 + c] = p3;
    }
    RunCubic(l, depth + 1);
    RunCubic(r, depth + 1);
  }

  const int mDegree;
  const double mTol2;
  const double mTol;
  const double mMaxLen2;
  const int mMaxDepth;
  const bool mJoin;
  VORListValVORMathPoint& mOut;
  double mFrom[3];            // the last point appended: where the open run starts
  double mTo[3] = {0, 0, 0};  // where the open run ends
  std::vector<double> mRun;   // control points of the open run after its start, x y z each
  double mRunDev = 0.0;       // how far they may lie from the chord [mFrom, mTo], at most the tolerance
};

bool ValidTolerance(double tolerance) { return std::isfinite(tolerance) && tolerance > 0.0; }

// Appends the polyline of the curve between parameters a < b (inside the limits), start point included.
// Up to the fit tolerance every span end is a point of the polyline: such a polyline carries the
// fitted curve, and a cut rebuilds a stroke from it (thinned at the fit tolerance, so that fewer points
// there would leave the rebuilt stroke fewer to edit). A coarser tolerance asks for the picture of a
// large curve, whose flat spans in a row are joined.
void TessellateRange(const CurveImpl& impl, double a, double b, double tolerance, double maxLength,
                     VORListValVORMathPoint& points) {
  impl.BuildBezier();
  const int m = impl.degree + 1;
  const int spans = static_cast<int>(impl.spanKnot.size());
  // The halving depth that keeps the whole polyline within its point budget.
  int depth = kMaxDepth;
  while (depth > 1 && static_cast<double>(std::max(spans, 1)) * std::ldexp(1.0, depth) > kMaxTessellationPoints) --depth;
  const auto it = std::upper_bound(impl.spanStart.begin(), impl.spanStart.end() - 1, a);
  int s = std::max(0, static_cast<int>(it - impl.spanStart.begin()) - 1);
  double start[3];
  impl.Evaluate(a, start, nullptr);
  points.Append(VORMathPoint(start[0], start[1], start[2]));
  const bool join = tolerance > static_cast<double>(TAQMoCSStrokeUtilities::mFitTolerance2D);
  BezierTessellator t(impl.degree, tolerance * tolerance,
                      maxLength > 0.0 && std::isfinite(maxLength) ? maxLength * maxLength : 0.0, depth, join, start,
                      points);
  double part[(kMaxDegree + 1) * 3];
  for (; s < spans && impl.spanStart[s] < b; ++s) {
    const double s0 = impl.spanStart[s], s1 = impl.spanStart[s + 1];
    if (a <= s0 && s1 <= b) {
      t.Run(impl.bezier.data() + static_cast<size_t>(s) * m * 3, 0);
    } else {
      const double u0 = std::max(a, s0), u1 = std::min(b, s1);
      if (!(u1 > u0)) continue;
      impl.Blossom(impl.spanKnot[s], u0, u1, part);
      t.Run(part, 0);
    }
  }
  t.Finish();
}

// ---- Nearest point ----

// Point, first and second derivative of a Bezier piece at t (in [0, 1]).
void BezierEval2(const double* b, int p, double t, double* q, double* d1, double* d2) {
  double w[(kMaxDegree + 1) * 3];
  std::copy(b, b + 3 * (p + 1), w);
  for (int c = 0; c < 3; ++c) d2[c] = 0.0;
  for (int r = 1; r <= p; ++r) {
    if (r == p - 1) {
      for (int c = 0; c < 3; ++c) d2[c] = p * (p - 1) * (w[6 + c] - 2.0 * w[3 + c] + w[c]);
    }
    if (r == p) {
      for (int c = 0; c < 3; ++c) d1[c] = p * (w[3 + c] - w[c]);
    }
    for (int j = 0; j <= p - r; ++j)
      for (int c = 0; c < 3; ++c) w[3 * j + c] += t * (w[3 * (j + 1) + c] - w[3 * j + c]);
  }
  if (p == 1) {
    for (int c = 0; c < 3; ++c) d1[c] = b[3 + c] - b[c];
  }
  for (int c = 0; c < 3; ++c) q[c] = w[c];
}

// Nearest point of one Bezier piece to q: the best of a few samples, refined by Newton's method on
// (B(t) - q) . B'(t) = 0 with t kept in [0, 1]. Gives t and the squared distance.
void NearestOnBezier(const double* b, int p, const double* q, double& bestT, double& bestD2) {
  constexpr int kSamples = 6;
  double pt[3], d1[3], d2[3];
  bestT = 0.0;
  bestD2 = std::numeric_limits<double>::infinity();
  for (int k = 0; k <= kSamples; ++k) {
    const double t = static_cast<double>(k) / kSamples;
    BezierEval2(b, p, t, pt, d1, d2);
    const double dd = Dist2(pt, q);
    if (dd < bestD2) {
      bestD2 = dd;
      bestT = t;
    }
  }
  double t = bestT;
  for (int iter = 0; iter < 12; ++iter) {
    BezierEval2(b, p, t, pt, d1, d2);
    const double rx = pt[0] - q[0], ry = pt[1] - q[1], rz = pt[2] - q[2];
    const double f = rx * d1[0] + ry * d1[1] + rz * d1[2];
    const double df = d1[0] * d1[0] + d1[1] * d1[1] + d1[2] * d1[2] + rx * d2[0] + ry * d2[1] + rz * d2[2];
    if (!(df > 0.0)) break;
    double next = t - f / df;
    next = next < 0.0 ? 0.0 : (next > 1.0 ? 1.0 : next);
    BezierEval2(b, p, next, pt, d1, d2);
    const double dd = Dist2(pt, q);
    if (!(dd <= bestD2)) break;
    bestD2 = dd;
    bestT = next;
    if (std::fabs(next - t) < 1e-14) break;
    t = next;
  }
}

inline double BoxDist2(const double* box, const double* q) {
  double d2 = 0.0;
  for (int c = 0; c < 3; ++c) {
    const double lo = box[c] - q[c], hi = q[c] - box[3 + c];
    const double d = lo > 0.0 ? lo : (hi > 0.0 ? hi : 0.0);
    d2 += d * d;
  }
  return d2;
}

// Nearest point of a curve to q. With dir (a unit vector), distances are measured across dir: the
// nearest point to the line through q along dir. Spans whose box of control points lies farther than the
// best distance so far are skipped. Gives the parameter and the squared distance.
void NearestOnCurve(const CurveImpl& impl, const double* q, const double* dir, double& param, double& dist2) {
  impl.BuildBezier();
  const int p = impl.degree, m = p + 1;
  const int spans = static_cast<int>(impl.spanKnot.size());
  double best = std::numeric_limits<double>::infinity();
  double bestU = impl.first;
  double reduced[(kMaxDegree + 1) * 3], rq[3], rbox[6];
  auto reduce = [dir](const double* v, double* out) {
    const double s = v[0] * dir[0] + v[1] * dir[1] + v[2] * dir[2];
    for (int c = 0; c < 3; ++c) out[c] = v[c] - s * dir[c];
  };
  if (dir) reduce(q, rq);
  const double* target = dir ? rq : q;
  // A first bound from the span ends, so that the box test prunes from the start.
  for (int s = 0; s < spans; ++s) {
    const double* b = impl.bezier.data() + static_cast<size_t>(s) * m * 3;
    double end[3];
    const double* e = b + 3 * p;
    if (dir) {
      reduce(e, end);
      e = end;
    }
    const double dd = Dist2(e, target);
    if (dd < best) {
      best = dd;
      bestU = impl.spanStart[s + 1];
    }
  }
  for (int s = 0; s < spans; ++s) {
    const double* b = impl.bezier.data() + static_cast<size_t>(s) * m * 3;
    const double* box = impl.box.data() + 6 * s;
    if (dir) {
      for (int j = 0; j < m; ++j) reduce(b + 3 * j, reduced + 3 * j);
      for (int c = 0; c < 3; ++c) {
        rbox[c] = rbox[3 + c] = reduced[c];
        for (int j = 1; j < m; ++j) {
          rbox[c] = std::min(rbox[c], reduced[3 * j + c]);
          rbox[3 + c] = std::max(rbox[3 + c], reduced[3 * j + c]);
        }
      }
      b = reduced;
      box = rbox;
    }
    if (!(BoxDist2(box, target) < best)) continue;
    double t, dd;
    NearestOnBezier(b, p, target, t, dd);
    if (dd < best) {
      best = dd;
      bestU = impl.spanStart[s] + t * (impl.spanStart[s + 1] - impl.spanStart[s]);
    }
  }
  param = bestU;
  dist2 = best;
}

double ResolutionOf(const VORCurve* curve) {
  const VORGeoFactory* f = curve ? curve->GetFactory() : nullptr;
  return f ? f->GetResolution() : 0.001;
}

// A B-spline that a curve can hold, made from any curve of the modeler between f and l: converted,
// raised to degree 3 at least. Null when that fails or gives a rational B-spline.
Handle(Geom_BSplineCurve) ToCubicBSpline(const Handle(Geom_Curve)& c, double f, double l) {
  Handle(Geom_BSplineCurve) bs = GeomConvert::CurveToBSplineCurve(new Geom_TrimmedCurve(c, f, l));
  if (bs.IsNull() || bs->IsRational() || bs->IsPeriodic()) return Handle(Geom_BSplineCurve)();
  if (bs->Degree() < 3) bs->IncreaseDegree(3);
  return bs;
}

}  // namespace

// ---- Tessellation ----

bool TAQMoCSStrokeUtilities::Tessellate(const VORCurve* curve, double tolerance, VORListValVORMathPoint& points) {
  points.RemoveAll();
  if (!curve || !ValidTolerance(tolerance)) return false;
  return Tessellate(curve, curve->GetStartLimit(), curve->GetEndLimit(), tolerance, points);
}

bool TAQMoCSStrokeUtilities::Tessellate(const VORCurve* curve, const VORCrvParam& start, const VORCrvParam& end,
                                        double tolerance, VORListValVORMathPoint& points) {
  points.RemoveAll();
  if (!curve || !ValidTolerance(tolerance)) return false;
  const CurveImpl& impl = *VORCurveAccess::Get(curve);
  double a = start.GetParam(), b = end.GetParam();
  if (!std::isfinite(a) || !std::isfinite(b)) return false;
  const bool reversed = a > b;
  if (reversed) std::swap(a, b);
  a = std::max(a, impl.first);
  b = std::min(b, impl.last);
  if (!(b > a)) return false;
  TessellateRange(impl, a, b, tolerance, 0.0, points);
  if (reversed) std::reverse(points.begin(), points.end());
  return true;
}

bool TAQMoCSStrokeUtilities::Tessellate(const VORListPtrVORCurve& curves, const VORRawCollint& indices,
                                        VORRawCollint& splits, VORListValVORMathPoint& points, double tolerance,
                                        double maxLength, bool flag) {
  splits.RemoveAll();
  points.RemoveAll();
  const int n = curves.Size();
  if (n == 0 || !ValidTolerance(tolerance) || std::isnan(maxLength)) return false;
  if (indices.Size() != 0 && indices.Size() != n) return false;
  for (int i = 1; i <= n; ++i)
    if (!curves[i]) return false;
  VORListValVORMathPoint part;
  for (int i = 1; i <= n; ++i) {
    const VORCurve* curve = curves[i];
    const CurveImpl& impl = *VORCurveAccess::Get(curve);
    part.RemoveAll();
    TessellateRange(impl, impl.first, impl.last, tolerance, maxLength, part);
    if (points.Size() > 0) {
      const double res = ResolutionOf(curve);
      const bool joined = part[1].SquareDistanceTo(points[points.Size()]) <= res * res;
      const bool samePiece = indices.Size() != 0 ? indices[i] == indices[i - 1] : joined;
      if (!samePiece) {
        splits.Append(points.Size());
      } else if (joined && !flag) {
        part.RemovePosition(1);
      }
    }
    points.Append(part);
  }
  splits.Append(points.Size());
  return true;
}

// ---- Curves ----

bool TAQMoCSStrokeUtilities::GetProjectionOnCurves(VORSoftwareConfiguration* /*config*/,
                                                   const VORListPtrVORCurve& curves, const VORMathPoint& point,
                                                   const VORMathDirection* direction, double& param,
                                                   VORCurve*& curve, double* distance, bool /*flag*/) {
  if (!point.IsFinite()) return false;
  const double q[3] = {point.GetX(), point.GetY(), point.GetZ()};
  double dir[3];
  if (direction) direction->GetCoord(dir[0], dir[1], dir[2]);
  double best = std::numeric_limits<double>::infinity(), bestU = 0.0;
  VORCurve* bestCurve = nullptr;
  for (int i = 1; i <= curves.Size(); ++i) {
    VORCurve* c = curves[i];
    if (!c) continue;
    double u, d2;
    NearestOnCurve(*VORCurveAccess::Get(c), q, direction ? dir : nullptr, u, d2);
    if (d2 < best) {
      best = d2;
      bestU = u;
      bestCurve = c;
    }
  }
  if (!bestCurve) return false;
  param = bestU;
  curve = bestCurve;
  if (distance) *distance = std::sqrt(best);
  return true;
}

bool TAQMoCSStrokeUtilities::SubsetCurveNormalized(VORCurve* curve, const double* range) {
  if (!curve || !range || !std::isfinite(range[0]) || !std::isfinite(range[1])) return false;
  const double s0 = std::max(0.0, range[0]), s1 = std::min(1.0, range[1]);
  if (!(s1 > s0)) return false;
  if (s0 == 0.0 && s1 == 1.0) return true;
  CurveImpl& impl = *VORCurveAccess::Get(curve);
  const double length = impl.Length();
  if (!(length > 0.0) || !std::isfinite(length)) return false;
  const double u0 = s0 > 0.0 ? impl.ParameterAtLength(s0 * length) : impl.first;
  const double u1 = s1 < 1.0 ? impl.ParameterAtLength(s1 * length) : impl.last;
  if (!(u1 - u0 > Precision::PConfusion())) return false;
  try {
    if (impl.Curve().IsNull()) return false;
    Handle(Geom_BSplineCurve) cut = Handle(Geom_BSplineCurve)::DownCast(impl.Curve()->Copy());
    cut->Segment(u0, u1);
    return impl.Set(cut);
  } catch (const Standard_Failure&) {
    return false;
  }
}

bool TAQMoCSStrokeUtilities::OrderCurves(VORListPtrVORCurve& curves, VORListPtrVORCurve& ordered,
                                         VORRawCollint& orientations, bool* closed) {
  ordered.RemoveAll();
  orientations.RemoveAll();
  if (closed) *closed = false;
  const int n = curves.Size();
  if (n == 0) return false;
  for (int i = 1; i <= n; ++i)
    if (!curves[i]) return false;
  auto startOf = [](const VORCurve* c) { return c->EvalPoint(c->GetStartLimit()); };
  auto endOf = [](const VORCurve* c) { return c->EvalPoint(c->GetEndLimit()); };
  // Chain from the first curve, growing at the tail, then at the head, with the nearest free end each time.
  std::vector<VORCurve*> chain{curves[1]};
  std::vector<int> orient{1};
  std::vector<bool> used(static_cast<size_t>(n) + 1, false);
  used[1] = true;
  for (int side = 0; side < 2; ++side) {
    for (;;) {
      const bool tail = side == 0;
      const VORCurve* at = tail ? chain.back() : chain.front();
      const int atOrient = tail ? orient.back() : orient.front();
      // The free end of the chain on this side.
      const VORMathPoint p = (tail == (atOrient == 1)) ? endOf(at) : startOf(at);
      const double res = ResolutionOf(at);
      int found = 0, foundOrient = 1;
      double bestD2 = res * res;
      for (int i = 1; i <= n; ++i) {
        if (used[i]) continue;
        const double ds = startOf(curves[i]).SquareDistanceTo(p), de = endOf(curves[i]).SquareDistanceTo(p);
        // At the tail the next curve should start at p; at the head the previous one should end at p.
        const double along = tail ? ds : de, against = tail ? de : ds;
        if (along <= bestD2) {
          bestD2 = along;
          found = i;
          foundOrient = 1;
        }
        if (against < bestD2) {
          bestD2 = against;
          found = i;
          foundOrient = -1;
        }
      }
      if (!found) break;
      used[found] = true;
      if (tail) {
        chain.push_back(curves[found]);
        orient.push_back(foundOrient);
      } else {
        chain.insert(chain.begin(), curves[found]);
        orient.insert(orient.begin(), foundOrient);
      }
    }
  }
  if (static_cast<int>(chain.size()) != n) return false;
  // The chain replaces the first list too, so that orientations run parallel to both.
  for (int i = 0; i < n; ++i) {
    ordered.Append(chain[i]);
    orientations.Append(orient[i]);
    curves[i + 1] = chain[i];
  }
  if (closed) {
    const VORMathPoint head = orient.front() == 1 ? startOf(chain.front()) : endOf(chain.front());
    const VORMathPoint tailPoint = orient.back() == 1 ? endOf(chain.back()) : startOf(chain.back());
    const double res = ResolutionOf(chain.front());
    // One curve counts as closed only when it does not just degenerate to a point.
    *closed = head.SquareDistanceTo(tailPoint) <= res * res;
  }
  return true;
}

bool TAQMoCSStrokeUtilities::Clone(const VORListPtrVORCurve& curves, VORListPtrVORCurve& target) {
  for (int i = 1; i <= curves.Size(); ++i)
    if (!curves[i] || !curves[i]->GetFactory()) return false;
  for (int i = 1; i <= curves.Size(); ++i) {
    VORCurve* copy = curves[i]->GetFactory()->CloneCurve(curves[i]);
    if (!copy) return false;
    target.Append(copy);
  }
  return true;
}

namespace {

// A body of a single planar face: the normal projection of a B-spline onto the plane is the B-spline of
// its projected poles (the projection is affine), exact and immediate. It serves when the projected
// curve lies on the face at its knots and between them; otherwise (a curve running off the face, other
// bodies) the modeler's general projection decides.
Handle(Geom_BSplineCurve) ProjectOntoPlanarFace(const TopoDS_Shape& shape, const Handle(Geom_BSplineCurve)& curve,
                                                double start, double end, double res) {
  TopExp_Explorer faces(shape, TopAbs_FACE);
  if (!faces.More()) return Handle(Geom_BSplineCurve)();
  const TopoDS_Face face = TopoDS::Face(faces.Current());
  faces.Next();
  if (faces.More()) return Handle(Geom_BSplineCurve)();
  // Planes, and surfaces that are planes in another form (a straight profile extruded).
  const Handle(Geom_Surface) surface = BRep_Tool::Surface(face);
  if (surface.IsNull()) return Handle(Geom_BSplineCurve)();
  const GeomLib_IsPlanarSurface planar(surface, res * 1e-2);
  if (!planar.IsPlanar()) return Handle(Geom_BSplineCurve)();
  const gp_Pln plane = planar.Plan();
  Handle(Geom_BSplineCurve) c = Handle(Geom_BSplineCurve)::DownCast(curve->Copy());
  if (c.IsNull()) return c;
  if (start > c->FirstParameter() || end < c->LastParameter()) c->Segment(start, end);
  const gp_Dir n = plane.Axis().Direction();
  const gp_Pnt o = plane.Location();
  for (int i = 1; i <= c->NbPoles(); ++i) {
    const gp_Pnt p = c->Pole(i);
    const double h = gp_Vec(o, p).Dot(gp_Vec(n));
    c->SetPole(i, p.Translated(gp_Vec(n) * -h));
  }
  // The face is classified in its own surface's parameters; each sample's starts from the previous one.
  BRepClass_FaceClassifier classifier;
  const Handle(ShapeAnalysis_Surface) onSurface = new ShapeAnalysis_Surface(surface);
  constexpr int kSamplesPerSpan = 2;
  gp_Pnt2d uv = onSurface->ValueOfUV(c->StartPoint(), res);
  for (int k = 1; k < c->NbKnots(); ++k) {
    const double a = c->Knot(k), b = c->Knot(k + 1);
    for (int j = 0; j <= kSamplesPerSpan; ++j) {
      if (j == kSamplesPerSpan && k + 1 < c->NbKnots()) continue;  // the next span's first sample
      uv = onSurface->NextValueOfUV(uv, c->Value(a + (b - a) * j / kSamplesPerSpan), res);
      classifier.Perform(face, uv, res);
      if (classifier.State() != TopAbs_IN && classifier.State() != TopAbs_ON) return Handle(Geom_BSplineCurve)();
    }
  }
  return c;
}

}  // namespace

bool TAQMoCSStrokeUtilities::GetProjection(VORSoftwareConfiguration* /*config*/, VORBody* body, VORCurve* curve,
                                           double start, double end, VORListPtrVORCurve& pieces,
                                           VORRawCollint& indices) {
  pieces.RemoveAll();
  indices.RemoveAll();
  if (!body || !curve || !curve->GetFactory() || !std::isfinite(start) || !std::isfinite(end)) return false;
  const TopoDS_Shape& shape = VORBodyAccess::Shape(body);
  if (shape.IsNull()) return false;
  const CurveImpl& impl = *VORCurveAccess::Get(curve);
  if (start > end) std::swap(start, end);
  start = std::max(start, impl.first);
  end = std::min(end, impl.last);
  if (!(end - start > Precision::PConfusion())) return false;
  const double res = ResolutionOf(curve);
  struct Piece {
    Handle(Geom_BSplineCurve) bspline;
    double from;  // parameter on the source curve of the piece's start
  };
  std::vector<Piece> found;
  try {
    if (impl.Curve().IsNull()) return false;
    const Handle(Geom_BSplineCurve) flat = ProjectOntoPlanarFace(shape, impl.Curve(), start, end, res);
    if (!flat.IsNull()) {
      VORCurve* made = VORGeoFactoryAccess::AddCurve(curve->GetFactory(), flat);
      if (!made) return false;
      pieces.Append(made);
      indices.Append(1);
      return true;
    }
    BRepBuilderAPI_MakeEdge edge(Handle(Geom_Curve)(impl.Curve()), start, end);
    if (!edge.IsDone()) return false;
    BRepOffsetAPI_NormalProjection projection(shape);
    // A stroke's curve has many spans: the projected curve may have as many segments, within the
    // curve's resolution (the modeler's defaults allow 16 segments at 1e-4 and fail on a long stroke).
    const int spans = static_cast<int>(impl.knots.size());
    projection.SetParams(std::max(res, 1e-4), std::max(res, 1e-4) * 1e-2, GeomAbs_C2, 8,
                         std::max(16, 2 * spans));
    projection.Add(edge.Edge());
    projection.Build();
    if (!projection.IsDone()) return false;
    for (TopExp_Explorer ex(projection.Projection(), TopAbs_EDGE); ex.More(); ex.Next()) {
      const TopoDS_Edge& e = TopoDS::Edge(ex.Current());
      double f, l;
      Handle(Geom_Curve) c = BRep_Tool::Curve(e, f, l);
      if (c.IsNull() || !(l - f > Precision::PConfusion())) continue;
      Handle(Geom_BSplineCurve) bs = ToCubicBSpline(c, f, l);
      if (bs.IsNull()) continue;
      if (e.Orientation() == TopAbs_REVERSED) bs->Reverse();
      // Run each piece the way the source curve runs.
      const gp_Pnt a = bs->StartPoint(), b = bs->EndPoint();
      const double qa[3] = {a.X(), a.Y(), a.Z()}, qb[3] = {b.X(), b.Y(), b.Z()};
      double ua, ub, d2;
      NearestOnCurve(impl, qa, nullptr, ua, d2);
      NearestOnCurve(impl, qb, nullptr, ub, d2);
      if (ub < ua) {
        bs->Reverse();
        std::swap(ua, ub);
      }
      found.push_back({bs, ua});
    }
  } catch (const Standard_Failure&) {
    return false;
  }
  std::stable_sort(found.begin(), found.end(), [](const Piece& x, const Piece& y) { return x.from < y.from; });
  int run = 0;
  gp_Pnt previousEnd;
  for (const Piece& piece : found) {
    VORCurve* made = VORGeoFactoryAccess::AddCurve(curve->GetFactory(), piece.bspline);
    if (!made) continue;
    if (run == 0 || previousEnd.SquareDistance(piece.bspline->StartPoint()) > res * res) ++run;
    previousEnd = piece.bspline->EndPoint();
    pieces.Append(made);
    indices.Append(run);
  }
  return pieces.Size() > 0;
}
