#include "TAQMoWire.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <BRepAdaptor_Curve.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepTools_WireExplorer.hxx>
#include <BRep_Builder.hxx>
#include <Precision.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Vertex.hxx>
#include <TopoDS_Wire.hxx>

#include "VORBody_Impl.h"
#include "VORCurve.h"
#include "VORCurve_Impl.h"
#include "VORMathDirection.h"
#include "VORGeoFactory_Impl.h"
#include "VORVertex_Impl.h"

namespace {

// A vertex at the middle of two curve ends, with a tolerance that covers both.
TopoDS_Vertex JointVertex(const gp_Pnt& a, const gp_Pnt& b) {
  const gp_Pnt mid((a.XYZ() + b.XYZ()) * 0.5);
  TopoDS_Vertex v = BRepBuilderAPI_MakeVertex(mid);
  const double tol = std::max(Precision::Confusion(), 0.5 * a.Distance(b) * 1.01);
  if (tol > Precision::Confusion()) BRep_Builder().UpdateVertex(v, tol);
  return v;
}

}  // namespace

VORBody_var TAQMoWire::MakeWireFromCurves(const VORGeoFactory_var& factory, VORListPtrVORCurve& curves,
                                          VORRawCollint orientations, VORTopData* /*topData*/, bool closed) {
  VORGeoFactory* f = factory.Get();
  const int n = curves.Size();
  if (!f || n == 0) return VORBody_var();
  if (orientations.Size() != 0 && orientations.Size() != n) return VORBody_var();
  const double res = f->GetResolution();
  // Oriented ends of each curve.
  std::vector<gp_Pnt> heads(n), tails(n);
  std::vector<bool> reversed(n, false);
  for (int i = 0; i < n; ++i) {
    const VORCurve* c = curves[i + 1];
    if (!c) return VORBody_var();
    const int o = orientations.Size() ? orientations[i + 1] : 1;
    if (o != 1 && o != -1) return VORBody_var();
    reversed[i] = o == -1;
    const VORMathPoint s = c->EvalPoint(c->GetStartLimit()), e = c->EvalPoint(c->GetEndLimit());
    if (!s.IsFinite() || !e.IsFinite()) return VORBody_var();
    const gp_Pnt gs(s.GetX(), s.GetY(), s.GetZ()), ge(e.GetX(), e.GetY(), e.GetZ());
    heads[i] = reversed[i] ? ge : gs;
    tails[i] = reversed[i] ? gs : ge;
  }
  for (int i = 0; i + 1 < n; ++i)
    if (tails[i].Distance(heads[i + 1]) > res) return VORBody_var();
  if (closed && tails[n - 1].Distance(heads[0]) > res) return VORBody_var();
  try {
    // Joints shared by the edges that meet there, so that the wire is connected by construction.
    std::vector<TopoDS_Vertex> joints(n + 1);
    joints[0] = closed ? JointVertex(tails[n - 1], heads[0]) : JointVertex(heads[0], heads[0]);
    for (int i = 1; i < n; ++i) joints[i] = JointVertex(tails[i - 1], heads[i]);
    joints[n] = closed ? joints[0] : JointVertex(tails[n - 1], tails[n - 1]);
    BRepBuilderAPI_MakeWire wire;
    for (int i = 0; i < n; ++i) {
      const VORCurve* c = curves[i + 1];
      const Handle(Geom_Curve) geom = Handle(Geom_Curve)(VORCurveAccess::Curve(c));
      if (geom.IsNull()) return VORBody_var();
      const double u0 = c->GetStartLimit().GetParam(), u1 = c->GetEndLimit().GetParam();
      // The edge follows the curve's own parameter; a reversed one is the same edge turned round.
      const TopoDS_Vertex& atStart = reversed[i] ? joints[i + 1] : joints[i];
      const TopoDS_Vertex& atEnd = reversed[i] ? joints[i] : joints[i + 1];
      BRepBuilderAPI_MakeEdge edge(geom, atStart, atEnd, u0, u1);
      if (!edge.IsDone()) return VORBody_var();
      TopoDS_Edge e = edge.Edge();
      if (reversed[i]) e.Reverse();
      wire.Add(e);
      if (!wire.IsDone()) return VORBody_var();
    }
    return VORBody_var(VORGeoFactoryAccess::AddBody(f, wire.Wire()));
  } catch (const Standard_Failure&) {
    return VORBody_var();
  }
}

int TAQMoWire::GetWireBodyEndVertices(VORBody* body, VORVertex*& start, VORVertex*& end, VORMathVector* startTangent,
                                      VORMathVector* endTangent) {
  VORBodyAccess::Impl* impl = VORBodyAccess::Get(body);
  if (!impl || impl->shape.IsNull() || impl->shape.ShapeType() != TopAbs_WIRE) return 0;
  try {
    const TopoDS_Wire& wire = TopoDS::Wire(impl->shape);
    TopoDS_Edge firstEdge, lastEdge;
    for (BRepTools_WireExplorer ex(wire); ex.More(); ex.Next()) {
      if (firstEdge.IsNull()) firstEdge = ex.Current();
      lastEdge = ex.Current();
    }
    if (firstEdge.IsNull()) return 0;
    if (!impl->startVertex) {
      impl->startVertex = VORVertexAccess::Create(TopExp::FirstVertex(firstEdge, true));
      impl->endVertex = VORVertexAccess::Create(TopExp::LastVertex(lastEdge, true));
    }
    if (!impl->startVertex || !impl->endVertex) return 0;
    // Unit tangent where the wire starts and where it ends, in the wire's own direction.
    auto tangent = [](const TopoDS_Edge& e, bool atStart) {
      BRepAdaptor_Curve c(e);
      const bool forward = e.Orientation() != TopAbs_REVERSED;
      const double u = (atStart == forward) ? c.FirstParameter() : c.LastParameter();
      gp_Pnt p;
      gp_Vec d;
      c.D1(u, p, d);
      if (!forward) d.Reverse();
      return VORMathDirection(VORMathVector(d.X(), d.Y(), d.Z())).GetVector();
    };
    if (startTangent) *startTangent = tangent(firstEdge, true);
    if (endTangent) *endTangent = tangent(lastEdge, false);
    start = impl->startVertex;
    end = impl->endVertex;
    return 1;
  } catch (const Standard_Failure&) {
    return 0;
  }
}
