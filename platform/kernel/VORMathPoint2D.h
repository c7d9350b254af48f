// A point in plane coordinates (u along a plane's first direction, v along its second), in model units.
#ifndef VORMathPoint2D_h
#define VORMathPoint2D_h

#include <cmath>

#include "TAQExport.h"

class TAQ_EXPORT VORMathPoint2D {
 public:
  VORMathPoint2D() = default;
  VORMathPoint2D(double x, double y) : mX(x), mY(y) {}

  double GetX() const { return mX; }
  double GetY() const { return mY; }
  void GetCoord(double& x, double& y) const { x = mX; y = mY; }
  void SetCoord(double x, double y) { mX = x; mY = y; }
  bool IsFinite() const { return std::isfinite(mX) && std::isfinite(mY); }
  bool operator==(const VORMathPoint2D& o) const { return mX == o.mX && mY == o.mY; }
  bool operator!=(const VORMathPoint2D& o) const { return !(*this == o); }

 private:
  double mX = 0.0;
  double mY = 0.0;
};

#endif
