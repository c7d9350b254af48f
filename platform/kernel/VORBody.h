// A topological body of the modeler (a wire, a shell, a solid), made by a VORGeoFactory, which owns it.
#ifndef VORBody_h
#define VORBody_h

#include <memory>

#include "TAQExport.h"
#include "VORMathPoint.h"

class VORGeoFactory;

class TAQ_EXPORT VORBody {
 public:
  enum Kind { Wire, Shell, Solid, Other };

  // Information
  Kind GetKind() const;
  int GetFaceCount() const;
  int GetEdgeCount() const;
  int GetVertexCount() const;
  // True when the modeler's checker finds the body valid.
  bool IsValid() const;
  // Axis-aligned bounding box; false for an empty body.
  bool GetBoundingBox(VORMathPoint& min, VORMathPoint& max) const;
  VORGeoFactory* GetFactory() const;

  VORBody(const VORBody&) = delete;
  VORBody& operator=(const VORBody&) = delete;

 private:
  friend class VORGeoFactory;
  friend struct VORBodyAccess;  // the platform's own code reaches the shape through it
  explicit VORBody(VORGeoFactory* factory);
  ~VORBody();

  struct TAQ_HIDDEN Impl;  // holds the shape
  std::unique_ptr<Impl> mImpl;
  VORGeoFactory* mFactory;
};

// A framework handle to a body: a plain, non-owning pointer that may be empty; releasing it frees nothing.
class TAQ_EXPORT VORBody_var {
 public:
  VORBody_var() = default;
  VORBody_var(VORBody* body) : mBody(body) {}  // NOLINT: a handle converts implicitly
  VORBody* operator->() const { return mBody; }
  VORBody* Get() const { return mBody; }
  operator VORBody*() const { return mBody; }
  bool IsNull() const { return mBody == nullptr; }
  void Release() { mBody = nullptr; }

 private:
  VORBody* mBody = nullptr;
};

#endif
