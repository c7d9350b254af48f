// Topology from a stroke: a wire body of its curves, and that wire extruded along the sketch plane's
// normal. Bodies live in the caller's factory; the wire made for an extrusion is removed again.
#include <cmath>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQMoVertex.h"
#include "TAQMoWire.h"
#include "VORError.h"
#include "VORPGMCreateTopPrism.h"
#include "VORTopData.h"
#include "VORVertex.h"

long TAQMoStroke::MakeWireBody(const VORGeoFactory_var& factory, VORTopData* topData, VORBody** body) {
  if (body == nullptr || topData == nullptr || factory.IsNull()) return E_FAIL;

  // The cached curves when there are any; otherwise an update for the stroke's own range, whose outcome
  // shows only in the list it leaves (a failed update leaves it empty and the wire is then refused).
  VORListPtrVORCurve curves;
  if (mCurveCache.Size() > 0)
    curves = mCurveCache;
  else
    UpdateGeometry(factory.Get(), topData->GetSoftwareConfiguration(), &curves, nullptr, nullptr, nullptr, nullptr);

  VORListPtrVORCurve ordered;
  VORRawCollint orientations;
  bool closed = false;
  TAQMoCSStrokeUtilities::OrderCurves(curves, ordered, orientations, &closed);

  VORBody_var wire = TAQMoWire::MakeWireFromCurves(factory, curves, orientations, topData, closed);
  *body = wire.Get();
  wire.Release();
  return *body != nullptr ? S_OK : E_FAIL;
}

long TAQMoStroke::CreateExtrudedBody(VORSoftwareConfiguration* config, VORGeoFactory* factory, double limits[2],
                                     VORBody*& body, VORMathPoint* endPoints) {
  body = nullptr;
  if (config == nullptr || factory == nullptr || !mSketchPlaneDefined || limits == nullptr) return E_FAIL;

  // The extrusion must be longer than the factory's resolution; NaN or infinite limits make no prism.
  const double resolution = factory->GetResolution();
  if (!std::isfinite(limits[0]) || !std::isfinite(limits[1])) return E_FAIL;
  if (limits[0] >= limits[1] - resolution) return E_FAIL;

  VORTopData topData(config, nullptr);
  const VORMathPlane plane = mSketchPlane;

  // Fresh curves in this factory: cached ones may belong to another.
  long result = ClearCurveCache();
  if (result != S_OK) return result;

  VORBody* wire = nullptr;
  result = MakeWireBody(VORGeoFactory_var(factory), &topData, &wire);
  if (result != S_OK) return result;

  if (endPoints != nullptr) {
    VORVertex* start = nullptr;
    VORVertex* end = nullptr;
    if (!TAQMoWire::GetWireBodyEndVertices(wire, start, end, nullptr, nullptr)) {
      factory->Remove(wire, 0);  // the temporary wire does not outlive a refused extrusion
      return E_FAIL;
    }
    TAQMoVertex::GetPoint(start, endPoints[0]);
    TAQMoVertex::GetPoint(end, endPoints[1]);
  }

  VORMathVector direction(1.0, 0.0, 0.0);
  direction = plane.GetNormal().GetVector();

  VORTopPrism* prism = VORPGMCreateTopPrism(factory, &topData, wire, direction, limits[0], limits[1]);
  if (prism == nullptr) return E_FAIL;

  try {
    prism->Run();
    result = S_OK;
    body = prism->GetResult();
  } catch (VORError& error) {
    // The modeler's failure becomes a result; its message is not passed on.
    (void)error.GetMessage();
    error.Flush();
    result = E_FAIL;
    body = nullptr;
  } catch (...) {
    // Not the modeler's: passed on, without leaving the operator or the temporary wire behind.
    factory->Remove(wire, 0);
    prism->Release();
    throw;
  }

  if (wire != nullptr) factory->Remove(wire, 0);
  prism->Release();
  return result;
}
