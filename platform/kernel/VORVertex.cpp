#include "VORVertex.h"

#include <BRep_Tool.hxx>
#include <Standard_Failure.hxx>

#include "VORVertex_Impl.h"

VORVertex::VORVertex() : mImpl(new Impl) {}

VORVertex::~VORVertex() = default;

VORMathPoint VORVertex::GetPoint() const { return mImpl->point; }

VORVertex* VORVertexAccess::Create(const TopoDS_Vertex& vertex) {
  if (vertex.IsNull()) return nullptr;
  VORVertex* v = new VORVertex;
  v->mImpl->vertex = vertex;
  const gp_Pnt p = BRep_Tool::Pnt(vertex);
  v->mImpl->point.SetCoord(p.X(), p.Y(), p.Z());
  return v;
}
