#include "TestStep.h"

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <STEPControl_Reader.hxx>

bool StepBoundingBox(const std::string& path, VORMathPoint& lo, VORMathPoint& hi) {
  STEPControl_Reader reader;
  if (reader.ReadFile(path.c_str()) != IFSelect_RetDone || reader.TransferRoots() <= 0) return false;
  Bnd_Box box;
  BRepBndLib::AddOptimal(reader.OneShape(), box, false, false);
  double x0, y0, z0, x1, y1, z1;
  box.Get(x0, y0, z0, x1, y1, z1);
  lo = VORMathPoint(x0, y0, z0);
  hi = VORMathPoint(x1, y1, z1);
  return true;
}
