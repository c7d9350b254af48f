// The geometric modeler's factory: creates curves and bodies, owns every one it made until it is asked to
// remove it or is destroyed (then it frees all it still holds), and answers its length resolution.
#ifndef VORGeoFactory_h
#define VORGeoFactory_h

#include <memory>

#include "TAQExport.h"
#include "VORListPtrVORCurve.h"
#include "VORListValVORMathPoint.h"
#include "VORRawColldouble.h"
#include "VORRawCollint.h"

class VORBody;
class VORCurve;

class TAQ_EXPORT VORGeoFactory {
 public:
  // Creation. resolution: the smallest length the factory tells apart, in model units (0.001 by default).
  explicit VORGeoFactory(double resolution = 0.001);
  ~VORGeoFactory();
  VORGeoFactory(const VORGeoFactory&) = delete;
  VORGeoFactory& operator=(const VORGeoFactory&) = delete;

  // Information
  double GetResolution() const;
  int GetCurveCount() const;           // curves held now
  int GetBodyCount() const;            // bodies held now
  long long GetCreatedCurveCount() const;  // curves made since construction (clones included)
  long long GetCreatedBodyCount() const;
  bool Contains(const VORCurve* curve) const;
  bool Contains(const VORBody* body) const;
  void GetCurves(VORListPtrVORCurve& curves) const;  // every curve held now, oldest first

  // Curves. A B-spline from its degree (1 to 25), poles, distinct ascending knots and their
  // multiplicities (end multiplicities degree + 1 for a clamped curve). Null when the data do not make a
  // valid B-spline (wrong counts, non-finite poles, knots not ascending).
  VORCurve* CreateBSplineCurve(int degree, const VORListValVORMathPoint& poles, const VORRawColldouble& knots,
                               const VORRawCollint& multiplicities);
  // A copy of curve in this factory (null for a null curve).
  VORCurve* CloneCurve(const VORCurve* curve);

  // Removal: frees the object. option is kept for the framework's signature; 0 is the only value used.
  // Removing an object the factory does not hold does nothing.
  void Remove(VORCurve* curve, int option = 0);
  void Remove(VORBody* body, int option = 0);

 private:
  friend struct VORGeoFactoryAccess;  // the platform's own code registers bodies through it
  struct TAQ_HIDDEN Impl;
  std::unique_ptr<Impl> mImpl;
};

// A framework handle to a factory: a plain, non-owning pointer that may be empty.
class TAQ_EXPORT VORGeoFactory_var {
 public:
  VORGeoFactory_var() = default;
  VORGeoFactory_var(VORGeoFactory* factory) : mFactory(factory) {}  // NOLINT: a handle converts implicitly
  VORGeoFactory* operator->() const { return mFactory; }
  VORGeoFactory* Get() const { return mFactory; }
  operator VORGeoFactory*() const { return mFactory; }
  bool IsNull() const { return mFactory == nullptr; }

 private:
  VORGeoFactory* mFactory = nullptr;
};

#endif
