// A point in model space, three doubles in model units. The default point is the origin (0, 0, 0).
// Any double is stored as given; NaN and infinite coordinates propagate through the arithmetic as IEEE
// arithmetic does, and IsFinite tells such a point apart (the library refuses it at its boundary).
#ifndef VORMathPoint_h
#define VORMathPoint_h

#include <cmath>

#include "TAQExport.h"
#include "VORMathVector.h"

class TAQ_EXPORT VORMathPoint {
 public:
  VORMathPoint() = default;
  VORMathPoint(double x, double y, double z) : mX(x), mY(y), mZ(z) {}

  // Information
  double GetX() const { return mX; }
  double GetY() const { return mY; }
  double GetZ() const { return mZ; }
  void GetCoord(double& x, double& y, double& z) const { x = mX; y = mY; z = mZ; }
  bool IsFinite() const { return std::isfinite(mX) && std::isfinite(mY) && std::isfinite(mZ); }
  double SquareDistanceTo(const VORMathPoint& o) const {
    const double dx = mX - o.mX, dy = mY - o.mY, dz = mZ - o.mZ;
    return dx * dx + dy * dy + dz * dz;
  }
  double DistanceTo(const VORMathPoint& o) const { return std::sqrt(SquareDistanceTo(o)); }

  // Modification
  void SetX(double v) { mX = v; }
  void SetY(double v) { mY = v; }
  void SetZ(double v) { mZ = v; }
  void SetCoord(double x, double y, double z) { mX = x; mY = y; mZ = z; }

  // Arithmetic: point - point is a vector, point +/- vector is a point.
  VORMathVector operator-(const VORMathPoint& o) const { return VORMathVector(mX - o.mX, mY - o.mY, mZ - o.mZ); }
  VORMathPoint operator+(const VORMathVector& v) const { return VORMathPoint(mX + v.GetX(), mY + v.GetY(), mZ + v.GetZ()); }
  VORMathPoint operator-(const VORMathVector& v) const { return VORMathPoint(mX - v.GetX(), mY - v.GetY(), mZ - v.GetZ()); }
  VORMathPoint& operator+=(const VORMathVector& v) { mX += v.GetX(); mY += v.GetY(); mZ += v.GetZ(); return *this; }
  bool operator==(const VORMathPoint& o) const { return mX == o.mX && mY == o.mY && mZ == o.mZ; }
  bool operator!=(const VORMathPoint& o) const { return !(*this == o); }

 private:
  double mX = 0.0;
  double mY = 0.0;
  double mZ = 0.0;
};

#endif
