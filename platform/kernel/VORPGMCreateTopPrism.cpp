#include "VORPGMCreateTopPrism.h"

#include <cmath>
#include <string>

#include <BRepBuilderAPI_Transform.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <Standard_Failure.hxx>
#include <gp_Trsf.hxx>
#include <gp_Vec.hxx>

#include "VORBody_Impl.h"
#include "VORError.h"
#include "VORGeoFactory.h"
#include "VORGeoFactory_Impl.h"

VORTopPrism::VORTopPrism(VORGeoFactory* factory, VORBody* profile, const VORMathVector& direction, double start,
                         double end)
    : mFactory(factory), mProfile(profile), mDirection(direction), mStart(start), mEnd(end) {}

VORTopPrism::~VORTopPrism() = default;

void VORTopPrism::Run() {
  mResult = nullptr;
  if (!mFactory->Contains(mProfile)) throw VORError("prism: the profile body is not held by the factory");
  if (!std::isfinite(mStart) || !std::isfinite(mEnd)) throw VORError("prism: non-finite extrusion limits");
  const TopoDS_Shape& profile = VORBodyAccess::Shape(mProfile);
  const double n = mDirection.GetNorm();
  const gp_Vec unit(mDirection.GetX() / n, mDirection.GetY() / n, mDirection.GetZ() / n);
  TopoDS_Shape shape;
  try {
    // The profile moved to the start length, then swept over the distance from start to end.
    gp_Trsf move;
    move.SetTranslation(unit * mStart);
    const TopoDS_Shape placed = mStart == 0.0 ? profile : BRepBuilderAPI_Transform(profile, move, true).Shape();
    BRepPrimAPI_MakePrism prism(placed, unit * (mEnd - mStart), true);
    if (!prism.IsDone()) throw VORError("prism: the modeler could not sweep the profile");
    shape = prism.Shape();
  } catch (const Standard_Failure& failure) {
    throw VORError(std::string("prism: ") + failure.DynamicType()->Name() + ": " + failure.GetMessageString());
  }
  mResult = VORGeoFactoryAccess::AddBody(mFactory, shape);
  if (!mResult) throw VORError("prism: empty result");
}

void VORTopPrism::Release() { delete this; }

VORTopPrism* VORPGMCreateTopPrism(VORGeoFactory* factory, VORTopData* topData, VORBody* profile,
                                  const VORMathVector& direction, double startLength, double endLength) {
  if (!factory || !topData || !profile || !direction.IsFinite() || !(direction.GetSquareNorm() > 0.0)) return nullptr;
  return new VORTopPrism(factory, profile, direction, startLength, endLength);
}
