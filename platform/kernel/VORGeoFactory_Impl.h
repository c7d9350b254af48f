// The inside of a VORGeoFactory: what it holds, and how the kernel's own code registers new objects in it.
// Private to the kernel (never installed).
#ifndef VORGeoFactory_Impl_h
#define VORGeoFactory_Impl_h

#include <map>
#include <unordered_map>

#include <Geom_BSplineCurve.hxx>
#include <Standard_Handle.hxx>
#include <TopoDS_Shape.hxx>

#include "VORGeoFactory.h"

struct VORGeoFactory::Impl {
  double resolution = 0.001;
  // Objects held now, by creation number (so that listing them gives the oldest first), and the way back.
  std::map<long long, VORCurve*> curves;
  std::unordered_map<const VORCurve*, long long> curveIds;
  std::map<long long, VORBody*> bodies;
  std::unordered_map<const VORBody*, long long> bodyIds;
  long long createdCurves = 0;
  long long createdBodies = 0;
};

struct VORGeoFactoryAccess {
  // A new curve in factory holding bspline (which the curve then treats as never changing); null when the
  // B-spline cannot back a curve (rational, periodic, degree out of range).
  static VORCurve* AddCurve(VORGeoFactory* factory, const Handle(Geom_BSplineCurve)& bspline);
  // Makes factory the owner of a new curve of it (null stays null) and counts it.
  static VORCurve* Register(VORGeoFactory* factory, VORCurve* curve);
  // A new body in factory holding shape; null for a null factory or shape.
  static VORBody* AddBody(VORGeoFactory* factory, const TopoDS_Shape& shape);
};

// Removes the modeler's message printers once per process, so that the library prints nothing.
void VORSilenceModeler();

#endif
