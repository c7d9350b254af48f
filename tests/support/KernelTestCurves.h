// Curves the kernel tests build directly in a factory, without the fitter.
#ifndef KernelTestCurves_h
#define KernelTestCurves_h

#include "VORCurve.h"
#include "VORGeoFactory.h"
#include "VORListValVORMathPoint.h"
#include "VORRawColldouble.h"
#include "VORRawCollint.h"

// A clamped B-spline of degree whose poles are points, with uniform inner knots on [0, 1]. Drawn points
// as poles give a smooth curve that follows the stroke closely (about a pen sample away at most).
inline VORCurve* MakeUniformBSpline(VORGeoFactory& factory, const VORListValVORMathPoint& points, int degree = 3) {
  const int n = points.Size();
  const int spans = n - degree;
  if (spans < 1) return nullptr;
  VORRawColldouble knots;
  VORRawCollint mults;
  for (int i = 0; i <= spans; ++i) {
    knots.Append(static_cast<double>(i) / spans);
    mults.Append(i == 0 || i == spans ? degree + 1 : 1);
  }
  return factory.CreateBSplineCurve(degree, points, knots, mults);
}

// A straight cubic from a to b (poles evenly spaced, so the parameter runs at constant speed).
inline VORCurve* MakeLine(VORGeoFactory& factory, const VORMathPoint& a, const VORMathPoint& b) {
  VORListValVORMathPoint poles;
  for (int i = 0; i < 4; ++i) poles.Append(a + (b - a) * (i / 3.0));
  return MakeUniformBSpline(factory, poles);
}

#endif
