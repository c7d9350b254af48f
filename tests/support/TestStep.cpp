#include "TestStep.h"

#include <cmath>

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <STEPControl_Reader.hxx>

::testing::AssertionResult StepHasBox(const std::string& path, const VORMathPoint& lo, const VORMathPoint& hi,
                                      double tol) {
  STEPControl_Reader reader;
  if (reader.ReadFile(path.c_str()) != IFSelect_RetDone || reader.TransferRoots() <= 0)
    return ::testing::AssertionFailure() << path << " does not read back";
  Bnd_Box box;
  BRepBndLib::AddOptimal(reader.OneShape(), box, false, false);
  double read[6];
  box.Get(read[0], read[1], read[2], read[3], read[4], read[5]);
  const double want[6] = {lo.GetX(), lo.GetY(), lo.GetZ(), hi.GetX(), hi.GetY(), hi.GetZ()};
  for (int i = 0; i < 6; ++i)
    if (!(std::fabs(read[i] - want[i]) <= tol))
      return ::testing::AssertionFailure() << "box coordinate " << i << " reads " << read[i] << ", not " << want[i];
  return ::testing::AssertionSuccess();
}
