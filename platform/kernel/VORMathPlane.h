// A plane: an origin and two unit directions (the first and second axis of its plane coordinates u, v).
// The directions need not be square to each other; the normal is their normalised cross product.
//
// The default plane is the plane z = 0: origin (0, 0, 0), directions (1, 0, 0) and (0, 1, 0).
// A plane built from a zero or non-finite normal, a zero or non-finite direction, or two directions within
// about 0.06 degrees of parallel gets the default directions and normal (0, 0, 1) and reports IsValid()
// false; a non-finite origin is replaced by (0, 0, 0) the same way. Such a plane still answers every query
// with finite values for finite points, so nothing undefined happens, and the library refuses it where it
// needs a plane. A query with a NaN or infinite point or plane coordinate gives non-finite results (IEEE
// arithmetic), never undefined behaviour.
#ifndef VORMathPlane_h
#define VORMathPlane_h

#include "TAQExport.h"
#include "VORMathDirection.h"
#include "VORMathPoint.h"
#include "VORMathPoint2D.h"
#include "VORMathVector.h"

class TAQ_EXPORT VORMathPlane {
 public:
  // Creation
  VORMathPlane() = default;
  // The plane through origin square to normal; its directions are an orthonormal pair chosen from the
  // normal (the first one lies in the world XY plane whenever the normal is not along Z).
  VORMathPlane(const VORMathPoint& origin, const VORMathVector& normal);
  // The plane through origin spanned by the two directions (normalised by the unit direction rule).
  VORMathPlane(const VORMathPoint& origin, const VORMathVector& firstDirection, const VORMathVector& secondDirection);

  // Information
  VORMathPoint GetOrigin() const { return mOrigin; }
  VORMathDirection GetNormal() const { return mNormal; }
  void GetDirections(VORMathDirection& first, VORMathDirection& second) const { first = mFirst; second = mSecond; }
  bool IsValid() const { return mValid; }

  // The foot of point on the plane (along the normal).
  VORMathPoint Project(const VORMathPoint& point) const;
  // The plane coordinates (u, v) of the foot of point: foot = origin + u * first + v * second.
  void Project(const VORMathPoint& point, double& u, double& v) const;
  // origin + u * first + v * second.
  VORMathPoint EvalPoint(double u, double v) const;

 private:
  void Finish();
  void MakeInvalid();

  VORMathPoint mOrigin;
  VORMathDirection mFirst = VORMathDirection(1.0, 0.0, 0.0);
  VORMathDirection mSecond = VORMathDirection(0.0, 1.0, 0.0);
  VORMathDirection mNormal = VORMathDirection(0.0, 0.0, 1.0);
  // Inverse of the Gram matrix of the two directions, for plane coordinates of skew frames.
  double mG11 = 1.0, mG12 = 0.0, mG22 = 1.0;
  bool mValid = true;
};

#endif
