#include "VORBodyWriter.h"

#include <cmath>
#include <cstdio>
#include <string>

#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <GCPnts_QuasiUniformDeflection.hxx>
#include <GeomAdaptor_Curve.hxx>
#include <Geom_RectangularTrimmedSurface.hxx>
#include <Geom_SurfaceOfLinearExtrusion.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Poly_Triangulation.hxx>
#include <STEPControl_Writer.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <vector>

#include "VORBody.h"
#include "VORBody_Impl.h"
#include "VORGeoFactory_Impl.h"

namespace {

// Writes through a temporary file beside path, renamed over path only when write succeeded, so that a
// failure never leaves a partial file.
template <class Write>
bool WriteAtomically(const VORBody* body, const char* path, Write write) {
  if (!body || !path || !*path) return false;
  const TopoDS_Shape& shape = VORBodyAccess::Shape(body);
  if (shape.IsNull()) return false;
  VORSilenceModeler();
  const std::string target(path);
  const std::string temporary = target + ".part" + std::to_string(static_cast<long>(getpid()));
  bool ok = false;
  try {
    ok = write(shape, temporary);
  } catch (const Standard_Failure&) {
    ok = false;
  }
  if (ok) ok = std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

using Triangle = std::array<gp_Pnt, 3>;

// A face swept along a straight direction (the side of an extruded stroke) as one strip: its profile
// curve cut into chords within deflection, two triangles per chord, wound so that the right-hand normal
// is the face's outer side. False when the face is not such a sweep.
bool StripOfSweptFace(const TopoDS_Face& face, double deflection, std::vector<Triangle>& triangles) {
  TopLoc_Location location;
  Handle(Geom_Surface) surface = BRep_Tool::Surface(face, location);
  if (auto trimmed = Handle(Geom_RectangularTrimmedSurface)::DownCast(surface)) surface = trimmed->BasisSurface();
  const auto swept = Handle(Geom_SurfaceOfLinearExtrusion)::DownCast(surface);
  if (swept.IsNull()) return false;
  double u1 = 0, u2 = 0, v1 = 0, v2 = 0;
  BRepTools::UVBounds(face, u1, u2, v1, v2);
  GeomAdaptor_Curve profile(swept->BasisCurve(), u1, u2);
  GCPnts_QuasiUniformDeflection chords(profile, deflection, u1, u2);
  if (!chords.IsDone() || chords.NbPoints() < 2) return false;
  const gp_Vec along(swept->Direction());
  const gp_Trsf place = location.Transformation();
  const bool reversed = face.Orientation() == TopAbs_REVERSED;
  for (int i = 1; i < chords.NbPoints(); ++i) {
    const gp_Pnt a = chords.Value(i), b = chords.Value(i + 1);
    const gp_Pnt a1 = a.Translated(along * v1).Transformed(place), b1 = b.Translated(along * v1).Transformed(place);
    const gp_Pnt a2 = a.Translated(along * v2).Transformed(place), b2 = b.Translated(along * v2).Transformed(place);
    // Along the profile (u) then along the sweep (v): du x dv is the surface's normal.
    triangles.push_back(reversed ? Triangle{a1, b2, b1} : Triangle{a1, b1, b2});
    triangles.push_back(reversed ? Triangle{a1, a2, b2} : Triangle{a1, b2, a2});
  }
  return true;
}

// Any other face, meshed within deflection (the shape is meshed once, on first need).
bool MeshOfFace(const TopoDS_Shape& shape, const TopoDS_Face& face, double deflection, bool& meshed,
                std::vector<Triangle>& triangles) {
  if (!meshed) {
    BRepMesh_IncrementalMesh mesh(shape, deflection);
    if (!mesh.IsDone()) return false;
    meshed = true;
  }
  TopLoc_Location location;
  const Handle(Poly_Triangulation) mesh = BRep_Tool::Triangulation(face, location);
  if (mesh.IsNull()) return false;
  const gp_Trsf place = location.Transformation();
  const bool reversed = face.Orientation() == TopAbs_REVERSED;
  for (int t = 1; t <= mesh->NbTriangles(); ++t) {
    int n1 = 0, n2 = 0, n3 = 0;
    mesh->Triangle(t).Get(n1, n2, n3);
    if (reversed) std::swap(n2, n3);
    triangles.push_back(Triangle{mesh->Node(n1).Transformed(place), mesh->Node(n2).Transformed(place),
                                 mesh->Node(n3).Transformed(place)});
  }
  return true;
}

// Binary STL; each facet's normal from its winding. Degenerate facets (no area) are left out.
bool WriteBinarySTL(const std::vector<Triangle>& triangles, const std::string& file) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) return false;
  char header[80] = "binary STL";
  std::vector<float> facets;
  facets.reserve(triangles.size() * 12);
  for (const Triangle& t : triangles) {
    const gp_Vec n = gp_Vec(t[0], t[1]).Crossed(gp_Vec(t[0], t[2]));
    const double area2 = n.Magnitude();
    if (!(area2 > 1e-300) || !std::isfinite(area2)) continue;
    for (double c : {n.X() / area2, n.Y() / area2, n.Z() / area2}) facets.push_back(static_cast<float>(c));
    for (const gp_Pnt& p : t)
      for (double c : {p.X(), p.Y(), p.Z()}) facets.push_back(static_cast<float>(c));
  }
  const std::uint32_t count = static_cast<std::uint32_t>(facets.size() / 12);
  bool ok = std::fwrite(header, 1, 80, f) == 80 && std::fwrite(&count, 4, 1, f) == 1;
  const std::uint16_t attributes = 0;
  for (std::uint32_t i = 0; ok && i < count; ++i)
    ok = std::fwrite(&facets[i * 12], sizeof(float), 12, f) == 12 && std::fwrite(&attributes, 2, 1, f) == 1;
  return std::fclose(f) == 0 && ok && count > 0;
}

}  // namespace

bool VORBodyWriter::WriteSTEP(const VORBody* body, const char* path) {
  return WriteAtomically(body, path, [](const TopoDS_Shape& shape, const std::string& file) {
    Interface_Static::SetCVal("write.step.schema", "AP214IS");
    STEPControl_Writer writer;
    if (writer.Transfer(shape, STEPControl_AsIs) != IFSelect_RetDone) return false;
    return writer.Write(file.c_str()) == IFSelect_RetDone;
  });
}

bool VORBodyWriter::WriteBREP(const VORBody* body, const char* path) {
  return WriteAtomically(body, path, [](const TopoDS_Shape& shape, const std::string& file) {
    return BRepTools::Write(shape, file.c_str());
  });
}

bool VORBodyWriter::WriteSTL(const VORBody* body, const char* path, double deflection) {
  if (!std::isfinite(deflection) || !(deflection > 0.0)) return false;
  return WriteAtomically(body, path, [deflection](const TopoDS_Shape& shape, const std::string& file) {
    std::vector<Triangle> triangles;
    bool meshed = false;
    for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
      const TopoDS_Face& face = TopoDS::Face(e.Current());
      if (!StripOfSweptFace(face, deflection, triangles) && !MeshOfFace(shape, face, deflection, meshed, triangles))
        return false;
    }
    return WriteBinarySTL(triangles, file);
  });
}
