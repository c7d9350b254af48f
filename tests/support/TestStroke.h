// A stroke whose protected operations the tests may call directly, and whose lists read as values.
#ifndef TestStroke_h
#define TestStroke_h

#include "TAQMoStroke.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

// The factory and configuration a test's calls take.
struct Kit {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
};

class TestStroke : public TAQMoStroke {
 public:
  using TAQMoStroke::TAQMoStroke;
  using TAQMoStroke::operator=;
  using TAQMoStroke::CreateData;
  using TAQMoStroke::CreateDataFromReferences;
  using TAQMoStroke::IsSameReference;
  using TAQMoStroke::UpdateGeometry;
  using TAQMoStroke::UpdatePointTangentData;
  using TAQMoStroke::UpdateStroke;
  using TAQMoStroke::UpdateDataPointsInRange;
  using TAQMoStroke::ClearDataBetween;
  using TAQMoStroke::GetAnchorsInRange;
  using TAQMoStroke::ReshapeCurve;
  using TAQMoStroke::HardSubsetStroke;
  using TAQMoStroke::GetSubsetEndTangents;
  using TAQMoStroke::ReshapeCurveToDirection;

  // The 3D source points (empty when there are none).
  VORListValVORMathPoint Source() {
    VORListValVORMathPoint points;
    GetSourcePoints(points, nullptr, nullptr, nullptr, nullptr);
    return points;
  }
  // The display polyline.
  VORListValVORMathPoint Coords() const {
    VORListValVORMathPoint coords;
    GetCoords(coords);
    return coords;
  }
  // The anchors' positions in the source points.
  VORRawCollint Anchors() const {
    VORRawCollint anchors;
    GetAnchors(anchors);
    return anchors;
  }
  // The anchors' source points.
  VORListValVORMathPoint AnchorPoints() {
    VORListValVORMathPoint points;
    GetAnchors(points);
    return points;
  }
};

#endif
