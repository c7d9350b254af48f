// A straight line: an origin and a vector. Parameter t gives origin + t * vector, so a line built from two
// points has parameter 0 at the first and 1 at the second. A line whose vector is zero, non-finite, or so
// long that its squared length overflows projects every point onto its origin (parameter 0). A NaN point
// projects to a NaN parameter (IEEE arithmetic), never undefined behaviour.
#ifndef VORMathLine_h
#define VORMathLine_h

#include "TAQExport.h"
#include "VORMathPoint.h"
#include "VORMathVector.h"

class TAQ_EXPORT VORMathLine {
 public:
  VORMathLine() = default;
  VORMathLine(const VORMathPoint& from, const VORMathPoint& to) : mOrigin(from), mVector(to - from) {}
  VORMathLine(const VORMathPoint& origin, const VORMathVector& vector) : mOrigin(origin), mVector(vector) {}

  VORMathPoint GetOrigin() const { return mOrigin; }
  VORMathVector GetVector() const { return mVector; }

  // The foot of point on the line.
  VORMathPoint Project(const VORMathPoint& point) const { return EvalPoint(ProjectParam(point)); }
  // The parameter of the foot of point.
  void Project(const VORMathPoint& point, double& t) const { t = ProjectParam(point); }
  VORMathPoint EvalPoint(double t) const { return mOrigin + mVector * t; }

 private:
  double ProjectParam(const VORMathPoint& point) const {
    const double sq = mVector.GetSquareNorm();
    if (!(sq > 0.0) || !std::isfinite(sq)) return 0.0;
    return (point - mOrigin).Dot(mVector) / sq;
  }

  VORMathPoint mOrigin;
  VORMathVector mVector = VORMathVector(1.0, 0.0, 0.0);
};

#endif
