#include "VORGeoFactory.h"

#include <cmath>
#include <mutex>

#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Standard_Failure.hxx>

#include "VORBody.h"
#include "VORBody_Impl.h"
#include "VORCurve.h"
#include "VORCurve_Impl.h"
#include "VORGeoFactory_Impl.h"

void VORSilenceModeler() {
  static std::once_flag once;
  std::call_once(once, [] { Message::DefaultMessenger()->ChangePrinters().Clear(); });
}

VORGeoFactory::VORGeoFactory(double resolution) : mImpl(new Impl) {
  mImpl->resolution = std::isfinite(resolution) && resolution > 0.0 ? resolution : 0.001;
  VORSilenceModeler();
}

VORGeoFactory::~VORGeoFactory() {
  for (auto& entry : mImpl->curves) delete entry.second;
  for (auto& entry : mImpl->bodies) delete entry.second;
}

double VORGeoFactory::GetResolution() const { return mImpl->resolution; }

int VORGeoFactory::GetCurveCount() const { return static_cast<int>(mImpl->curves.size()); }

int VORGeoFactory::GetBodyCount() const { return static_cast<int>(mImpl->bodies.size()); }

long long VORGeoFactory::GetCreatedCurveCount() const { return mImpl->createdCurves; }

long long VORGeoFactory::GetCreatedBodyCount() const { return mImpl->createdBodies; }

bool VORGeoFactory::Contains(const VORCurve* curve) const { return mImpl->curveIds.count(curve) != 0; }

bool VORGeoFactory::Contains(const VORBody* body) const { return mImpl->bodyIds.count(body) != 0; }

void VORGeoFactory::GetCurves(VORListPtrVORCurve& curves) const {
  curves.RemoveAll();
  curves.Reserve(GetCurveCount());
  for (const auto& entry : mImpl->curves) curves.Append(entry.second);
}

VORCurve* VORGeoFactory::CreateBSplineCurve(int degree, const VORListValVORMathPoint& poles,
                                            const VORRawColldouble& knots, const VORRawCollint& multiplicities) {
  const int nPoles = poles.Size(), nKnots = knots.Size();
  if (degree < 1 || degree > 25 || nPoles < 2 || nKnots < 2 || multiplicities.Size() != nKnots) return nullptr;
  const double* k = knots.Data();
  const int* m = multiplicities.Data();
  int sum = 0;
  for (int i = 0; i < nKnots; ++i) {
    if (!std::isfinite(k[i]) || (i > 0 && !(k[i] > k[i - 1]))) return nullptr;
    const int limit = (i == 0 || i == nKnots - 1) ? degree + 1 : degree;
    if (m[i] < 1 || m[i] > limit) return nullptr;
    sum += m[i];
  }
  if (sum != nPoles + degree + 1) return nullptr;
  const VORMathPoint* p = poles.Data();
  for (int i = 0; i < nPoles; ++i)
    if (!p[i].IsFinite()) return nullptr;
  // VORMathPoint is three doubles, so the poles are already the flat x, y, z array the curve keeps.
  static_assert(sizeof(VORMathPoint) == 3 * sizeof(double), "points are packed coordinates");
  VORCurve* curve = VORCurveAccess::Create(this, degree, reinterpret_cast<const double*>(p), nPoles, k, m, nKnots);
  return VORGeoFactoryAccess::Register(this, curve);
}

VORCurve* VORGeoFactory::CloneCurve(const VORCurve* curve) {
  if (!curve) return nullptr;
  // The modeler's curve never changes once made, so the clone shares it.
  return VORGeoFactoryAccess::Register(this, VORCurveAccess::Copy(this, curve));
}

void VORGeoFactory::Remove(VORCurve* curve, int /*option*/) {
  const auto it = mImpl->curveIds.find(curve);
  if (it == mImpl->curveIds.end()) return;
  mImpl->curves.erase(it->second);
  mImpl->curveIds.erase(it);
  delete curve;
}

void VORGeoFactory::Remove(VORBody* body, int /*option*/) {
  const auto it = mImpl->bodyIds.find(body);
  if (it == mImpl->bodyIds.end()) return;
  mImpl->bodies.erase(it->second);
  mImpl->bodyIds.erase(it);
  delete body;
}

VORCurve* VORGeoFactoryAccess::AddCurve(VORGeoFactory* factory, const Handle(Geom_BSplineCurve)& bspline) {
  if (!factory) return nullptr;
  return Register(factory, VORCurveAccess::Create(factory, bspline));
}

VORCurve* VORGeoFactoryAccess::Register(VORGeoFactory* factory, VORCurve* curve) {
  if (!curve) return nullptr;
  VORGeoFactory::Impl& f = *factory->mImpl;
  const long long id = ++f.createdCurves;
  f.curves.emplace_hint(f.curves.end(), id, curve);
  f.curveIds.emplace(curve, id);
  return curve;
}

VORBody* VORGeoFactoryAccess::AddBody(VORGeoFactory* factory, const TopoDS_Shape& shape) {
  if (!factory || shape.IsNull()) return nullptr;
  VORBody* body = VORBodyAccess::Create(factory, shape);
  VORGeoFactory::Impl& f = *factory->mImpl;
  const long long id = ++f.createdBodies;
  f.bodies.emplace_hint(f.bodies.end(), id, body);
  f.bodyIds.emplace(body, id);
  return body;
}
