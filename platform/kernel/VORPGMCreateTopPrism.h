// The prism operator: extrudes a profile body (a wire) along a direction from a start length to an end
// length. Made by VORPGMCreateTopPrism, then Run (which raises VORError when the modeler fails), then the
// result body is read with GetResult, then the operator is released with Release.
#ifndef VORPGMCreateTopPrism_h
#define VORPGMCreateTopPrism_h

#include "TAQExport.h"
#include "VORMathVector.h"

class VORBody;
class VORGeoFactory;
class VORTopData;

class TAQ_EXPORT VORTopPrism {
 public:
  // Builds the prism in the factory; raises VORError on failure (the result then stays null).
  void Run();
  // The prism body, owned by the factory; null before a successful Run.
  VORBody* GetResult() const { return mResult; }
  // Frees the operator (not the result body).
  void Release();

  VORTopPrism(const VORTopPrism&) = delete;
  VORTopPrism& operator=(const VORTopPrism&) = delete;

 private:
  friend TAQ_EXPORT VORTopPrism* VORPGMCreateTopPrism(VORGeoFactory*, VORTopData*, VORBody*,
                                                      const VORMathVector&, double, double);
  VORTopPrism(VORGeoFactory* factory, VORBody* profile, const VORMathVector& direction, double start, double end);
  ~VORTopPrism();

  VORGeoFactory* mFactory;
  VORBody* mProfile;
  VORMathVector mDirection;
  double mStart;
  double mEnd;
  VORBody* mResult = nullptr;
};

// Null for a null factory, topData or profile, or a zero or non-finite direction.
TAQ_EXPORT VORTopPrism* VORPGMCreateTopPrism(VORGeoFactory* factory, VORTopData* topData, VORBody* profile,
                                             const VORMathVector& direction, double startLength, double endLength);

#endif
