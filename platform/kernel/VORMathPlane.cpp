#include "VORMathPlane.h"

#include <cmath>

VORMathPlane::VORMathPlane(const VORMathPoint& origin, const VORMathVector& normal) : mOrigin(origin) {
  if (!origin.IsFinite() || !VORMathDirection::IsUsable(normal)) {
    MakeInvalid();
    return;
  }
  const VORMathDirection n(normal);
  // First direction: square to the normal and in the world XY plane, unless the normal is close to Z;
  // then it is the part of +X square to the normal, so that a plane z = c reads like the default plane.
  const VORMathVector nv = n.GetVector();
  const VORMathVector x(1.0, 0.0, 0.0);
  const VORMathVector first = std::fabs(n.GetZ()) < 0.9 ? VORMathVector(0.0, 0.0, 1.0).Cross(nv) : x - nv * x.Dot(nv);
  mFirst = VORMathDirection(first);
  mSecond = VORMathDirection(nv.Cross(mFirst.GetVector()));
  Finish();
}

VORMathPlane::VORMathPlane(const VORMathPoint& origin, const VORMathVector& firstDirection,
                           const VORMathVector& secondDirection)
    : mOrigin(origin) {
  if (!origin.IsFinite() || !VORMathDirection::IsUsable(firstDirection) ||
      !VORMathDirection::IsUsable(secondDirection)) {
    MakeInvalid();
    return;
  }
  mFirst = VORMathDirection(firstDirection);
  mSecond = VORMathDirection(secondDirection);
  Finish();
}

void VORMathPlane::Finish() {
  const VORMathVector a = mFirst.GetVector(), b = mSecond.GetVector();
  const VORMathVector c = a.Cross(b);
  const double sq = c.GetSquareNorm();
  // Directions closer than about 0.06 degrees to parallel span no usable plane.
  if (!(sq > 1e-12) || !std::isfinite(sq)) {
    MakeInvalid();
    return;
  }
  mNormal = VORMathDirection(c);
  const double ab = a.Dot(b);
  const double det = 1.0 - ab * ab;  // |a| = |b| = 1
  mG11 = 1.0 / det;
  mG12 = -ab / det;
  mG22 = 1.0 / det;
  mValid = true;
}

void VORMathPlane::MakeInvalid() {
  if (!mOrigin.IsFinite()) mOrigin = VORMathPoint();
  mFirst = VORMathDirection(1.0, 0.0, 0.0);
  mSecond = VORMathDirection(0.0, 1.0, 0.0);
  mNormal = VORMathDirection(0.0, 0.0, 1.0);
  mG11 = 1.0; mG12 = 0.0; mG22 = 1.0;
  mValid = false;
}

VORMathPoint VORMathPlane::Project(const VORMathPoint& point) const {
  const VORMathVector d = point - mOrigin;
  return point - mNormal.GetVector() * d.Dot(mNormal.GetVector());
}

void VORMathPlane::Project(const VORMathPoint& point, double& u, double& v) const {
  const VORMathVector d = point - mOrigin;
  const double pa = d.Dot(mFirst.GetVector());
  const double pb = d.Dot(mSecond.GetVector());
  u = mG11 * pa + mG12 * pb;
  v = mG12 * pa + mG22 * pb;
}

VORMathPoint VORMathPlane::EvalPoint(double u, double v) const {
  return mOrigin + mFirst.GetVector() * u + mSecond.GetVector() * v;
}
