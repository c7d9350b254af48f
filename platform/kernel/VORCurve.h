// A curve of the geometric modeler: a cubic (or higher degree) B-spline, or a trimmed copy of one.
// Curves are made by a VORGeoFactory, which owns them; callers hold plain pointers and never delete one
// (VORGeoFactory::Remove does). Parameters are the curve's own parameter values.
#ifndef VORCurve_h
#define VORCurve_h

#include <memory>

#include "TAQExport.h"
#include "VORCrvParam.h"
#include "VORListValVORMathPoint.h"
#include "VORMathPoint.h"
#include "VORMathVector.h"

class VORGeoFactory;

class TAQ_EXPORT VORCurve {
 public:
  // Information
  VORCrvParam GetStartLimit() const;
  VORCrvParam GetEndLimit() const;
  // A parameter from a value (clamped to the limits).
  VORCrvParam CreateParam(double value) const;
  VORMathPoint EvalPoint(const VORCrvParam& p) const;
  VORMathVector EvalFirstDerivative(const VORCrvParam& p) const;
  // Point and first derivative in one evaluation (the hot path of tessellation and projection).
  void Eval(const VORCrvParam& p, VORMathPoint& point, VORMathVector* derivative) const;
  // The factory that made the curve and owns it.
  VORGeoFactory* GetFactory() const;
  int GetDegree() const;
  // Control points of the underlying B-spline, in order.
  int GetPoleCount() const;
  void GetPoles(VORListValVORMathPoint& poles) const;

  VORCurve(const VORCurve&) = delete;
  VORCurve& operator=(const VORCurve&) = delete;

 private:
  friend class VORGeoFactory;
  friend struct VORCurveAccess;  // the platform's own code reaches the B-spline through it
  explicit VORCurve(VORGeoFactory* factory);
  ~VORCurve();

  struct TAQ_HIDDEN Impl;  // holds the B-spline handle
  std::unique_ptr<Impl> mImpl;
  VORGeoFactory* mFactory;
};

#endif
