// The inside of a VORBody: the modeler's shape and the vertices handed out for it.
// Private to the kernel (never installed).
#ifndef VORBody_Impl_h
#define VORBody_Impl_h

#include <TopoDS_Shape.hxx>

#include "VORBody.h"

class VORVertex;

struct VORBody::Impl {
  TopoDS_Shape shape;
  // End vertices of a wire, made on first request; owned by the body and freed with it.
  VORVertex* startVertex = nullptr;
  VORVertex* endVertex = nullptr;
};

struct VORBodyAccess {
  using Impl = VORBody::Impl;  // the name other kernel sources use
  // A body of factory holding shape, not yet registered in the factory (VORGeoFactoryAccess::AddBody does).
  static VORBody* Create(VORGeoFactory* factory, const TopoDS_Shape& shape);
  static VORBody::Impl* Get(const VORBody* body) { return body ? body->mImpl.get() : nullptr; }
  static const TopoDS_Shape& Shape(const VORBody* body) { return body->mImpl->shape; }
};

#endif
