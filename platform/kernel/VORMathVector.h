// A vector of three doubles, in model units. A plain value; every operation is defined for any input
// (non-finite components propagate as IEEE arithmetic does; IsFinite tells them apart).
#ifndef VORMathVector_h
#define VORMathVector_h

#include <cmath>

#include "TAQExport.h"

class TAQ_EXPORT VORMathVector {
 public:
  VORMathVector() = default;
  VORMathVector(double x, double y, double z) : mX(x), mY(y), mZ(z) {}

  // Information
  double GetX() const { return mX; }
  double GetY() const { return mY; }
  double GetZ() const { return mZ; }
  void GetCoord(double& x, double& y, double& z) const { x = mX; y = mY; z = mZ; }
  double GetSquareNorm() const { return mX * mX + mY * mY + mZ * mZ; }
  double GetNorm() const { return std::sqrt(GetSquareNorm()); }
  bool IsFinite() const { return std::isfinite(mX) && std::isfinite(mY) && std::isfinite(mZ); }

  // Modification
  void SetX(double v) { mX = v; }
  void SetY(double v) { mY = v; }
  void SetZ(double v) { mZ = v; }
  void SetCoord(double x, double y, double z) { mX = x; mY = y; mZ = z; }

  // Arithmetic
  double Dot(const VORMathVector& o) const { return mX * o.mX + mY * o.mY + mZ * o.mZ; }
  VORMathVector Cross(const VORMathVector& o) const {
    return VORMathVector(mY * o.mZ - mZ * o.mY, mZ * o.mX - mX * o.mZ, mX * o.mY - mY * o.mX);
  }
  VORMathVector operator+(const VORMathVector& o) const { return VORMathVector(mX + o.mX, mY + o.mY, mZ + o.mZ); }
  VORMathVector operator-(const VORMathVector& o) const { return VORMathVector(mX - o.mX, mY - o.mY, mZ - o.mZ); }
  VORMathVector operator-() const { return VORMathVector(-mX, -mY, -mZ); }
  VORMathVector operator*(double s) const { return VORMathVector(mX * s, mY * s, mZ * s); }
  VORMathVector operator/(double s) const { return VORMathVector(mX / s, mY / s, mZ / s); }
  VORMathVector& operator+=(const VORMathVector& o) { mX += o.mX; mY += o.mY; mZ += o.mZ; return *this; }
  VORMathVector& operator-=(const VORMathVector& o) { mX -= o.mX; mY -= o.mY; mZ -= o.mZ; return *this; }
  VORMathVector& operator*=(double s) { mX *= s; mY *= s; mZ *= s; return *this; }
  bool operator==(const VORMathVector& o) const { return mX == o.mX && mY == o.mY && mZ == o.mZ; }
  bool operator!=(const VORMathVector& o) const { return !(*this == o); }

 private:
  double mX = 0.0;
  double mY = 0.0;
  double mZ = 0.0;
};

inline VORMathVector operator*(double s, const VORMathVector& v) { return v * s; }

#endif
