// The inside of a VORVertex: the modeler's vertex and its point. Private to the kernel (never installed).
#ifndef VORVertex_Impl_h
#define VORVertex_Impl_h

#include <TopoDS_Vertex.hxx>

#include "VORVertex.h"

struct VORVertex::Impl {
  TopoDS_Vertex vertex;
  VORMathPoint point;
};

struct VORVertexAccess {
  static VORVertex* Create(const TopoDS_Vertex& vertex);
  static void Destroy(VORVertex* vertex) { delete vertex; }
  static const TopoDS_Vertex& Vertex(const VORVertex* vertex) { return vertex->mImpl->vertex; }
};

#endif
