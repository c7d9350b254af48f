// The inside of a VORCurve: the B-spline of the modeler and flat copies of its data for fast evaluation.
// Private to the kernel (never installed).
#ifndef VORCurve_Impl_h
#define VORCurve_Impl_h

#include <vector>

#include <Geom_BSplineCurve.hxx>
#include <Standard_Failure.hxx>
#include <Standard_Handle.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>

#include "VORCurve.h"

// The modeler's curve is made from the flat data on first use (a wire, a projection, a cut), so that
// creating a curve costs only the copy of its data. It is never changed once made: an operation that
// alters a curve works on a copy and installs the copy with Set. So clones may share it.
struct VORCurve::Impl {
  mutable Handle(Geom_BSplineCurve) curve;  // null until first asked for (Curve())
  int degree = 0;
  // Distinct knots and their multiplicities, as the curve was made from.
  std::vector<double> distinctKnots;
  std::vector<int> multiplicities;
  // Flat knot vector (each knot repeated by its multiplicity), poles as x, y, z triples.
  std::vector<double> knots;
  std::vector<double> poles;
  double first = 0.0;  // parameter limits of the curve
  double last = 0.0;

  // Per-span Bezier form, made on first use by tessellation and projection and dropped by Set.
  // Span s covers [spanStart[s], spanStart[s + 1]]; its degree + 1 control points start at
  // bezier[s * (degree + 1) * 3]; its box of control points (which holds the span) at box[s * 6].
  mutable bool bezierReady = false;
  mutable std::vector<double> spanStart;
  mutable std::vector<int> spanKnot;  // knot index i of span s: knots[i] = spanStart[s]
  mutable std::vector<double> bezier;
  mutable std::vector<double> box;
  // Arc length at the start of each span and, at the back, the whole length; made on first use.
  mutable std::vector<double> spanLength;

  // Installs a B-spline (non-rational, non-periodic) and its flat data; false when it cannot be used.
  bool Set(const Handle(Geom_BSplineCurve)& bspline);
  // Installs checked B-spline data (the factory has validated it); the modeler's curve is made later.
  void SetData(int deg, const double* xyz, int poleCount, const double* k, const int* m, int knotCount);
  // The modeler's curve, made on first call; null if the modeler refuses the data.
  const Handle(Geom_BSplineCurve)& Curve() const;
  int SpanCount() const;
  void BuildBezier() const;
  // Index (into knots) of the span that holds u: knots[i] <= u < knots[i + 1], the last span for u = last.
  int FindSpan(double u) const;
  // Point (3 doubles) and, when d1 is not null, first derivative at u by de Boor's algorithm.
  void Evaluate(double u, double* p, double* d1) const;
  // Control points of the Bezier form of the curve between u0 and u1, both inside span (knot index) i.
  void Blossom(int span, double u0, double u1, double* out) const;
  // The same for a whole span of a cubic, with the shared work done once.
  void CubicSpanBezier(int span, double* out) const;
  // Arc length from the start limit to u.
  double LengthTo(double u) const;
  double Length() const;
  // Parameter at which the arc length from the start limit is s (0 <= s <= Length()).
  double ParameterAtLength(double s) const;
  void BuildLengths() const;
  double Speed(double u) const;                    // |first derivative| at u
  double GaussLength(double a, double b) const;   // arc length over [a, b] inside one span
};

// Inline so that the kernel tests, which compare against the B-spline itself, reach it without the
// library exporting it.
inline const Handle(Geom_BSplineCurve)& VORCurve::Impl::Curve() const {
  if (curve.IsNull()) {
    const int n = static_cast<int>(poles.size() / 3), nk = static_cast<int>(distinctKnots.size());
    TColgp_Array1OfPnt occPoles(1, n);
    for (int i = 0; i < n; ++i) occPoles.SetValue(i + 1, gp_Pnt(poles[3 * i], poles[3 * i + 1], poles[3 * i + 2]));
    TColStd_Array1OfReal occKnots(1, nk);
    TColStd_Array1OfInteger occMults(1, nk);
    for (int i = 0; i < nk; ++i) {
      occKnots.SetValue(i + 1, distinctKnots[i]);
      occMults.SetValue(i + 1, multiplicities[i]);
    }
    try {
      curve = new Geom_BSplineCurve(occPoles, occKnots, occMults, degree);
    } catch (const Standard_Failure&) {
      curve.Nullify();
    }
  }
  return curve;
}

// The kernel's own code reaches a curve's inside through this.
struct VORCurveAccess {
  using Impl = VORCurve::Impl;  // the name other kernel sources use
  static VORCurve::Impl* Get(const VORCurve* curve) { return curve ? curve->mImpl.get() : nullptr; }
  static const Handle(Geom_BSplineCurve)& Curve(const VORCurve* curve) { return curve->mImpl->Curve(); }
  // A curve of factory holding bspline, not yet registered in the factory (VORGeoFactoryAccess::AddCurve
  // does); null when the B-spline cannot back a curve.
  static VORCurve* Create(VORGeoFactory* factory, const Handle(Geom_BSplineCurve)& bspline) {
    VORCurve* curve = new VORCurve(factory);
    if (!curve->mImpl->Set(bspline)) {
      delete curve;
      return nullptr;
    }
    return curve;
  }
  // A curve of factory from B-spline data that the factory has checked.
  static VORCurve* Create(VORGeoFactory* factory, int degree, const double* xyz, int poleCount, const double* knots,
                          const int* mults, int knotCount) {
    VORCurve* curve = new VORCurve(factory);
    curve->mImpl->SetData(degree, xyz, poleCount, knots, mults, knotCount);
    return curve;
  }
  // A copy of source (sharing its modeler curve, which never changes) in factory.
  static VORCurve* Copy(VORGeoFactory* factory, const VORCurve* source) {
    VORCurve* curve = new VORCurve(factory);
    *curve->mImpl = *source->mImpl;
    return curve;
  }
};

#endif
