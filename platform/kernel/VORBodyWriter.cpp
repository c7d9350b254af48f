#include "VORBodyWriter.h"

#include <cmath>
#include <cstdio>
#include <string>

#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepTools.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <STEPControl_Writer.hxx>
#include <Standard_Failure.hxx>
#include <StlAPI_Writer.hxx>
#include <unistd.h>

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
    BRepMesh_IncrementalMesh mesh(shape, deflection);
    if (!mesh.IsDone()) return false;
    StlAPI_Writer writer;
    writer.ASCIIMode() = false;
    return writer.Write(shape, file.c_str());
  });
}
