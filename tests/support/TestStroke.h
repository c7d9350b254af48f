// A stroke whose protected operations the tests may call directly.
#ifndef TestStroke_h
#define TestStroke_h

#include "TAQMoStroke.h"

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
};

#endif
