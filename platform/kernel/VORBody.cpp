#include "VORBody.h"

#include <BRepBndLib.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <Bnd_Box.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

#include "VORBody_Impl.h"
#include "VORVertex_Impl.h"

namespace {

int CountOf(const TopoDS_Shape& shape, TopAbs_ShapeEnum type) {
  if (shape.IsNull()) return 0;
  TopTools_IndexedMapOfShape map;
  TopExp::MapShapes(shape, type, map);
  return map.Extent();
}

}  // namespace

VORBody::VORBody(VORGeoFactory* factory) : mImpl(new Impl), mFactory(factory) {}

VORBody::~VORBody() {
  VORVertexAccess::Destroy(mImpl->startVertex);
  VORVertexAccess::Destroy(mImpl->endVertex);
}

VORBody::Kind VORBody::GetKind() const {
  if (mImpl->shape.IsNull()) return Other;
  switch (mImpl->shape.ShapeType()) {
    case TopAbs_WIRE: return Wire;
    case TopAbs_SHELL: return Shell;
    case TopAbs_SOLID: return Solid;
    default: return Other;
  }
}

int VORBody::GetFaceCount() const { return CountOf(mImpl->shape, TopAbs_FACE); }

int VORBody::GetEdgeCount() const { return CountOf(mImpl->shape, TopAbs_EDGE); }

int VORBody::GetVertexCount() const { return CountOf(mImpl->shape, TopAbs_VERTEX); }

bool VORBody::IsValid() const {
  if (mImpl->shape.IsNull()) return false;
  try {
    return BRepCheck_Analyzer(mImpl->shape).IsValid();
  } catch (const Standard_Failure&) {
    return false;
  }
}

bool VORBody::GetBoundingBox(VORMathPoint& min, VORMathPoint& max) const {
  if (mImpl->shape.IsNull()) return false;
  try {
    Bnd_Box box;
    BRepBndLib::AddOptimal(mImpl->shape, box, false, false);
    if (box.IsVoid()) return false;
    double x0, y0, z0, x1, y1, z1;
    box.Get(x0, y0, z0, x1, y1, z1);
    min.SetCoord(x0, y0, z0);
    max.SetCoord(x1, y1, z1);
    return true;
  } catch (const Standard_Failure&) {
    return false;
  }
}

VORGeoFactory* VORBody::GetFactory() const { return mFactory; }

VORBody* VORBodyAccess::Create(VORGeoFactory* factory, const TopoDS_Shape& shape) {
  VORBody* body = new VORBody(factory);
  body->mImpl->shape = shape;
  return body;
}
