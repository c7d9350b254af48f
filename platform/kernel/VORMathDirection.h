// A unit vector. Made from any vector by the library's unit direction rule: a vector of squared length
// exactly 1.0 is kept as it is, a zero vector gives (1, 0, 0), any other is divided by its length. A
// finite vector too long or too short for its squared length to be a normal double (components beyond
// about 1e154 or below 1e-154) is scaled by its largest component first, so it still gives its own
// direction. A vector with a NaN or infinite component gives (1, 0, 0): a direction is always a finite
// unit vector. The default direction is (1, 0, 0).
#ifndef VORMathDirection_h
#define VORMathDirection_h

#include <cfloat>
#include <cmath>

#include "TAQExport.h"
#include "VORMathVector.h"

class TAQ_EXPORT VORMathDirection {
 public:
  VORMathDirection() = default;
  VORMathDirection(double x, double y, double z) { Set(VORMathVector(x, y, z)); }
  explicit VORMathDirection(const VORMathVector& v) { Set(v); }

  // True when v yields itself scaled, false when the rule falls back on (1, 0, 0) for a zero or
  // non-finite vector. Lets callers refuse a degenerate direction instead of using the fallback.
  static bool IsUsable(const VORMathVector& v) {
    return v.IsFinite() && (v.GetX() != 0.0 || v.GetY() != 0.0 || v.GetZ() != 0.0);
  }

  double GetX() const { return mX; }
  double GetY() const { return mY; }
  double GetZ() const { return mZ; }
  void GetCoord(double& x, double& y, double& z) const { x = mX; y = mY; z = mZ; }
  VORMathVector GetVector() const { return VORMathVector(mX, mY, mZ); }
  operator VORMathVector() const { return GetVector(); }
  double Dot(const VORMathVector& v) const { return mX * v.GetX() + mY * v.GetY() + mZ * v.GetZ(); }
  VORMathDirection operator-() const { VORMathDirection d; d.mX = -mX; d.mY = -mY; d.mZ = -mZ; return d; }
  bool operator==(const VORMathDirection& o) const { return mX == o.mX && mY == o.mY && mZ == o.mZ; }
  bool operator!=(const VORMathDirection& o) const { return !(*this == o); }

  // Applies the unit direction rule to v.
  void Set(const VORMathVector& v) {
    const double sq = v.GetSquareNorm();
    if (sq == 1.0) {
      mX = v.GetX(); mY = v.GetY(); mZ = v.GetZ();
      return;
    }
    if (!IsUsable(v)) {
      mX = 1.0; mY = 0.0; mZ = 0.0;
      return;
    }
    double x = v.GetX(), y = v.GetY(), z = v.GetZ();
    if (!(sq >= DBL_MIN) || !std::isfinite(sq)) {
      // The squared length over- or underflowed: bring the largest component to 1 first.
      const double m = std::fmax(std::fabs(x), std::fmax(std::fabs(y), std::fabs(z)));
      x /= m; y /= m; z /= m;
    }
    const double n = std::sqrt(x * x + y * y + z * z);
    mX = x / n; mY = y / n; mZ = z / n;
  }

 private:
  double mX = 1.0;
  double mY = 0.0;
  double mZ = 0.0;
};

#endif
